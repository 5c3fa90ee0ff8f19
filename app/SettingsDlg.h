#pragma once

#include "data/ChannelUI.h"
#include "data/GenericSettings.h"

#include <QDialog>

#include <memory>

class DefChannel;
class MediaDevices;
class QLineEdit;
class QScrollArea;
class QTabWidget;
class SettingsChannelsPage;
class SettingsGeneralPage;
class SettingsRecordPage;
class SettingsSensorPage;
class SettingsViewPage;

// The program settings: OK saves the edited "Generic" record and the channel
// display table; Cancel writes nothing and puts the channel table back as it
// was when the dialog opened.
class SettingsDlg : public QDialog
{
    Q_OBJECT
public:
    explicit SettingsDlg(QWidget *parent = nullptr);
    // With the devices and the plug-in folder to offer instead of this machine's.
    SettingsDlg(QWidget *parent, const MediaDevices &devices, const QString &pluginFolder);
    ~SettingsDlg() override;

    QTabWidget *tabs() const { return m_tabs; }
    SettingsGeneralPage *generalPage() const { return m_general; }  // for tests
    SettingsViewPage *viewPage() const { return m_view; }  // for tests
    SettingsRecordPage *recordPage() const { return m_record; }  // for tests
    SettingsSensorPage *sensorPage() const { return m_sensor; }  // for tests
    SettingsChannelsPage *channelsPage() const { return m_channelsPage; }  // for tests

public slots:
    // Refused, with the dialog left open on the first page holding a marked
    // field, while a number field holds a changed text it cannot take.
    void accept() override;
    void reject() override;

private:
    // The pages at their own size, as far as the screen has room for it.
    void fitToScreen();
    // The page of the refused field that comes first in the tab order, that field focused.
    void showFirstRefused(const QList<QLineEdit *> &refused);

    GenericSettings m_settings;
    std::unique_ptr<DefChannel> m_channels;
    const ChannelUITable m_channelsAtOpen;
    QTabWidget *m_tabs = nullptr;
    QScrollArea *m_scroll = nullptr;
    SettingsGeneralPage *m_general = nullptr;
    SettingsViewPage *m_view = nullptr;
    SettingsRecordPage *m_record = nullptr;
    SettingsSensorPage *m_sensor = nullptr;
    SettingsChannelsPage *m_channelsPage = nullptr;
};
