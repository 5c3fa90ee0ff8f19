#pragma once

#include "data/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

// Hand-written settings files, for stored states our own code would never write.
inline void writeSettingsFile(const QString &subKey, const QByteArray &text)
{
    const QString path = SettingsStore::filePath(subKey);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

inline QByteArray readSettingsFile(const QString &subKey)
{
    QFile file(SettingsStore::filePath(subKey));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Forgets everything stored, so each test starts from an empty store.
inline void removeSettingsFiles() { QDir(SettingsStore::configFolder() + QStringLiteral("/Vorkel")).removeRecursively(); }
