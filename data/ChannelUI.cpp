#include "ChannelUI.h"

#include "SettingsRange.h"
#include "SettingsStore.h"

#include <QCoreApplication>

#include <cstdlib>
#include <limits>

namespace {

const QString kSubKey = QStringLiteral("ChannelsUI");

struct Defaults {
    int position;
    int penWidth;
    QRgb color;
    QRgb tubeColor;
    bool enable;
    bool inverse;
};

const Defaults kDefaults[ChannelCode::Count] = {
    {2, 3, qRgb(192, 64, 0), qRgb(185, 255, 185), true, false},
    {5, 3, qRgb(0, 128, 0), qRgb(185, 255, 185), false, false},
    {1, 3, qRgb(0, 0, 192), qRgb(185, 185, 255), true, false},
    {0, 3, qRgb(0, 170, 170), qRgb(185, 255, 255), true, false},
    {3, 2, qRgb(255, 0, 0), qRgb(255, 185, 185), true, true},
    {6, 1, qRgb(0, 128, 0), qRgb(185, 255, 185), true, false},
    {8, 1, qRgb(0, 0, 0), qRgb(220, 220, 220), true, false},
    {9, 3, qRgb(128, 0, 128), qRgb(255, 185, 255), true, false},
    {10, 3, qRgb(128, 128, 255), qRgb(185, 185, 255), false, false},
    {4, 2, qRgb(128, 0, 0), qRgb(255, 185, 185), true, false},
    {7, 1, qRgb(0, 0, 0), qRgb(220, 220, 220), false, false},
    {11, 1, qRgb(128, 0, 128), qRgb(255, 185, 255), false, false},
    {12, 2, qRgb(0, 0, 127), qRgb(185, 185, 255), false, false},
};

QString groupName(int code) { return QStringLiteral("Channels-%1").arg(code); }

// Colours are kept with their alpha, so translucent ones survive. Accepts the
// unsigned form we write and a signed form of the same 32 bits.
QColor readColor(const QSettings &settings, const QString &key, const QColor &fallback)
{
    bool ok = false;
    const qlonglong number = settings.value(key).toLongLong(&ok);
    if (!ok || number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<quint32>::max())
        return fallback;
    return QColor::fromRgba(QRgb(quint32(number)));
}

void readEntry(const QSettings &settings, ChannelUI &entry, SettingsRange &range)
{
    entry.bInverse = SettingsStore::read(settings, QStringLiteral("bInverse"), entry.bInverse);
    entry.bEnable = SettingsStore::read(settings, QStringLiteral("bEnable"), entry.bEnable);
    entry.bAmp2 = SettingsStore::read(settings, QStringLiteral("bAmp2"), entry.bAmp2);
    entry.nChannelPos = SettingsStore::read(settings, QStringLiteral("nChannelPos"), entry.nChannelPos);
    const int penWidth = entry.nPenWidth;
    entry.nPenWidth = SettingsStore::read(settings, QStringLiteral("nPenWidth"), penWidth);
    range.keep(settings.group() + QStringLiteral("/nPenWidth"), entry.nPenWidth, penWidth, ChannelUI::kPenWidthMin,
               ChannelUI::kPenWidthMax);
    entry.bEnableFilter = SettingsStore::read(settings, QStringLiteral("bEnableFilter"), entry.bEnableFilter);
    entry.bEnableFilter2 = SettingsStore::read(settings, QStringLiteral("bEnableFilter2"), entry.bEnableFilter2);
    entry.rgbColor = readColor(settings, QStringLiteral("rgbColor"), entry.rgbColor);
    entry.rgbTubeColor = readColor(settings, QStringLiteral("rgbTubeColor"), entry.rgbTubeColor);
}

void writeEntry(QSettings &settings, const ChannelUI &entry)
{
    settings.setValue(QStringLiteral("bInverse"), entry.bInverse);
    settings.setValue(QStringLiteral("bEnable"), entry.bEnable);
    settings.setValue(QStringLiteral("nPenWidth"), entry.nPenWidth);
    settings.setValue(QStringLiteral("rgbColor"), uint(entry.rgbColor.rgba()));
    settings.setValue(QStringLiteral("bAmp2"), entry.bAmp2);
    settings.setValue(QStringLiteral("nChannelPos"), entry.nChannelPos);
    settings.setValue(QStringLiteral("rgbTubeColor"), uint(entry.rgbTubeColor.rgba()));
    settings.setValue(QStringLiteral("bEnableFilter"), entry.bEnableFilter);
    settings.setValue(QStringLiteral("bEnableFilter2"), entry.bEnableFilter2);
}

// A damaged file could put two channels on one slot or one outside the
// display order; the views need each position 0-12 exactly once.
void keepPositionsAnOrder(ChannelUITable &table)
{
    std::array<int, ChannelCode::Count> positions{};
    for (int code = 0; code < ChannelCode::Count; ++code)
        positions[code] = table[code].nChannelPos;
    if (ChannelCode::isPermutation(positions))
        return;
    for (int code = 0; code < ChannelCode::Count; ++code)
        table[code].nChannelPos = kDefaults[code].position;
}

bool &savedAtExit()
{
    static bool saved = false;
    return saved;
}

// Whichever of the two exit hooks runs first saves.
void saveChannelsUIAtExit()
{
    if (savedAtExit())
        return;
    savedAtExit() = true;
    ChannelUI::saveAll(channelsUI());
}

}  // namespace

ChannelUI ChannelUI::defaults(int code)
{
    ChannelUI entry;
    entry.code = code;
    if (!ChannelCode::isValid(code))
        return entry;
    const Defaults &d = kDefaults[code];
    entry.bEnable = d.enable;
    entry.nPenWidth = d.penWidth;
    entry.rgbColor = QColor::fromRgba(d.color);
    entry.rgbTubeColor = QColor::fromRgba(d.tubeColor);
    entry.nChannelPos = d.position;
    entry.bInverse = d.inverse;
    return entry;
}

void ChannelUI::loadAll(ChannelUITable &table)
{
    const auto settings = SettingsStore::open(kSubKey);
    SettingsRange range(settings->fileName());
    for (int code = 0; code < ChannelCode::Count; ++code) {
        table[code] = defaults(code);
        settings->beginGroup(groupName(code));
        readEntry(*settings, table[code], range);
        settings->endGroup();
    }
    keepPositionsAnOrder(table);
    range.report();
}

void ChannelUI::saveAll(const ChannelUITable &table)
{
    const auto settings = SettingsStore::open(kSubKey);
    for (int code = 0; code < ChannelCode::Count; ++code) {
        settings->beginGroup(groupName(code));
        writeEntry(*settings, table[code]);
        settings->endGroup();
    }
    settings->sync();
}

ChannelUITable &channelsUI()
{
    static ChannelUITable table;
    return table;
}

void initChannelsUI()
{
    ChannelUI::loadAll(channelsUI());
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    // The application object's destructor is the earliest point, while
    // everything the program (or a test) set up still exists; exit() covers
    // leaving without destroying it. Registered after the first load, so Qt's
    // own settings machinery outlives the exit() handler.
    qAddPostRoutine(saveChannelsUIAtExit);
    std::atexit(saveChannelsUIAtExit);
}
