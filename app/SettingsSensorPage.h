#pragma once

#include "data/GenericSettings.h"

#include <QWidget>

class DefChannel;
class QComboBox;
class QListView;
class QStringListModel;
class QVBoxLayout;

// The "Сенсорный блок" page: the device plug-ins found in a folder, and the
// channels the chosen one's unit delivers, in display order.
class SettingsSensorPage : public QWidget
{
    Q_OBJECT
public:
    SettingsSensorPage(const GenericSettings &loaded, DefChannel &channels, const QString &pluginFolder,
                       QWidget *parent);
    void apply(GenericSettings &settings) const;

    QComboBox *sensorList() const { return m_sensors; }
    QListView *channelList() const { return m_channelList; }

public slots:
    void onSelectSensor(int index);

private:
    void buildSensorPage(const QString &storedFileName);
    void offerMissing(QVBoxLayout *page, const QString &fileName);

    DefChannel &m_channels;
    const QString m_folder;
    QComboBox *m_sensors = nullptr;
    QListView *m_channelList = nullptr;
    QStringListModel *m_channelRows = nullptr;
};
