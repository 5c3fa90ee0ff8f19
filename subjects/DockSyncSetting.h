#pragma once

#include <QString>

// Whether a subject dock's choice moves the subjects dock along ("Разрешить
// синхронизацию с папками"), kept as "bEnabledSync" in the dock's group.
namespace DockSyncSetting {
bool load(const QString &group);
void save(const QString &group, bool enabled);
}  // namespace DockSyncSetting
