#pragma once

#include "sensors/interface/ISensorBase.h"

#include <new>

// The two plain functions every plug-in library exports. The int arguments are
// unused; the program passes 1.
#define VUG_SENSOR_EXPORT extern "C" __attribute__((visibility("default")))

VUG_SENSOR_EXPORT ISensorBase *_createObject(int);
VUG_SENSOR_EXPORT void _deleteObject(int, ISensorBase *device);

using CreateObjectFunction = ISensorBase *(*)(int);
using DeleteObjectFunction = void (*)(int, ISensorBase *);

// Defines both exports for a plug-in's device class.
#define VUG_SENSOR_PLUGIN(DeviceClass)                                            \
    ISensorBase *_createObject(int) { return new (std::nothrow) DeviceClass; }    \
    void _deleteObject(int, ISensorBase *device) { delete device; }
