#include "sensors/vorkel/CSensorVorkel.h"

#include "sensors/interface/SensorExports.h"

#include <algorithm>
#include <climits>

VUG_COUNTING_SENSOR_PLUGIN(CSensorVorkel)

namespace {

constexpr int BreathingCentre = 0x680;
constexpr double BreathingFactor = 1.2;
// Moves the examiner's shift of a breathing channel onto the unit's breathing centre.
constexpr double BreathingShift = 986.6666666666667;

bool isBreathing(int code)
{
    return code == ChannelCode::RG_HI || code == ChannelCode::RG_LO;
}

}  // namespace

CSensorVorkel::CSensorVorkel()
    : VorkelSensor({"Воркел12 (12 бит)", "Vorkel12 (12 bit)", QUuid("{11111111-f249-4b67-abf7-839b8b6fb8a0}"), 0x1FFF}, 0)
{
}

bool CSensorVorkel::open(const QString &)
{
    if (!m_link.open())
        return false;
    UsbSerial::setTimeouts(m_link.handle(), 500, 500);
    setLineFormat();
    return answersFrames(HandshakeTries, FrameLength);
}

bool CSensorVorkel::setShift(int code, int shift)
{
    if (isBreathing(code)) {
        const double corrected = shift + BreathingShift;
        shift = corrected >= double(INT_MAX) ? INT_MAX : int(corrected);
    }
    return VorkelSensor::setShift(code, shift);
}

qint16 CSensorVorkel::sample(int code, quint16 word) const
{
    const int value = (word & 0x0FFF) - (isBreathing(code) ? BreathingCentre : 2048);
    if (!isBreathing(code))
        return qint16(value);
    return qint16(std::clamp(int(value * BreathingFactor), -2047, 2047));
}
