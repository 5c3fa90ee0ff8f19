#pragma once

#include "sensors/serial/SerialPort.h"

#include <memory>

class EmulatedWire;

// The handle side of an emulated unit: logs every call on the unit's wire.
class EmulatedPort : public SerialPort
{
public:
    explicit EmulatedPort(std::shared_ptr<EmulatedWire> wire);
    ~EmulatedPort() override;

    UsbSerial::Status write(const quint8 *bytes, quint32 count, quint32 *countWritten) override;
    int receive(quint8 *buffer, quint32 max, int waitMs) override;
    void readFinished(quint32 requested, quint32 received) override;
    UsbSerial::Status resetDevice() override;
    UsbSerial::Status setBaudRate(quint32 baudRate) override;
    UsbSerial::Status setDataCharacteristics(quint8 wordLength, quint8 stopBits, quint8 parity) override;
    UsbSerial::Status purge(quint32 mask) override;
    UsbSerial::Status setTimeouts(quint32 readTimeoutMs, quint32 writeTimeoutMs) override;
    UsbSerial::Status furtherCall() override;

private:
    std::shared_ptr<EmulatedWire> m_wire;
};
