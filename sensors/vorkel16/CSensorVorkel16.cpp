#include "sensors/vorkel16/CSensorVorkel16.h"

#include "sensors/interface/SensorExports.h"
#include "sensors/interface/SensorIdentity.h"

VUG_SENSOR_PLUGIN(CSensorVorkel16)

namespace {

const SensorIdentity identity{"Воркел16 (16 бит)", "Vorkel16 (16 bit)", QUuid("{05209770-fcc0-4ebd-99c3-0a64cafb2b1e}"), 0x1FFF};

}  // namespace

bool CSensorVorkel16::open(const QString &)
{
    return false;
}

bool CSensorVorkel16::close()
{
    m_link.close();
    return true;
}

bool CSensorVorkel16::readFrame(qint16 *)
{
    return false;
}

int CSensorVorkel16::channelSupported(int code) const
{
    return identity.channelSupported(code);
}

QString CSensorVorkel16::name(const QString &language) const
{
    return identity.name(language);
}

bool CSensorVorkel16::setGain(int, int)
{
    return false;
}

bool CSensorVorkel16::setShift(int, int)
{
    return false;
}

bool CSensorVorkel16::setMode(bool mode)
{
    m_mode = mode;
    return true;
}

bool CSensorVorkel16::mode() const
{
    return m_mode;
}

int CSensorVorkel16::reserved() const
{
    return 0;
}

QUuid CSensorVorkel16::typeId() const
{
    return identity.typeId;
}

bool CSensorVorkel16::version(char *, int)
{
    return false;
}

bool CSensorVorkel16::setExtraMode(int)
{
    return false;
}

QStringList CSensorVorkel16::extraChannelNames(const QString &language) const
{
    return SensorIdentity::additionalInputNames(language);
}

int CSensorVorkel16::extraFlag() const
{
    return 1;
}
