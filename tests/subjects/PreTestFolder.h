#pragma once

#include "data/Inspection.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// A subject "Иван" with its companion folder "__1__": this subject's pre-test
// videos, copied from the drawn test videos, beside decoys that must never be
// listed: another subject whose name begins the same way, a name with "[",
// a test video and speech files.
class PreTestFolder
{
public:
    explicit PreTestFolder(const QString &subject = QStringLiteral("Иван"))
        : inspection(m_dir.filePath(subject + QStringLiteral(".qmz")))
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("__1__"));
        base = QFileInfo(inspection.path).completeBaseName();
    }

    QString media(const QString &name) const { return m_dir.filePath(QStringLiteral("__1__/") + name); }
    // Copies a drawn video under the name; an empty source writes bytes that decode to nothing.
    void put(const QString &name, const QString &source = QString())
    {
        if (source.isEmpty()) {
            QFile file(media(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(4096, '\x5a'));
            return;
        }
        QVERIFY(QFile::copy(source, media(name)));
    }
    void putDecoys(const QString &source)
    {
        put(QStringLiteral("Иванов.07122026143005.avi"), source);
        put(QStringLiteral("Иван[1].07122026143005.avi"), source);
        put(base + QStringLiteral("-Тест-{5b1c7a3e-0000-4000-8000-000000000001}.avi"), source);
        put(base + QStringLiteral(".07122026143005.aac"));
        put(base + QStringLiteral(".0712202614300.avi"), source);
    }

private:
    QTemporaryDir m_dir;  // made before the subject that lies in it

public:
    Inspection inspection;
    QString base;
};
