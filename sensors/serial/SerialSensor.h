#pragma once

#include "sensors/interface/IdentifiedSensor.h"
#include "sensors/serial/SerialLink.h"

// What every unit behind the USB-serial chip shares: its identity, the mode flag
// and the held handle. A unit's protocol overrides the operations that talk to it;
// until then they fail.
class SerialSensor : public IdentifiedSensor
{
public:
    bool open(const QString &port) override;
    bool close() override;
    bool readFrame(qint16 *frame) override;
    bool setGain(int code, int gainIndex) override;
    bool setShift(int code, int shift) override;
    bool setMode(bool mode) override;
    bool mode() const override;
    int reserved() const override;
    bool version(char *out, int size) override;
    bool setExtraMode(int mode) override;
    QStringList extraChannelNames(const QString &language) const override;
    int extraFlag() const override;

protected:
    enum class AdditionalInput { None, PgOrGsr };
    SerialSensor(const SensorIdentity &identity, AdditionalInput input, int extraFlag);

    SerialLink m_link;

private:
    const AdditionalInput m_input;
    const int m_extraFlag;
    bool m_mode = false;
};
