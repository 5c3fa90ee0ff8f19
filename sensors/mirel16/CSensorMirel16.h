#pragma once

#include "sensors/serial/MirelSensor.h"

// The Mirel 5,7 unit read as 16 bits: its 14-bit words are multiplied by 4.
class CSensorMirel16 : public MirelSensor
{
public:
    CSensorMirel16();

protected:
    qint16 sample(quint16 word) const override;
};
