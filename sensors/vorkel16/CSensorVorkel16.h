#pragma once

#include "sensors/serial/VorkelSensor.h"

// The Vorkel16 unit, the default device: 16-bit words centred on 0x8000.
class CSensorVorkel16 : public VorkelSensor
{
public:
    CSensorVorkel16();

    bool open(const QString &port) override;

protected:
    qint16 sample(int code, quint16 word) const override;
};
