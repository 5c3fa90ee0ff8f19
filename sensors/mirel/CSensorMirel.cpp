#include "sensors/mirel/CSensorMirel.h"

#include "sensors/interface/SensorExports.h"
#include "sensors/interface/SensorIdentity.h"

VUG_SENSOR_PLUGIN(CSensorMirel)

namespace {

const SensorIdentity identity{"Мирел 1,2,3,4 (12 бит)", "Mirel 1,2,3,4 (12 bit)", QUuid("{22cb2660-21f2-4c55-9d5e-6a65c172f127}"), 0x1FBF};

}  // namespace

bool CSensorMirel::open(const QString &)
{
    return false;
}

bool CSensorMirel::close()
{
    m_link.close();
    return true;
}

bool CSensorMirel::readFrame(qint16 *)
{
    return false;
}

int CSensorMirel::channelSupported(int code) const
{
    return identity.channelSupported(code);
}

QString CSensorMirel::name(const QString &language) const
{
    return identity.name(language);
}

bool CSensorMirel::setGain(int, int)
{
    return false;
}

bool CSensorMirel::setShift(int, int)
{
    return false;
}

bool CSensorMirel::setMode(bool mode)
{
    m_mode = mode;
    return true;
}

bool CSensorMirel::mode() const
{
    return m_mode;
}

int CSensorMirel::reserved() const
{
    return 0;
}

QUuid CSensorMirel::typeId() const
{
    return identity.typeId;
}

bool CSensorMirel::version(char *, int)
{
    return false;
}

bool CSensorMirel::setExtraMode(int)
{
    return false;
}

QStringList CSensorMirel::extraChannelNames(const QString &language) const
{
    return SensorIdentity::additionalInputNames(language);
}

int CSensorMirel::extraFlag() const
{
    return 0;
}
