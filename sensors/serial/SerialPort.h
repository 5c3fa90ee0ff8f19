#pragma once

#include "sensors/serial/UsbSerial.h"

// One opened unit behind a UsbSerial handle; each backend implements it.
// The layer keeps the read time-out and runs the blocking read on top of receive().
class SerialPort
{
public:
    virtual ~SerialPort() = default;

    virtual UsbSerial::Status write(const quint8 *bytes, quint32 count, quint32 *countWritten) = 0;
    // Waits at most waitMs for bytes, then takes up to max of them; -1 on an I/O error.
    virtual int receive(quint8 *buffer, quint32 max, int waitMs) = 0;
    // Called once per read call, when it has finished.
    virtual void readFinished(quint32 requested, quint32 received) = 0;
    virtual UsbSerial::Status resetDevice() = 0;
    virtual UsbSerial::Status setBaudRate(quint32 baudRate) = 0;
    virtual UsbSerial::Status setDataCharacteristics(quint8 wordLength, quint8 stopBits, quint8 parity) = 0;
    virtual UsbSerial::Status purge(quint32 mask) = 0;
    virtual UsbSerial::Status setTimeouts(quint32 readTimeoutMs, quint32 writeTimeoutMs) = 0;
    virtual UsbSerial::Status furtherCall() = 0;

    quint32 readTimeoutMs = UsbSerial::DefaultTimeoutMs;
};
