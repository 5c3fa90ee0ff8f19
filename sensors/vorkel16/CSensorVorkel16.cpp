#include "sensors/vorkel16/CSensorVorkel16.h"

#include "sensors/interface/SensorExports.h"

VUG_COUNTING_SENSOR_PLUGIN(CSensorVorkel16)

CSensorVorkel16::CSensorVorkel16()
    : VorkelSensor({"Воркел16 (16 бит)", "Vorkel16 (16 bit)", QUuid("{05209770-fcc0-4ebd-99c3-0a64cafb2b1e}"), 0x1FFF}, 1)
{
}

bool CSensorVorkel16::open(const QString &)
{
    // The unit's driver expects the device list to be asked before the open.
    quint32 devices = 0;
    UsbSerial::countDevices(&devices, nullptr, UsbSerial::ListNumberOnly);
    if (!m_link.open())
        return false;
    setLineFormat();
    UsbSerial::setTimeouts(m_link.handle(), 800, 800);
    return answersFrames(HandshakeTries, FrameLength);
}

qint16 CSensorVorkel16::sample(int, quint16 word) const
{
    return qint16(word ^ 0x8000);
}
