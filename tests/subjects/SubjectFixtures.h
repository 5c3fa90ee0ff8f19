#pragma once

// Subject files with recordings in a store folder, and what the desktop trash holds.
#include "data/Inspection.h"
#include "data/InspectionMedia.h"
#include "tests/data/StoreFixtures.h"

#include <QDir>
#include <QStandardPaths>

namespace SubjectFixtures {

inline void touch(const QString &path, const QByteArray &bytes = QByteArray("x"))
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    StoreFixtures::writeFile(path, bytes);
}

// A subject file with recorded tests named by names, each with its video, and
// the pre-test files named by stamps (14 digits and an extension).
inline QStringList makeRecordedSubject(const QString &path, const QStringList &tests, const QStringList &stamps)
{
    QStringList files{path};
    QDir().mkpath(QFileInfo(path).absolutePath());
    Inspection subject(path);
    for (int i = 0; i < tests.size(); ++i)
        subject.appendTest(StoreFixtures::recordedTest(tests[i], 40, i + 1));
    StoreFixtures::saveTests(subject);
    for (const Inspection::_Test &test : subject.tests) {
        files << InspectionMedia::testVideoPath(subject, test);
        touch(files.last(), test.name.toUtf8());
    }
    for (const QString &stamp : stamps) {
        files << InspectionMedia::mediaFolder(subject) + '/' + InspectionMedia::subjectBaseName(subject) + '.' + stamp;
        touch(files.last(), stamp.toUtf8());
    }
    return files;
}

inline QString trashFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash");
}

// Names in the trash's files folder, each checked to have its ".trashinfo".
inline QStringList trashedNames()
{
    const QDir files(trashFolder() + QStringLiteral("/files"));
    QStringList names = files.entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        if (!QFileInfo::exists(trashFolder() + QStringLiteral("/info/") + name + QStringLiteral(".trashinfo")))
            return {QStringLiteral("no trashinfo for ") + name};
    }
    names.sort();
    return names;
}

inline QStringList fileNames(const QStringList &paths)
{
    QStringList names;
    for (const QString &path : paths)
        names << QFileInfo(path).fileName();
    names.sort();
    return names;
}

}  // namespace SubjectFixtures
