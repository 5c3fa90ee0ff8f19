#pragma once

#include "sensors/serial/SerialPort.h"

#include <memory>

struct ftdi_context;

// A real FTDI unit through libftdi1, which detaches the kernel's serial driver itself.
class FtdiPort : public SerialPort
{
public:
    // How long the chip holds back received bytes that fill no packet.
    static constexpr unsigned char LatencyTimerMs = 2;

    static UsbSerial::Status open(int index, std::unique_ptr<SerialPort> *port);
    static UsbSerial::Status countDevices(quint32 *count);
    ~FtdiPort() override;

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
    explicit FtdiPort(ftdi_context *context);
    UsbSerial::Status statusOf(int result) const;

    ftdi_context *m_context;
};
