#pragma once

#include "sensors/serial/CommandSensor.h"

// The Mirel family and the KVZ2 unit: a 20-byte frame of "ok" and nine
// little-endian words, the ninth the cuff pressure. Each model turns a word into
// a sample in its own way.
class MirelSensor : public CommandSensor
{
public:
    bool open(const QString &port) override;
    bool readFrame(qint16 *frame) override;
    bool version(char *out, int size) override;

protected:
    static constexpr int FrameLength = 20;
    static constexpr int IdentificationLength = 20;

    // cuffDivisor: what the cuff word is divided by.
    MirelSensor(const SensorIdentity &identity, int cuffDivisor,
                Acknowledgement acknowledgement = Acknowledgement::FullReply);

    // The value of one of words 1 to 8.
    virtual qint16 sample(quint16 word) const = 0;

private:
    const int m_cuffDivisor;
};
