// A unit that delivers the channel codes it was built with (FAKE_CODES) and
// answers nothing else; enough for listing plug-ins and their channels.
#include "sensors/interface/SensorExports.h"

#include <algorithm>
#include <initializer_list>

namespace {

class FakeSensor : public ISensorBase
{
public:
    bool open(const QString &) override { return false; }
    bool close() override { return true; }
    bool readFrame(qint16 *) override { return false; }
    int channelSupported(int code) const override
    {
        const std::initializer_list<int> codes = {FAKE_CODES};
        return std::find(codes.begin(), codes.end(), code) != codes.end() ? 1 : -1;
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

VUG_SENSOR_PLUGIN(FakeSensor)
