#pragma once

#include "sensors/serial/SerialSensor.h"

// The Vorkel12 unit; its protocol is not spoken yet, so open fails.
class CSensorVorkel : public SerialSensor
{
public:
    CSensorVorkel();
};
