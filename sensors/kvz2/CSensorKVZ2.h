#pragma once

#include "sensors/serial/SerialSensor.h"

// The KVZ2 unit; its protocol is not spoken yet, so open fails.
class CSensorKVZ2 : public SerialSensor
{
public:
    CSensorKVZ2();
};
