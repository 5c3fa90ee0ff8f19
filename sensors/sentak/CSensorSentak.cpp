#include "sensors/sentak/CSensorSentak.h"

#include "sensors/interface/SensorExports.h"
#include "sensors/interface/SensorIdentity.h"

VUG_SENSOR_PLUGIN(CSensorSentak)

namespace {

const SensorIdentity identity{"Сентак (12 бит)", "Sentak (12 bit)", QUuid("{22222222-f249-4b67-abf7-839b8b6fb8a0}"), 0x15FF};

}  // namespace

bool CSensorSentak::open(const QString &)
{
    return false;
}

bool CSensorSentak::close()
{
    m_link.close();
    return true;
}

bool CSensorSentak::readFrame(qint16 *)
{
    return false;
}

int CSensorSentak::channelSupported(int code) const
{
    return identity.channelSupported(code);
}

QString CSensorSentak::name(const QString &language) const
{
    return identity.name(language);
}

bool CSensorSentak::setGain(int, int)
{
    return false;
}

bool CSensorSentak::setShift(int, int)
{
    return false;
}

bool CSensorSentak::setMode(bool mode)
{
    m_mode = mode;
    return true;
}

bool CSensorSentak::mode() const
{
    return m_mode;
}

int CSensorSentak::reserved() const
{
    return 0;
}

QUuid CSensorSentak::typeId() const
{
    return identity.typeId;
}

bool CSensorSentak::version(char *, int)
{
    return false;
}

bool CSensorSentak::setExtraMode(int)
{
    return false;
}

QStringList CSensorSentak::extraChannelNames(const QString &) const
{
    return {};
}

int CSensorSentak::extraFlag() const
{
    return 0;
}
