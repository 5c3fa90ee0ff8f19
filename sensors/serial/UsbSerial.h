#pragma once

#include <QtGlobal>

// The measuring units' USB-serial chip, reached through the same operations
// and arguments as FTDI's D2XX library. A real unit is served by libftdi1;
// an EmulatedUnit registered in the process takes the place of device 0.
// Every operation returns a Status (Ok = 0) and never throws.
namespace UsbSerial {

using Handle = void *;
using Status = quint32;

enum : Status {
    Ok = 0,
    InvalidHandle = 1,
    DeviceNotFound = 2,
    DeviceNotOpened = 3,
    IoError = 4,
    InvalidParameter = 6,
};

// purge mask
enum : quint32 { PurgeRx = 1, PurgeTx = 2 };
// countDevices flag: report the number of devices only
constexpr quint32 ListNumberOnly = 0x80000000u;
// data characteristics
enum : quint8 { Bits8 = 8, Bits7 = 7 };
enum : quint8 { StopBits1 = 0, StopBits2 = 2 };
enum : quint8 { ParityNone = 0, ParityOdd = 1, ParityEven = 2, ParityMark = 3, ParitySpace = 4 };

// Read and write time-out of a freshly opened handle, so a read never waits for ever.
constexpr quint32 DefaultTimeoutMs = 1000;

// *handle is null unless the status is Ok.
Status openByIndex(int index, Handle *handle);
Status close(Handle handle);
// Waits until count bytes have arrived or the read time-out has passed;
// *countRead says how many came (a short count is still Ok).
Status read(Handle handle, void *buffer, quint32 count, quint32 *countRead);
Status write(Handle handle, const void *buffer, quint32 count, quint32 *countWritten);
Status resetDevice(Handle handle);
Status setBaudRate(Handle handle, quint32 baudRate);
Status setDataCharacteristics(Handle handle, quint8 wordLength, quint8 stopBits, quint8 parity);
Status purge(Handle handle, quint32 mask);
// Takes and drops, without waiting, whatever has arrived unasked; *countDropped says how much.
Status drain(Handle handle, quint32 *countDropped);
// A time-out of 0 means: take what has arrived, do not wait.
Status setTimeouts(Handle handle, quint32 readTimeoutMs, quint32 writeTimeoutMs);
// Only ListNumberOnly is offered; reserved is not looked at.
Status countDevices(quint32 *count, void *reserved, quint32 flags);
// The unit family's one-argument call made right after a reset; a real chip needs nothing here.
Status furtherCall(Handle handle);

}  // namespace UsbSerial
