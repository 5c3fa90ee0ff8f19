#pragma once

#include "sensors/serial/MirelSensor.h"

// The Mirel 1,2,3,4 unit: 12-bit words centred on 2048.
class CSensorMirel : public MirelSensor
{
public:
    CSensorMirel();

protected:
    qint16 sample(quint16 word) const override;
};
