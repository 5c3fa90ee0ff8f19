#include "RecordingRescue.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString kCopySuffix = QStringLiteral(".qmz");
// A path is short; anything longer is no note of ours.
constexpr qint64 kMaxNoteBytes = 64 << 10;

StoreResult saveTest(Inspection &into, Inspection::_Test &test)
{
    const StoreResult result = into.saveTestStruct(&test, false);
    return result == StoreResult::Ok ? into.saveRecording(&test) : result;
}

}  // namespace

QString RecordingRescue::folder(const QString &rootFolder)
{
    return QDir::cleanPath(rootFolder) + QStringLiteral(".recovery");
}

QString RecordingRescue::subjectNoteOf(const QString &file)
{
    return file + QStringLiteral(".subject");
}

StoreResult RecordingRescue::save(const QString &rootFolder, const QString &subject, const Inspection::_Test &test,
                                  QString &file)
{
    const QString into = folder(rootFolder);
    if (!QDir().mkpath(into))
        return StoreResult::NotOpen;
    const QString stem = into + QLatin1Char('/') + QFileInfo(subject).completeBaseName() + QLatin1Char('-')
                         + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    file = stem + kCopySuffix;
    for (int n = 2; QFileInfo::exists(file) || QFileInfo::exists(subjectNoteOf(file)); ++n)
        file = stem + QStringLiteral("-%1").arg(n) + kCopySuffix;
    // The note first: a copy is never found without the subject it belongs to.
    QSaveFile note(subjectNoteOf(file));
    if (!note.open(QIODevice::WriteOnly) || note.write(subject.toUtf8()) < 0 || !note.commit())
        return StoreResult::NotWritten;
    Inspection copy(file);
    Inspection::_Test kept = test;
    const StoreResult result = saveTest(copy, kept);
    if (result != StoreResult::Ok)
        drop({file, subject});
    return result;
}

QVector<RecordingRescue::Copy> RecordingRescue::copies(const QString &rootFolder)
{
    QVector<Copy> found;
    const QDir dir(folder(rootFolder));
    for (const QFileInfo &entry : dir.entryInfoList({QStringLiteral("*") + kCopySuffix}, QDir::Files, QDir::Name)) {
        QFile note(subjectNoteOf(entry.absoluteFilePath()));
        if (note.size() > kMaxNoteBytes || !note.open(QIODevice::ReadOnly))
            continue;
        const QString subject = QString::fromUtf8(note.readAll());
        if (!subject.isEmpty())
            found.append({entry.absoluteFilePath(), subject});
    }
    return found;
}

StoreResult RecordingRescue::restore(const Copy &copy)
{
    Inspection source;
    StoreResult result = source.load(copy.file);
    if (result != StoreResult::Ok)
        return result;
    Inspection target(copy.subject);
    for (Inspection::_Test &test : source.tests) {
        result = source.loadRecording(&test);
        if (result == StoreResult::Ok)
            result = saveTest(target, test);
        if (result != StoreResult::Ok)
            return result;
    }
    source.clear();
    return drop(copy) ? StoreResult::Ok : StoreResult::NotWritten;
}

bool RecordingRescue::drop(const Copy &copy)
{
    const bool removed = !QFileInfo::exists(copy.file) || QFile::remove(copy.file);
    return removed && (!QFileInfo::exists(subjectNoteOf(copy.file)) || QFile::remove(subjectNoteOf(copy.file)));
}
