#pragma once

#include "sensors/serial/VorkelSensor.h"

// The Vorkel12 unit: 12-bit words centred on 2048; the two breathing channels
// have a centre and a scale of their own.
class CSensorVorkel : public VorkelSensor
{
public:
    CSensorVorkel();

    bool open(const QString &port) override;
    bool setShift(int code, int shift) override;

protected:
    qint16 sample(int code, quint16 word) const override;
};
