#pragma once

#include "sensors/serial/SerialSensor.h"

// The Mirel 5,7 unit; its protocol is not spoken yet, so open fails.
class CSensorMirel14 : public SerialSensor
{
public:
    CSensorMirel14();
};
