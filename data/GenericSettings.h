#pragma once

#include <QString>

// The program-wide settings of group "Generic". A plain value: construct,
// load, read the fields needed; the settings dialog and the examination
// editor save it back.
class GenericSettings
{
public:
    bool bEnableShowTextLabelForPrint = true;
    bool bEnableShowTextLabelForView = true;
    bool bEnableShowTextLabelYasNoForView = true;
    bool bEnableShowTextLabelForRecord = true;
    bool bEnableShowGridForPrint = true;
    int iZoomH = 200;
    int iZoomV = 200;
    QString sRootFolder;
    QString sPathFileSprav;
    int iIA = 10;
    int iTimeBeforeForRecord = 10;
    int iTimeAfterForRecod = 10;
    bool bEnableVideoForRecord = false;
    QString sNameDriverDll;
    QString sAudioDeviceName;
    QString sVideoDeviceName;
    double dVideoPanelSize = 0.75;
    double dSecMonPanelSize = 0.14;
    bool bEnableLabelAnswere = true;
    bool bShowTrasparentPanel_Quest = true;
    bool bShowTrasparentPanel_Inspection = true;
    bool bShowTrasparentPanel_Pulse = true;
    bool bShowTrasparentPanel_GSR = true;
    bool bShowTrasparentPanel_Pressure = true;
    bool bShowTrasparentPanel_MicrophoneLavel = true;
    bool bShowTrasparentPanel_SecondMonitor = true;
    double fontK = 1.0;
    bool bShowQuestionsRUS = true;
    bool bShowQuestionsUSA = false;
    int iQualityVideo = 0;

    // The ranges the settings pages allow; load brings values within them.
    static constexpr int kZoomMin = 100, kZoomMax = 500;
    static constexpr double kFontKMin = 0.1, kFontKMax = 5.0;
    static constexpr int kRecordTimeMin = 1, kRecordTimeMax = 30;
    // The analysis interval and the times around the questions are brought
    // only within what a recording holds: shorter and longer ones than the
    // page offers work, and quick demonstrations rely on them (no time at
    // all after the last question among them).
    static constexpr int kSecondsMin = 0, kSecondsMax = 600;
    static constexpr double kVideoPanelMin = 0.1, kVideoPanelMax = 1.5;
    static constexpr double kSecMonPanelMin = 0.1, kSecMonPanelMax = 1.0;
    static constexpr int kQualityMin = 0, kQualityMax = 2;

    // Every field from the store, defaults for absent or unreadable keys,
    // numbers brought within the ranges above. A data root folder that is not
    // there is not made: it may be a share not mounted or a disk removed, and
    // the examiner is asked at start.
    void load();
    // The data root folder when none is stored.
    static QString defaultRootFolder();
    // Writes every field and flushes.
    void save() const;
};
