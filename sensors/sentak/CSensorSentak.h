#pragma once

#include "sensors/serial/SerialSensor.h"

// The Sentak unit; its protocol is not spoken yet, so open fails.
class CSensorSentak : public SerialSensor
{
public:
    CSensorSentak();
};
