#pragma once

#include "sensors/serial/MirelSensor.h"

// The Mirel 5,7 unit read as 12 bits: its 14-bit words are divided by 4.
class CSensorMirel14 : public MirelSensor
{
public:
    CSensorMirel14();

protected:
    qint16 sample(quint16 word) const override;
};
