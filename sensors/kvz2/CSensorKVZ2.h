#pragma once

#include "sensors/serial/MirelSensor.h"

// The KVZ2 unit: the Mirel frame without a handshake at open; gain, shift and
// additional-input commands are not acknowledged.
class CSensorKVZ2 : public MirelSensor
{
public:
    CSensorKVZ2();

    bool open(const QString &port) override;
    bool version(char *out, int size) override;

protected:
    qint16 sample(quint16 word) const override;
};
