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
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
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

    // A large font factor makes the pages taller than the screen: they scroll
    // inside the dialog and its buttons stay in reach.
    m_scroll = new QScrollArea(this);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidget(m_tabs);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_scroll);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDlg::reject);
    fitToScreen();
}

void SettingsDlg::fitToScreen()
{
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Room left for the window manager's frame around the dialog.
    const QSize frame(16, 48);
    const QSize room = screen->availableGeometry().size() - frame;
    const QSize around = sizeHint() - m_scroll->sizeHint();  // the buttons and the margins
    const QSize pages = m_tabs->sizeHint() + QSize(m_scroll->verticalScrollBar()->sizeHint().width(), 0);
    m_scroll->setMinimumSize(pages.boundedTo(room - around));
    setMaximumSize(room);
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
    if (!fields.refused().isEmpty()) {
        showFirstRefused(fields.refused());
        return;
    }
    m_settings = edited;
    m_settings.save();
    // Saved now, so a crash before the program ends loses no channel change.
    ChannelUI::saveAll(channelsUI());
    done(QDialog::Accepted);
}

void SettingsDlg::showFirstRefused(const QList<QLineEdit *> &refused)
{
    for (int i = 0; i < m_tabs->count(); ++i) {
        for (QLineEdit *field : refused) {
            if (m_tabs->widget(i)->isAncestorOf(field)) {
                m_tabs->setCurrentIndex(i);
                m_scroll->ensureWidgetVisible(field);
                field->setFocus();
                return;
            }
        }
    }
}

void SettingsDlg::reject()
{
    channelsUI() = m_channelsAtOpen;
    done(QDialog::Rejected);
}
