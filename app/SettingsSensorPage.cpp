#include "app/SettingsSensorPage.h"

#include "app/SettingsDlg.h"
#include "data/DefChannel.h"
#include "sensors/interface/SensorPlugin.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QStringListModel>
#include <QVBoxLayout>

SettingsSensorPage::SettingsSensorPage(const GenericSettings &loaded, DefChannel &channels,
                                       const QString &pluginFolder, QWidget *parent)
    : QWidget(parent), m_channels(channels), m_folder(pluginFolder)
{
    buildSensorPage(loaded.sNameDriverDll);
}

void SettingsSensorPage::buildSensorPage(const QString &storedFileName)
{
    m_sensors = new QComboBox(this);
    m_channelList = new QListView(this);
    m_channelRows = new QStringListModel(this);
    m_channelList->setModel(m_channelRows);
    auto *sensorRow = new QHBoxLayout;
    sensorRow->addWidget(new QLabel(SettingsDlg::tr("Сенсорный блок:"), this));
    sensorRow->addWidget(m_sensors, 1);
    auto *page = new QVBoxLayout(this);
    page->addLayout(sensorRow);
    // A stored name that leads out of the program folder is not taken: the
    // demonstration device stands in its place until OK stores a choice.
    const QString refusal = SensorPlugin::nameRefusal(storedFileName);
    const QString offered = refusal.isEmpty() ? storedFileName : SensorPlugin::demoFileName();
    if (!refusal.isEmpty()) {
        auto *warning =
            new QLabel(refusal + QLatin1Char('\n') + SettingsDlg::tr("Предложен демонстрационный сенсорный блок."), this);
        warning->setWordWrap(true);
        page->addWidget(warning);
    }
    page->addWidget(new QLabel(SettingsDlg::tr("Список доступных каналов:"), this));
    page->addWidget(m_channelList);

    const QVector<SensorPlugin::Entry> found = SensorPlugin::discover(SensorPlugin::userLanguage(), m_folder);
    // Connected first: the first entry added, and then the stored one, lists its channels.
    connect(m_sensors, qOverload<int>(&QComboBox::currentIndexChanged), this, &SettingsSensorPage::onSelectSensor);
    bool offeredFound = false;
    for (const SensorPlugin::Entry &entry : found) {
        m_sensors->addItem(entry.displayName, entry.fileName);
        if (entry.fileName.compare(offered, Qt::CaseInsensitive) == 0) {
            m_sensors->setCurrentIndex(m_sensors->count() - 1);
            offeredFound = true;
        }
    }
    // A stored unit whose plug-in is missing stays the choice until the
    // examiner picks another: OK never swaps in a unit silently.
    if (!offeredFound && !offered.isEmpty())
        offerMissing(page, offered);
}

void SettingsSensorPage::offerMissing(QVBoxLayout *page, const QString &fileName)
{
    auto *warning = new QLabel(
        SensorPlugin::loadFailure(fileName) + QLatin1Char('\n') + SettingsDlg::tr("Выберите сенсорный блок из списка."),
        this);
    warning->setWordWrap(true);
    page->insertWidget(1, warning);
    m_sensors->addItem(SettingsDlg::tr("%1 (не найден)").arg(fileName), fileName);
    m_sensors->setCurrentIndex(m_sensors->count() - 1);
}

void SettingsSensorPage::apply(GenericSettings &settings) const
{
    if (m_sensors->currentIndex() >= 0)
        settings.sNameDriverDll = m_sensors->currentData().toString();
}

void SettingsSensorPage::onSelectSensor(int index)
{
    if (index < 0)
        return;
    SensorPlugin plugin;
    if (!plugin.bind(SensorPlugin::pathInFolder(m_folder, m_sensors->itemData(index).toString()))) {
        m_channelRows->setStringList({});
        return;
    }
    QStringList rows;
    for (int position = 0; position < ChannelCode::Count; ++position) {
        const InspectionChannel *channel = m_channels.findByPosition(position);
        if (channel && plugin.device()->channelSupported(channel->Kod) >= 0)
            rows.append(QStringLiteral("%1. %2").arg(rows.size() + 1).arg(DefChannel::channelName(channel->Kod, true)));
    }
    m_channelRows->setStringList(rows);
}
