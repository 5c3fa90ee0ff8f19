#include "sensors/demo/CSensorDemo.h"

#include "sensors/interface/SensorExports.h"
#include "sensors/interface/SensorIdentity.h"
#include "sensors/interface/SensorTypeIds.h"

#include <atomic>
#include <cmath>
#include <cstring>

VUG_SENSOR_PLUGIN(CSensorDemo)

namespace {

const SensorIdentity identity{"Эмулятор сенсорного блока", "Emulator", SensorTypeIds::demo, 0x15BF};

// Shared by every device of the process; atomic, since the acquisition thread and
// the GUI thread may each read a demonstration device at the same time.
std::atomic<int> sampleCounter{0};

// Each entry the frame fills, with the offset of its step from the counter.
struct DemoEntry
{
    int code;
    unsigned stepOffset;
};
constexpr DemoEntry demoEntries[] = {
    {ChannelCode::TRM, 0},   {ChannelCode::GSR_C, 101}, {ChannelCode::PG, 201},
    {ChannelCode::RG_HI, 301}, {ChannelCode::RG_LO, 401}, {ChannelCode::GSR, 501},
    {ChannelCode::AD, 601},  {ChannelCode::TGM, 701},
};

}  // namespace

int CSensorDemo::signalAt(int step)
{
    if (step % 500 > 249)
        return int(std::sin(step / 3.0) * 300.0) - 800;
    return int(std::sin(step * 0.5) * 300.0) - 400;
}

CSensorDemo::CSensorDemo()
    : IdentifiedSensor(identity)
{
}

bool CSensorDemo::open(const QString &)
{
    return true;
}

bool CSensorDemo::close()
{
    return true;
}

bool CSensorDemo::readFrame(qint16 *frame)
{
    if (!frame)
        return false;
    const int n = sampleCounter.fetch_add(1);
    for (const DemoEntry &entry : demoEntries) {
        // Wraps like the counter itself instead of overflowing.
        const int step = int(unsigned(n) + entry.stepOffset);
        frame[entry.code] = qint16(signalAt(step));
    }
    return true;
}

bool CSensorDemo::setGain(int, int)
{
    return true;
}

bool CSensorDemo::setShift(int, int)
{
    return true;
}

bool CSensorDemo::setMode(bool)
{
    return true;
}

bool CSensorDemo::mode() const
{
    return false;
}

int CSensorDemo::reserved() const
{
    return 0;
}

bool CSensorDemo::version(char *out, int size)
{
    static const char text[] = "1.0.0.0";
    if (!out || size < int(sizeof text))
        return false;
    std::memcpy(out, text, sizeof text);
    return true;
}

bool CSensorDemo::setExtraMode(int)
{
    return false;
}

QStringList CSensorDemo::extraChannelNames(const QString &) const
{
    return {};
}

int CSensorDemo::extraFlag() const
{
    return 0;
}
