#include "sensors/kvz2/CSensorKVZ2.h"

#include "sensors/interface/SensorExports.h"
#include "sensors/interface/SensorIdentity.h"

VUG_SENSOR_PLUGIN(CSensorKVZ2)

namespace {

const SensorIdentity identity{"КВЗ (12 бит)", "KVZ2 (12 bit)", QUuid("{fb4ed8c1-4ddc-488b-b653-557c6e67db3f}"), 0x1FBF};

}  // namespace

bool CSensorKVZ2::open(const QString &)
{
    return false;
}

bool CSensorKVZ2::close()
{
    m_link.close();
    return true;
}

bool CSensorKVZ2::readFrame(qint16 *)
{
    return false;
}

int CSensorKVZ2::channelSupported(int code) const
{
    return identity.channelSupported(code);
}

QString CSensorKVZ2::name(const QString &language) const
{
    return identity.name(language);
}

bool CSensorKVZ2::setGain(int, int)
{
    return false;
}

bool CSensorKVZ2::setShift(int, int)
{
    return false;
}

bool CSensorKVZ2::setMode(bool mode)
{
    m_mode = mode;
    return true;
}

bool CSensorKVZ2::mode() const
{
    return m_mode;
}

int CSensorKVZ2::reserved() const
{
    return 0;
}

QUuid CSensorKVZ2::typeId() const
{
    return identity.typeId;
}

bool CSensorKVZ2::version(char *, int)
{
    return false;
}

bool CSensorKVZ2::setExtraMode(int)
{
    return false;
}

QStringList CSensorKVZ2::extraChannelNames(const QString &language) const
{
    return SensorIdentity::additionalInputNames(language);
}

int CSensorKVZ2::extraFlag() const
{
    return 0;
}
