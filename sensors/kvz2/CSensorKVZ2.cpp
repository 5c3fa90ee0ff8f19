#include "sensors/kvz2/CSensorKVZ2.h"

#include "sensors/interface/SensorExports.h"

#include <QThread>

VUG_COUNTING_SENSOR_PLUGIN(CSensorKVZ2)

CSensorKVZ2::CSensorKVZ2()
    : MirelSensor({"КВЗ (12 бит)", "KVZ2 (12 bit)", QUuid("{fb4ed8c1-4ddc-488b-b653-557c6e67db3f}"), 0x1FBF}, 1,
                  Acknowledgement::WriteOnly)
{
}

bool CSensorKVZ2::open(const QString &)
{
    if (!m_link.open())
        return false;
    UsbSerial::resetDevice(m_link.handle());
    UsbSerial::furtherCall(m_link.handle());
    UsbSerial::setTimeouts(m_link.handle(), 100, 100);
    setLineFormat();
    UsbSerial::purge(m_link.handle(), UsbSerial::PurgeRx | UsbSerial::PurgeTx);
    // Gives the unit time to settle after the reset.
    QThread::usleep(1200);
    return true;
}

bool CSensorKVZ2::version(char *out, int size)
{
    return identify(out, size, IdentificationLength, IdentificationLength, 1, 0);
}

qint16 CSensorKVZ2::sample(quint16 word) const
{
    return qint16((word & 0x0FFF) - 2048);
}
