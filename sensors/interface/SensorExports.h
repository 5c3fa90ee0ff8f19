#pragma once

#include "sensors/interface/ISensorBase.h"

#include <new>

// The two plain functions every plug-in library exports. The int arguments are
// unused; the program passes 1.
#define VUG_SENSOR_EXPORT extern "C" __attribute__((visibility("default")))

VUG_SENSOR_EXPORT ISensorBase *_createObject(int);
VUG_SENSOR_EXPORT void _deleteObject(int, ISensorBase *device);

// Optional: the line errors the device has met; a plug-in without it reports none.
VUG_SENSOR_EXPORT quint64 _lineErrors(ISensorBase *device);

using LineErrorsFunction = quint64 (*)(ISensorBase *);
using CreateObjectFunction = ISensorBase *(*)(int);
using DeleteObjectFunction = void (*)(int, ISensorBase *);

// Defines both exports for a plug-in's device class.
#define VUG_SENSOR_PLUGIN(DeviceClass)                                            \
    ISensorBase *_createObject(int) { return new (std::nothrow) DeviceClass; }    \
    void _deleteObject(int, ISensorBase *device) { delete device; }

// Both exports and the line errors, for a device that counts them.
#define VUG_COUNTING_SENSOR_PLUGIN(DeviceClass)                                                   \
    VUG_SENSOR_PLUGIN(DeviceClass)                                                                \
    quint64 _lineErrors(ISensorBase *device) { return static_cast<DeviceClass *>(device)->lineErrors(); }
