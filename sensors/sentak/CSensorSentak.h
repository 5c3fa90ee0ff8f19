#pragma once

#include "sensors/serial/SerialSensor.h"

#include <QtGlobal>

// The Sentak unit: two-byte binary commands at 19200 baud, eight 10-bit channels
// widened to the 12-bit range of the other units. It has no additional input.
class CSensorSentak : public SerialSensor
{
public:
    CSensorSentak();

    bool open(const QString &port) override;
    bool readFrame(qint16 *frame) override;
    bool setGain(int code, int gainIndex) override;
    bool setShift(int code, int shift) override;
    bool version(char *out, int size) override;
    bool setExtraMode(int mode) override;

private:
    // One command and its reply of replyLength bytes into reply (a scratch
    // buffer when null); true when both bytes went out and the whole reply came.
    bool transact(quint8 first, quint8 second, quint8 *reply = nullptr, quint32 replyLength = 2);
    // reply holds FrameLength bytes.
    bool requestFrame(quint8 *reply);
    void configureLink();
};
