#include "PointsPanelOptions.h"

#include "data/InspectionTheme.h"
#include "data/SettingsStore.h"

void PointsPanelOptions::read(const QSettings &settings, const QString &suffix)
{
    const auto key = [&suffix](const char *name) { return QLatin1String(name) + suffix; };
    const int scale = SettingsStore::read(settings, key("iScale"), iScale);
    iScale = scale == -1 ? scale : sanePictureScale(scale, iScale);
    iUnfold = saneUnfold(SettingsStore::read(settings, key("iUnfold"), iUnfold), iUnfold);
    bShowQuestText = SettingsStore::read(settings, key("bShowQuestText"), bShowQuestText);
    bShowAllChannels = SettingsStore::read(settings, key("bShowAllChannels"), bShowAllChannels);
    bShowBkIA = SettingsStore::read(settings, key("bShowBkIA"), bShowBkIA);
    bShowQuest = SettingsStore::read(settings, key("bShowQuest"), bShowQuest);
    bShowBkQuest = SettingsStore::read(settings, key("bShowBkQuest"), bShowBkQuest);
    bShowAsLabel = SettingsStore::read(settings, key("bShowAsLabel"), bShowAsLabel);
    bShowAsIA = SettingsStore::read(settings, key("bShowAsIA"), bShowAsIA);
    bShowQuestC = SettingsStore::read(settings, key("bShowQuestC"), bShowQuestC);
    bShowQuestN = SettingsStore::read(settings, key("bShowQuestN"), bShowQuestN);
    bShowQuestP = SettingsStore::read(settings, key("bShowQuestP"), bShowQuestP);
    bModePinnable = SettingsStore::read(settings, key("bModePinnable"), bModePinnable);
    bVisiblePanel = SettingsStore::read(settings, key("bVisiblePanel"), bVisiblePanel);
}

void PointsPanelOptions::write(QSettings &settings, const QString &suffix) const
{
    const auto key = [&suffix](const char *name) { return QLatin1String(name) + suffix; };
    settings.setValue(key("iScale"), iScale);
    settings.setValue(key("iUnfold"), iUnfold);
    settings.setValue(key("bShowQuestText"), bShowQuestText);
    settings.setValue(key("bShowAllChannels"), bShowAllChannels);
    settings.setValue(key("bShowBkIA"), bShowBkIA);
    settings.setValue(key("bShowQuest"), bShowQuest);
    settings.setValue(key("bShowBkQuest"), bShowBkQuest);
    settings.setValue(key("bShowAsLabel"), bShowAsLabel);
    settings.setValue(key("bShowAsIA"), bShowAsIA);
    settings.setValue(key("bShowQuestC"), bShowQuestC);
    settings.setValue(key("bShowQuestP"), bShowQuestP);
    settings.setValue(key("bShowQuestN"), bShowQuestN);
    settings.setValue(key("bModePinnable"), bModePinnable);
    settings.setValue(key("bVisiblePanel"), bVisiblePanel);
}

int sanePictureScale(int stored, int fallback)
{
    return stored > 0 && stored <= 100 ? stored : fallback;
}

int saneUnfold(int stored, int fallback)
{
    return stored >= 100 && stored <= 100000 ? stored : fallback;
}

bool questionKindShown(int kind, bool control, bool test, bool neutral)
{
    switch (kind) {
    case QuestionKind::Control:
        return control;
    case QuestionKind::Test:
        return test;
    case QuestionKind::Neutral:
        return neutral;
    default:
        return true;
    }
}
