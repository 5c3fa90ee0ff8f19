#pragma once

#include <QSettings>
#include <QString>

#include <memory>

// Makes every settings object of the program: the root "Vorkel"/"2.0" and each
// sub-key of it ("ChannelsUI", a device type's braced uuid, ...) as its own file
// beside the root, all in UTF-8 so non-ASCII folder names stay readable.
class SettingsStore
{
public:
    // The root settings when subKey is empty, otherwise the sub-key's own settings.
    static std::unique_ptr<QSettings> open(const QString &subKey = QString());
    // The file that open(subKey) reads and writes.
    static QString filePath(const QString &subKey = QString());

    // Folder that holds "Vorkel/"; the platform's configuration folder unless
    // set. An empty folder returns to the platform's one.
    static void setConfigFolder(const QString &folder);  // for tests
    static QString configFolder();

    // Typed reads that keep the fallback when the key is absent or its text
    // does not convert, so a damaged file never turns into zeros.
    static bool read(const QSettings &settings, const QString &key, bool fallback);
    static int read(const QSettings &settings, const QString &key, int fallback);
    static double read(const QSettings &settings, const QString &key, double fallback);
    static QString read(const QSettings &settings, const QString &key, const QString &fallback);
    // A text literal would silently pick the bool overload.
    static QString read(const QSettings &settings, const QString &key, const char *fallback) = delete;
};
