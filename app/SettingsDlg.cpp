#include "app/SettingsDlg.h"

#include "recording/media/MediaDevices.h"
#include "app/SettingsChannelsPage.h"
#include "app/services/SettingsFields.h"
#include "app/SettingsGeneralPage.h"
#include "app/SettingsRecordPage.h"
#include "app/SettingsSensorPage.h"
#include "app/SettingsViewPage.h"
#include "data/DefChannel.h"
#include "data/WaitCursor.h"
#include "sensors/interface/SensorPlugin.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

SettingsDlg::SettingsDlg(QWidget *parent)
    : SettingsDlg(parent, MediaDevices::system(), SensorPlugin::programFolder())
{
}

SettingsDlg::SettingsDlg(QWidget *parent, const MediaDevices &devices, const QString &pluginFolder)
    : QDialog(parent), m_channelsAtOpen(channelsUI())
{
    // Building the measuring unit page loads every plug-in.
    const WaitCursor wait;
    setWindowTitle(tr("Настройки"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    // Only now: setting the flags above adds the help button by itself.
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    m_settings.load();
    m_channels = std::make_unique<DefChannel>();

    m_tabs = new QTabWidget(this);
    m_tabs->setTabPosition(QTabWidget::North);
    m_general = new SettingsGeneralPage(m_settings, m_tabs);
    m_view = new SettingsViewPage(m_settings, m_tabs);
    m_record = new SettingsRecordPage(m_settings, devices, m_tabs);
    m_sensor = new SettingsSensorPage(m_settings, *m_channels, pluginFolder, m_tabs);
    m_channelsPage = new SettingsChannelsPage(*m_channels, m_tabs);
    m_tabs->addTab(m_general, tr("Общие"));
    m_tabs->addTab(m_view, tr("Просмотр полиграмм"));
    m_tabs->addTab(m_record, tr("Запись полиграмм"));
    m_tabs->addTab(m_sensor, tr("Сенсорный блок"));
    m_tabs->addTab(m_channelsPage, tr("Каналы"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDlg::reject);
}

SettingsDlg::~SettingsDlg() = default;

void SettingsDlg::accept()
{
    GenericSettings edited = m_settings;
    SettingsFields fields;
    m_view->apply(edited);
    m_record->apply(edited, fields);
    m_sensor->apply(edited);
    m_general->apply(edited, fields);
    if (QLineEdit *refused = fields.firstRefused()) {
        for (int i = 0; i < m_tabs->count(); ++i) {
            if (m_tabs->widget(i)->isAncestorOf(refused))
                m_tabs->setCurrentIndex(i);
        }
        refused->setFocus();
        return;
    }
    m_settings = edited;
    m_settings.save();
    // Saved now, so a crash before the program ends loses no channel change.
    ChannelUI::saveAll(channelsUI());
    done(QDialog::Accepted);
}

void SettingsDlg::reject()
{
    channelsUI() = m_channelsAtOpen;
    done(QDialog::Rejected);
}
