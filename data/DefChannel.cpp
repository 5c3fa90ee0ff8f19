#include "DefChannel.h"

#include "ChannelUI.h"
#include "SettingsStore.h"

#include <QCoreApplication>

#include <algorithm>
#include <numeric>

namespace {

struct CalibrationRow {
    bool present;
    int adt;
    double amplify;
    double offset;
    int shift;
};

const CalibrationRow kDefaults16[ChannelCode::Count] = {
    {true, 5, 30.0, 300.0, -150}, {true, 7, 70.0, 30.0, 550},     {true, 3, 25.0, 410.0, 700},
    {true, 3, 25.0, 450.0, 700},  {true, 7, 15.0, 100.0, 0},      {true, 0, 10.0, 5.0, 0},
    {true, 3, 15.0, 20.0, 0},     {true, 5, 15.0, 100.0, 100},    {true, 13, 146.0, 185.0, -2100},
    {true, 5, 15.0, 140.0, 0},    {true, 3, 15.0, 20.0, 0},       {true, 1, 15.0, 20.0, 0},
    {true, 1, 240.0, 385.0, 1},
};

const CalibrationRow kDefaults12[ChannelCode::Count] = {
    {true, 5, 500.0, 350.0, -100}, {true, 10, 500.0, 300.0, 550},  {true, 0, 300.0, 350.0, -1000},
    {true, 0, 300.0, 350.0, -1000}, {true, 7, 500.0, 100.0, 0},    {true, 1, 100.0, 50.0, 0},
    {true, 3, 50.0, 25.0, 0},       {true, 1, 300.0, 100.0, 0},    {true, 13, 146.0, 185.0, -2100},
    {true, 5, 500.0, 100.0, 0},     {true, 3, 50.0, 25.0, 0},      {false, 0, 0.0, 0.0, 0},
    {true, 1, 240.0, 385.0, 1},
};

const QUuid kVorkel16(QStringLiteral("{05209770-FCC0-4EBD-99C3-0A64CAFB2B1E}"));
const QUuid kMirel16(QStringLiteral("{A34F63FF-AC7A-46E1-BD4E-49FABAA572DA}"));

const CalibrationRow *defaultsTable(const QUuid &deviceType)
{
    if (deviceType == SavedSetupId)
        return nullptr;
    if (isSixteenBitUnit(deviceType))
        return kDefaults16;
    return kDefaults12;
}

const char *const kShortNames[ChannelCode::Count] = {
    QT_TRANSLATE_NOOP("DefChannel", "КГР"),
    QT_TRANSLATE_NOOP("DefChannel", "ТС"),
    QT_TRANSLATE_NOOP("DefChannel", "НДХ"),
    QT_TRANSLATE_NOOP("DefChannel", "ВДХ"),
    QT_TRANSLATE_NOOP("DefChannel", "ПГ"),
    QT_TRANSLATE_NOOP("DefChannel", "Тремор"),
    QT_TRANSLATE_NOOP("DefChannel", "Мкф-Сенсор"),
    QT_TRANSLATE_NOOP("DefChannel", "АД"),
    QT_TRANSLATE_NOOP("DefChannel", "Тахограмма"),
    QT_TRANSLATE_NOOP("DefChannel", "Доп. канал"),
    QT_TRANSLATE_NOOP("DefChannel", "Мкф-Компьютер"),
    QT_TRANSLATE_NOOP("DefChannel", "Д. в манжете"),
    QT_TRANSLATE_NOOP("DefChannel", "ДифДХ"),
};

const char *const kFullNames[ChannelCode::Count] = {
    QT_TRANSLATE_NOOP("DefChannel", "КГР (Кожно-гальваническая реакция)"),
    QT_TRANSLATE_NOOP("DefChannel", "ТС (Тоническая составляющая КГР)"),
    QT_TRANSLATE_NOOP("DefChannel", "НДХ (Дыхание нижнее)"),
    QT_TRANSLATE_NOOP("DefChannel", "ВДХ (Дыхание верхнее)"),
    QT_TRANSLATE_NOOP("DefChannel", "ПГ (Плетизмограмма)"),
    QT_TRANSLATE_NOOP("DefChannel", "Тремор (Двигательная активность)"),
    QT_TRANSLATE_NOOP("DefChannel", "Мкф-Сенсор (Огибающая акустических сигналов)"),
    QT_TRANSLATE_NOOP("DefChannel", "АД (Давление)"),
    QT_TRANSLATE_NOOP("DefChannel", "Тахограмма"),
    QT_TRANSLATE_NOOP("DefChannel", "Дополнителный канал"),
    QT_TRANSLATE_NOOP("DefChannel", "Мкф-Компьютер (Огибающая акустических сигналов)"),
    QT_TRANSLATE_NOOP("DefChannel", "Давление в манжете"),
    QT_TRANSLATE_NOOP("DefChannel", "ДифДХ (Дыхание дифференциальное)"),
};

QString groupName(const Inspection::_Channel &record) { return QStringLiteral("Channels-%1").arg(record.Kod); }

void pointIntoTable(Inspection::_Channel &record, ChannelUI &entry)
{
    record.Enable = &entry.bEnable;
    record.PenWidth = &entry.nPenWidth;
    record.Color = &entry.rgbColor;
    record.TubeColor = &entry.rgbTubeColor;
    record.Amp2 = &entry.bAmp2;
    record.ChannelPos = &entry.nChannelPos;
    record.EnableFilter = &entry.bEnableFilter;
    record.EnableFilter2 = &entry.bEnableFilter2;
    record.Inverse = &entry.bInverse;
}

int positionOf(const Inspection::_Channel &record) { return record.ChannelPos ? *record.ChannelPos : -1; }

}  // namespace

DefChannel::DefChannel()
{
    ChannelUITable &table = channelsUI();
    for (int code = 0; code < ChannelCode::Count; ++code) {
        Inspection::_Channel &record = m_channels[code];
        record.Kod = code;
        record.KodDrv = -1;
        pointIntoTable(record, table[code]);
    }
    m_channels = sortedByPosition();
}

DefChannel::~DefChannel() = default;

QString DefChannel::channelName(int code, bool full)
{
    if (!ChannelCode::isValid(code))
        return QString();
    return QCoreApplication::translate("DefChannel", full ? kFullNames[code] : kShortNames[code]);
}

Inspection::_Channel *DefChannel::findByCode(int code)
{
    return const_cast<Inspection::_Channel *>(std::as_const(*this).findByCode(code));
}

const Inspection::_Channel *DefChannel::findByCode(int code) const
{
    const auto found = std::find_if(m_channels.begin(), m_channels.end(),
                                    [code](const Inspection::_Channel &record) { return record.Kod == code; });
    return found == m_channels.end() ? nullptr : &*found;
}

Inspection::_Channel *DefChannel::findByPosition(int position)
{
    const auto found = std::find_if(m_channels.begin(), m_channels.end(), [position](const Inspection::_Channel &record) {
        return positionOf(record) == position;
    });
    return found == m_channels.end() ? nullptr : &*found;
}

DefChannel::Records DefChannel::sortedByPosition() const
{
    std::array<int, ChannelCode::Count> positions{};
    std::transform(m_channels.begin(), m_channels.end(), positions.begin(), positionOf);
    if (!ChannelCode::isPermutation(positions)) {
        // The records still get thirteen distinct slots, in the factory order.
        std::transform(m_channels.begin(), m_channels.end(), positions.begin(), [](const Inspection::_Channel &record) {
            return ChannelCode::isValid(record.Kod) ? ChannelUI::defaults(record.Kod).nChannelPos : ChannelCode::Count;
        });
    }
    std::array<int, ChannelCode::Count> order{};
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&positions](int a, int b) { return positions[a] < positions[b]; });
    Records sorted;
    for (int i = 0; i < ChannelCode::Count; ++i)
        sorted[i] = m_channels[order[i]];
    return sorted;
}

void DefChannel::applyDefaults(const QUuid &deviceType)
{
    for (Inspection::_Channel &record : m_channels)
        applyChannelDefaults(deviceType, &record);
}

void DefChannel::saveCalibration(const QUuid &deviceType) const
{
    const auto settings = SettingsStore::open(deviceType.toString());
    for (const Inspection::_Channel &record : m_channels) {
        settings->beginGroup(groupName(record));
        settings->setValue(QStringLiteral("nOffset"), record.Offset);
        settings->setValue(QStringLiteral("nAmplify"), record.Amplify);
        settings->setValue(QStringLiteral("nADT"), record.ADT);
        settings->setValue(QStringLiteral("nShiftADT"), record.ShiftADT);
        settings->endGroup();
    }
    settings->sync();
}

void DefChannel::loadCalibration(const QUuid &deviceType)
{
    const auto settings = SettingsStore::open(deviceType.toString());
    for (Inspection::_Channel &record : m_channels) {
        applyChannelDefaults(deviceType, &record);
        settings->beginGroup(groupName(record));
        record.ADT = SettingsStore::read(*settings, QStringLiteral("nADT"), record.ADT);
        record.ShiftADT = SettingsStore::read(*settings, QStringLiteral("nShiftADT"), record.ShiftADT);
        // Read as real numbers: a calibrated 2.5 must not come back as 0.
        record.Offset = SettingsStore::read(*settings, QStringLiteral("nOffset"), record.Offset);
        record.Amplify = SettingsStore::read(*settings, QStringLiteral("nAmplify"), record.Amplify);
        settings->endGroup();
    }
}

int applyChannelDefaults(const QUuid &deviceType, Inspection::_Channel *record)
{
    const CalibrationRow *table = defaultsTable(deviceType);
    if (!table || !record)
        return record ? record->ShiftADT : 0;
    int shift = record->ShiftADT;
    if (ChannelCode::isValid(record->Kod) && table[record->Kod].present) {
        const CalibrationRow &row = table[record->Kod];
        record->ADT = row.adt;
        record->Amplify = row.amplify;
        record->Offset = row.offset;
        shift = row.shift;
    }
    record->ShiftADT = record->Inverse && *record->Inverse ? -shift : shift;
    return record->ShiftADT;
}

bool isSixteenBitUnit(const QUuid &deviceType)
{
    return deviceType == kVorkel16 || deviceType == kMirel16;
}
