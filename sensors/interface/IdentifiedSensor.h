#pragma once

#include "sensors/interface/ISensorBase.h"
#include "sensors/interface/SensorIdentity.h"

// A device that tells its channels, name and type from its identity. It adds
// no operation of its own, so the plug-ins' table of operations stays as it is.
class IdentifiedSensor : public ISensorBase
{
public:
    int channelSupported(int code) const override { return m_identity.channelSupported(code); }
    QString name(const QString &language) const override { return m_identity.name(language); }
    QUuid typeId() const override { return m_identity.typeId; }

protected:
    explicit IdentifiedSensor(const SensorIdentity &identity)
        : m_identity(identity)
    {
    }

private:
    const SensorIdentity m_identity;
};
