#include "DockSyncSetting.h"

#include "data/SettingsStore.h"

#include <QSettings>

namespace {
const QString kSyncKey = QStringLiteral("bEnabledSync");
}  // namespace

bool DockSyncSetting::load(const QString &group)
{
    auto settings = SettingsStore::open();
    settings->beginGroup(group);
    return SettingsStore::read(*settings, kSyncKey, false);
}

void DockSyncSetting::save(const QString &group, bool enabled)
{
    auto settings = SettingsStore::open();
    settings->beginGroup(group);
    settings->setValue(kSyncKey, enabled);
    settings->endGroup();
    settings->sync();
}
