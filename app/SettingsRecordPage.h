#pragma once

#include "data/GenericSettings.h"

#include <QWidget>

class MediaDevices;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class SettingsFields;

// The "Запись полиграмм" page: analysis interval, lead-in and lead-out times,
// marks, video, and the panels shown over the polygram.
class SettingsRecordPage : public QWidget
{
public:
    SettingsRecordPage(const GenericSettings &loaded, const MediaDevices &devices, QWidget *parent);
    void apply(GenericSettings &settings, SettingsFields &fields) const;

    // The default camera first and current unless another camera matches
    // stored, ignoring case. No camera at all leaves the list empty.
    static void fillCameraList(QComboBox *combo, const MediaDevices &devices, const QString &stored);
    // Only devices that offer exactly the one codec "audio/pcm"; the one
    // matching stored, ignoring case, is current, else the first.
    static void fillAudioInputList(QComboBox *combo, const MediaDevices &devices, const QString &stored);

    QButtonGroup *intervalButtons() const { return m_interval; }
    QButtonGroup *qualityButtons() const { return m_quality; }  // for tests
    QLineEdit *timeBeforeField() const { return m_timeBefore; }  // for tests
    QLineEdit *timeAfterField() const { return m_timeAfter; }  // for tests
    QLineEdit *videoPanelSizeField() const { return m_videoPanelSize; }  // for tests
    QLineEdit *secondMonitorSizeField() const { return m_secMonPanelSize; }  // for tests
    QComboBox *cameraList() const { return m_cameras; }  // for tests
    QComboBox *microphoneList() const { return m_microphones; }  // for tests
    // The check box of a bool field of the record, or null.
    QCheckBox *checkBoxFor(bool GenericSettings::*field) const;  // for tests

private:
    struct FlagBox {
        bool GenericSettings::*field;
        QCheckBox *box;
    };

    QWidget *buildCommonGroup(const GenericSettings &loaded);
    QWidget *buildVideoGroup(const GenericSettings &loaded, const MediaDevices &devices);
    QWidget *buildPanelGroup(const GenericSettings &loaded);
    QCheckBox *flagBox(const QString &text, bool GenericSettings::*field, const GenericSettings &loaded,
                       QWidget *parent);

    QButtonGroup *m_interval = nullptr;
    QButtonGroup *m_quality = nullptr;
    QLineEdit *m_timeBefore = nullptr;
    QLineEdit *m_timeAfter = nullptr;
    QLineEdit *m_videoPanelSize = nullptr;
    QLineEdit *m_secMonPanelSize = nullptr;
    QComboBox *m_cameras = nullptr;
    QComboBox *m_microphones = nullptr;
    QVector<FlagBox> m_flags;
};
