#pragma once

#include "sensors/serial/CommandSensor.h"

// The Vorkel units: a 22-byte frame of "ok", nine big-endian words and two
// characters of cuff pressure. Each unit opens and scales its words in its own way.
class VorkelSensor : public CommandSensor
{
public:
    bool readFrame(qint16 *frame) override;
    bool version(char *out, int size) override;

protected:
    static constexpr int FrameLength = 22;
    static constexpr int HandshakeTries = 5;

    VorkelSensor(const SensorIdentity &identity, int extraFlag);

    // The value of a frame word for its code.
    virtual qint16 sample(int code, quint16 word) const = 0;

    // "OL" (overload) is -1; otherwise the two characters read as a decimal number, 0 when they are none.
    static qint16 cuffPressure(const char *text);
};
