#include "GenericSettings.h"

#include "SettingsRange.h"
#include "SettingsStore.h"

#include <QStandardPaths>

namespace {

const QString kDefaultDriver = QStringLiteral("vugSensorVorkel16.so");

// Every key with its field, in the order load and save handle them.
template <class Record, class Visit>
void forEachKey(Record &r, Visit &&visit)
{
    visit("bEnableShowTextLabelForPrint", r.bEnableShowTextLabelForPrint);
    visit("bEnableShowTextLabelForView", r.bEnableShowTextLabelForView);
    visit("bEnableShowTextLabelYasNoForView", r.bEnableShowTextLabelYasNoForView);
    visit("bEnableShowTextLabelForRecord", r.bEnableShowTextLabelForRecord);
    visit("bEnableShowGridForPrint", r.bEnableShowGridForPrint);
    visit("iZoomH", r.iZoomH);
    visit("iZoomV", r.iZoomV);
    visit("fontK", r.fontK);
    visit("bShowQuestionsUSA", r.bShowQuestionsUSA);
    visit("bShowQuestionsRUS", r.bShowQuestionsRUS);
    visit("sRootFolder", r.sRootFolder);
    visit("sPathFileSprav", r.sPathFileSprav);
    visit("iIA", r.iIA);
    visit("iTimeBeforeForRecord", r.iTimeBeforeForRecord);
    visit("iTimeAfterForRecod", r.iTimeAfterForRecod);
    visit("bEnableVideoForRecord", r.bEnableVideoForRecord);
    visit("sNameDriverDll", r.sNameDriverDll);
    visit("sAudioDeviceName", r.sAudioDeviceName);
    visit("sVideoDeviceName", r.sVideoDeviceName);
    visit("dVideoPanelSize", r.dVideoPanelSize);
    visit("dSecMonPanelSize", r.dSecMonPanelSize);
    visit("bEnableLabelAnswere", r.bEnableLabelAnswere);
    visit("bShowTrasparentPanel_Quest", r.bShowTrasparentPanel_Quest);
    visit("bShowTrasparentPanel_Inspection", r.bShowTrasparentPanel_Inspection);
    visit("bShowTrasparentPanel_Pulse", r.bShowTrasparentPanel_Pulse);
    visit("bShowTrasparentPanel_GSR", r.bShowTrasparentPanel_GSR);
    visit("bShowTrasparentPanel_Pressure", r.bShowTrasparentPanel_Pressure);
    visit("bShowTrasparentPanel_MicrophoneLavel", r.bShowTrasparentPanel_MicrophoneLavel);
    visit("bShowTrasparentPanel_SecondMonitor", r.bShowTrasparentPanel_SecondMonitor);
    visit("iQualityVideo", r.iQualityVideo);
}

// The numbers kept within their pages' ranges.
void keepWithinPages(GenericSettings &r, SettingsRange &range)
{
    const GenericSettings defaults;
    const auto keep = [&](const char *key, auto field, auto low, auto high) {
        range.keep(QLatin1String(key), r.*field, defaults.*field, low, high);
    };
    using S = GenericSettings;
    keep("iZoomH", &S::iZoomH, S::kZoomMin, S::kZoomMax);
    keep("iZoomV", &S::iZoomV, S::kZoomMin, S::kZoomMax);
    keep("fontK", &S::fontK, S::kFontKMin, S::kFontKMax);
    keep("iIA", &S::iIA, S::kSecondsMin, S::kSecondsMax);
    keep("iTimeBeforeForRecord", &S::iTimeBeforeForRecord, S::kSecondsMin, S::kSecondsMax);
    keep("iTimeAfterForRecod", &S::iTimeAfterForRecod, S::kSecondsMin, S::kSecondsMax);
    keep("dVideoPanelSize", &S::dVideoPanelSize, S::kVideoPanelMin, S::kVideoPanelMax);
    keep("dSecMonPanelSize", &S::dSecMonPanelSize, S::kSecMonPanelMin, S::kSecMonPanelMax);
    keep("iQualityVideo", &S::iQualityVideo, S::kQualityMin, S::kQualityMax);
}

// Settings written on the original platform name the plug-in "*.dll"; the
// same plug-in here is "*.so".
QString localPluginName(const QString &name)
{
    const QString dll = QStringLiteral(".dll");
    return name.endsWith(dll, Qt::CaseInsensitive) ? name.chopped(dll.size()) + QStringLiteral(".so") : name;
}

}  // namespace

void GenericSettings::load()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    *this = GenericSettings();
    sRootFolder = defaultRootFolder();
    sPathFileSprav = documents + QStringLiteral("/.VorkelData/svorkel.sqmz");
    sNameDriverDll = kDefaultDriver;

    const auto settings = SettingsStore::open();
    settings->beginGroup(QStringLiteral("Generic"));
    forEachKey(*this, [&settings](const char *key, auto &field) {
        field = SettingsStore::read(*settings, QLatin1String(key), field);
    });
    settings->endGroup();
    sNameDriverDll = localPluginName(sNameDriverDll);
    SettingsRange range(settings->fileName());
    keepWithinPages(*this, range);
    range.report();
}

QString GenericSettings::defaultRootFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/.VorkelData");
}

void GenericSettings::save() const
{
    const auto settings = SettingsStore::open();
    settings->beginGroup(QStringLiteral("Generic"));
    forEachKey(*this, [&settings](const char *key, const auto &field) { settings->setValue(QLatin1String(key), field); });
    settings->endGroup();
    settings->sync();
}
