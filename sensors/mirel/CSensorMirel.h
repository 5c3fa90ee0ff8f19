#pragma once

#include "sensors/serial/SerialSensor.h"

// The Mirel 1,2,3,4 unit; its protocol is not spoken yet, so open fails.
class CSensorMirel : public SerialSensor
{
public:
    CSensorMirel();
};
