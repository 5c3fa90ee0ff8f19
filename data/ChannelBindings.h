#pragma once

#include "DefChannel.h"
#include "Inspection.h"

// Copies the definition's display pointers (with withCalibration also its
// calibration and Kod, marking the record as freshly bound) into the record.
// A record whose Kod has no definition is left unchanged.
void copyChannelRecord(const DefChannel &definitions, Inspection::_Channel &record, bool withCalibration);

// Points the test's thirteen channel records at the shared display settings;
// with withCalibration they also take the calibration saved for the test's device.
void bindChannelSettings(Inspection::_Test &test, bool withCalibration);

// Saves the test's calibration as the calibration of its device type.
void storeChannelSettings(Inspection::_Test &test);

// The code of the next channel in display order, stepping by step (0 or less
// steps backwards), that the test recorded and shows, wrapping round once;
// -1 when there is none. Code -1 starts before the first position.
int nextEnabledChannel(const Inspection::_Test &test, int code, int step);

// The display adjustment every view allows, one key press at a time: the offset
// moves by OffsetKeyStep within ±3000, the amplification by AmplifyKeyStep
// within 1…4096.
constexpr int OffsetKeyStep = 25;
constexpr int AmplifyKeyStep = 10;
void moveChannelOffset(Inspection::_Channel &record, double delta);
void changeChannelAmplify(Inspection::_Channel &record, double delta);

// The unit's own gain index (0…HardwareGainMost) and zero shift
// (±HardwareShiftLimit); the change is flagged for the acquisition to send.
constexpr int HardwareGainMost = 25;
constexpr int HardwareShiftLimit = 2047;
void changeChannelGain(Inspection::_Channel &record, int delta);
void moveChannelShift(Inspection::_Channel &record, int delta);
