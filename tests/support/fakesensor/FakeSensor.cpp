// A unit that delivers the channel codes it was built with (FAKE_CODES) and
// opens when built with FAKE_OPENS 1; with FAKE_NULL 1 _createObject yields
// nothing. Code c of read n (counted from 1 since the last script) delivers
// 100 * c + n % 100. A test fails chosen reads through fakeSensorFailReads and
// counts the devices alive through fakeSensorLiveDevices, both resolved from
// this library.
#include "sensors/interface/SensorExports.h"

#include <algorithm>
#include <atomic>
#include <iterator>

VUG_SENSOR_EXPORT void fakeSensorFailReads(int first, int last);
VUG_SENSOR_EXPORT int fakeSensorLiveDevices();

namespace {

constexpr int deliveredCodes[] = {FAKE_CODES};

std::atomic<int> readCount{0};
std::atomic<int> failFirst{0};
std::atomic<int> failLast{-1};
std::atomic<int> liveDevices{0};

class FakeSensor : public ISensorBase
{
public:
    FakeSensor() { ++liveDevices; }
    ~FakeSensor() override { --liveDevices; }
    bool open(const QString &) override { return FAKE_OPENS; }
    bool close() override { return true; }
    bool readFrame(qint16 *frame) override
    {
        const int n = ++readCount;
        if (n >= failFirst && n <= failLast)
            return false;
        for (int code : deliveredCodes)
            frame[code] = qint16(100 * code + n % 100);
        return true;
    }
    int channelSupported(int code) const override
    {
        return std::find(std::begin(deliveredCodes), std::end(deliveredCodes), code) != std::end(deliveredCodes) ? 1 : -1;
    }
    QString name(const QString &language) const override
    {
        // Literals live in this library: discovery must copy them before unloading it.
        return language == QLatin1String("ru") ? QStringLiteral("Блок " FAKE_NAME) : QStringLiteral("Unit " FAKE_NAME);
    }
    bool setGain(int, int) override { return false; }
    bool setShift(int, int) override { return false; }
    bool setMode(bool) override { return false; }
    bool mode() const override { return false; }
    int reserved() const override { return 0; }
    QUuid typeId() const override { return QUuid(); }
    bool version(char *, int) override { return false; }
    bool setExtraMode(int) override { return false; }
    QStringList extraChannelNames(const QString &) const override { return {}; }
    int extraFlag() const override { return 0; }
};

}  // namespace

void fakeSensorFailReads(int first, int last)
{
    readCount = 0;
    failFirst = first;
    failLast = last;
}

int fakeSensorLiveDevices()
{
    return liveDevices;
}

#if FAKE_NULL
ISensorBase *_createObject(int)
{
    return nullptr;
}

void _deleteObject(int, ISensorBase *device)
{
    delete device;
}
#else
VUG_SENSOR_PLUGIN(FakeSensor)
#endif
