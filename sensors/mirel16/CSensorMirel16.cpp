#include "sensors/mirel16/CSensorMirel16.h"

#include "sensors/interface/SensorExports.h"
#include "sensors/interface/SensorIdentity.h"

VUG_SENSOR_PLUGIN(CSensorMirel16)

namespace {

const SensorIdentity identity{"Мирел 5,7 (16 бит)", "Mirel 5,7 (16 bit)", QUuid("{a34f63ff-ac7a-46e1-bd4e-49fabaa572da}"), 0x1FBF};

}  // namespace

bool CSensorMirel16::open(const QString &)
{
    return false;
}

bool CSensorMirel16::close()
{
    m_link.close();
    return true;
}

bool CSensorMirel16::readFrame(qint16 *)
{
    return false;
}

int CSensorMirel16::channelSupported(int code) const
{
    return identity.channelSupported(code);
}

QString CSensorMirel16::name(const QString &language) const
{
    return identity.name(language);
}

bool CSensorMirel16::setGain(int, int)
{
    return false;
}

bool CSensorMirel16::setShift(int, int)
{
    return false;
}

bool CSensorMirel16::setMode(bool mode)
{
    m_mode = mode;
    return true;
}

bool CSensorMirel16::mode() const
{
    return m_mode;
}

int CSensorMirel16::reserved() const
{
    return 0;
}

QUuid CSensorMirel16::typeId() const
{
    return identity.typeId;
}

bool CSensorMirel16::version(char *, int)
{
    return false;
}

bool CSensorMirel16::setExtraMode(int)
{
    return false;
}

QStringList CSensorMirel16::extraChannelNames(const QString &language) const
{
    return SensorIdentity::additionalInputNames(language);
}

int CSensorMirel16::extraFlag() const
{
    return 0;
}
