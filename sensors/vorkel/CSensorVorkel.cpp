#include "sensors/vorkel/CSensorVorkel.h"

#include "sensors/interface/SensorExports.h"
#include "sensors/interface/SensorIdentity.h"

VUG_SENSOR_PLUGIN(CSensorVorkel)

namespace {

const SensorIdentity identity{"Воркел12 (12 бит)", "Vorkel12 (12 bit)", QUuid("{11111111-f249-4b67-abf7-839b8b6fb8a0}"), 0x1FFF};

}  // namespace

bool CSensorVorkel::open(const QString &)
{
    return false;
}

bool CSensorVorkel::close()
{
    m_link.close();
    return true;
}

bool CSensorVorkel::readFrame(qint16 *)
{
    return false;
}

int CSensorVorkel::channelSupported(int code) const
{
    return identity.channelSupported(code);
}

QString CSensorVorkel::name(const QString &language) const
{
    return identity.name(language);
}

bool CSensorVorkel::setGain(int, int)
{
    return false;
}

bool CSensorVorkel::setShift(int, int)
{
    return false;
}

bool CSensorVorkel::setMode(bool mode)
{
    m_mode = mode;
    return true;
}

bool CSensorVorkel::mode() const
{
    return m_mode;
}

int CSensorVorkel::reserved() const
{
    return 0;
}

QUuid CSensorVorkel::typeId() const
{
    return identity.typeId;
}

bool CSensorVorkel::version(char *, int)
{
    return false;
}

bool CSensorVorkel::setExtraMode(int)
{
    return false;
}

QStringList CSensorVorkel::extraChannelNames(const QString &language) const
{
    return SensorIdentity::additionalInputNames(language);
}

int CSensorVorkel::extraFlag() const
{
    return 0;
}
