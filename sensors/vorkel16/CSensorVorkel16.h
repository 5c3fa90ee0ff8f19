#pragma once

#include "sensors/serial/SerialSensor.h"

// The Vorkel16 unit; its protocol is not spoken yet, so open fails.
class CSensorVorkel16 : public SerialSensor
{
public:
    CSensorVorkel16();
};
