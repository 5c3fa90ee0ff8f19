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

    // Every field from the store, defaults for absent or unreadable keys. A
    // data root folder that is not there is not made: it may be a share not
    // mounted or a disk removed, and the examiner is asked at start.
    void load();
    // The data root folder when none is stored.
    static QString defaultRootFolder();
    // Writes every field and flushes.
    void save() const;
};
