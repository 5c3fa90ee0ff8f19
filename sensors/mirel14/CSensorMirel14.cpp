#include "sensors/mirel14/CSensorMirel14.h"

#include "sensors/interface/SensorExports.h"
#include "sensors/interface/SensorIdentity.h"

VUG_SENSOR_PLUGIN(CSensorMirel14)

namespace {

const SensorIdentity identity{"Мирел 5,7 (12 бит)", "Mirel 5,7 (12 bit)", QUuid("{c583e7e6-fb07-423e-b4b3-9126439a6b5e}"), 0x1FBF};

}  // namespace

bool CSensorMirel14::open(const QString &)
{
    return false;
}

bool CSensorMirel14::close()
{
    m_link.close();
    return true;
}

bool CSensorMirel14::readFrame(qint16 *)
{
    return false;
}

int CSensorMirel14::channelSupported(int code) const
{
    return identity.channelSupported(code);
}

QString CSensorMirel14::name(const QString &language) const
{
    return identity.name(language);
}

bool CSensorMirel14::setGain(int, int)
{
    return false;
}

bool CSensorMirel14::setShift(int, int)
{
    return false;
}

bool CSensorMirel14::setMode(bool mode)
{
    m_mode = mode;
    return true;
}

bool CSensorMirel14::mode() const
{
    return m_mode;
}

int CSensorMirel14::reserved() const
{
    return 0;
}

QUuid CSensorMirel14::typeId() const
{
    return identity.typeId;
}

bool CSensorMirel14::version(char *, int)
{
    return false;
}

bool CSensorMirel14::setExtraMode(int)
{
    return false;
}

QStringList CSensorMirel14::extraChannelNames(const QString &language) const
{
    return SensorIdentity::additionalInputNames(language);
}

int CSensorMirel14::extraFlag() const
{
    return 0;
}
