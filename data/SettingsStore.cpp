#include "SettingsStore.h"

#include <QStandardPaths>

namespace {

QString &configFolderOverride()
{
    static QString folder;
    return folder;
}

}  // namespace

std::unique_ptr<QSettings> SettingsStore::open(const QString &subKey)
{
    auto settings = std::make_unique<QSettings>(filePath(subKey), QSettings::NativeFormat);
    settings->setIniCodec("UTF-8");
    return settings;
}

QString SettingsStore::filePath(const QString &subKey)
{
    const QString root = configFolder() + QStringLiteral("/Vorkel/2.0");
    return (subKey.isEmpty() ? root : root + QLatin1Char('/') + subKey) + QStringLiteral(".conf");
}

void SettingsStore::setConfigFolder(const QString &folder) { configFolderOverride() = folder; }

QString SettingsStore::configFolder()
{
    // Asked each time: tests move the configuration folder before they start.
    const QString &folder = configFolderOverride();
    return folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) : folder;
}

bool SettingsStore::read(const QSettings &settings, const QString &key, bool fallback)
{
    const QVariant value = settings.value(key);
    if (value.type() == QVariant::Bool)
        return value.toBool();
    const QString text = value.toString().trimmed().toLower();
    if (text == QLatin1String("true"))
        return true;
    if (text == QLatin1String("false"))
        return false;
    bool ok = false;
    const int number = text.toInt(&ok);
    return ok ? number != 0 : fallback;
}

int SettingsStore::read(const QSettings &settings, const QString &key, int fallback)
{
    bool ok = false;
    const int number = settings.value(key).toInt(&ok);
    return ok ? number : fallback;
}

double SettingsStore::read(const QSettings &settings, const QString &key, double fallback)
{
    bool ok = false;
    const double number = settings.value(key).toDouble(&ok);
    return ok ? number : fallback;
}

QString SettingsStore::read(const QSettings &settings, const QString &key, const QString &fallback)
{
    const QVariant value = settings.value(key);
    return value.isValid() ? value.toString() : fallback;
}
