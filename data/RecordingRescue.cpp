#include "RecordingRescue.h"

#include "InspectionStore.h"
#include "RecoveryNote.h"
#include "SubjectBounds.h"
#include "TestCaption.h"
#include "WholeFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>

namespace {

const QString kCopySuffix = QStringLiteral(".qmz");
constexpr qint64 kCopyChunkBytes = 1 << 20;

StoreResult saveTest(Inspection &into, Inspection::_Test &test, Inspection::FileUse use)
{
    const StoreResult result = into.saveTestStruct(&test, false, use);
    return result == StoreResult::Ok ? into.saveRecording(&test) : result;
}

QJsonValue questionsOf(Inspection::_Test &test)
{
    QJsonObject structure;
    test.toJson(structure);
    return QJsonArray{structure.value(QStringLiteral("themis")), structure.value(QStringLiteral("themisNULL")),
                      structure.value(QStringLiteral("orders"))};
}

// The rescued recording goes back into its own test only while that test
// still waits for it: there, unrecorded, with the questions it was recorded on.
bool fitsItsTest(Inspection &subject, Inspection::_Test &rescued)
{
    Inspection::_Test *own = subject.test(subject.indexOfTest(rescued.id));
    return own && !own->recorded && questionsOf(*own) == questionsOf(rescued);
}

// Whether the subject stays within the bounds its loading enforces once the
// added tests are in.
StoreResult admits(const QString &subject, QVector<Inspection::_Test> &added)
{
    SubjectBounds bounds;
    {
        InspectionStore store(subject, InspectionStore::ExistingFile);
        if (!store.isOpen())
            return store.openFailure();
        SubjectBounds::forEachStructure(store, [&bounds](const QString &, const QJsonObject &structure) {
            bounds.admit(structure);
        });
        if (store.isBusy())
            return StoreResult::Busy;
    }
    for (Inspection::_Test &test : added) {
        QJsonObject structure;
        test.toJson(structure);
        if (!bounds.admit(structure))
            return StoreResult::TooLarge;
    }
    return StoreResult::Ok;
}

// Each placed test is in the file with all its samples.
bool holdsAll(const QString &subject, const QVector<Inspection::_Test> &placed)
{
    Inspection check;
    const StoreResult loaded = check.load(subject);
    if (loaded != StoreResult::Ok && loaded != StoreResult::Damaged)
        return false;
    for (const Inspection::_Test &test : placed) {
        Inspection::_Test *stored = check.test(check.indexOfTest(test.id));
        if (!stored || !stored->recorded || check.loadRecording(stored) != StoreResult::Ok
            || stored->dataGSR.size() != test.dataGSR.size())
            return false;
    }
    return true;
}

StoreResult loadWithRecordings(Inspection &copy, const QString &file)
{
    if (!RecoveryNote::isPlainFile(file))
        return StoreResult::Refused;
    StoreResult result = copy.load(file);
    for (int i = 0; i < copy.tests.size() && result == StoreResult::Ok; ++i)
        result = copy.loadRecording(&copy.tests[i]);
    return result;
}

bool removeEntry(const QString &path)
{
    const QFileInfo entry(path);
    return (!entry.exists() && !entry.isSymLink()) || QFile::remove(path);
}

// A name in the data folder no file has yet.
QString freeName(const QString &folder, const QString &stem)
{
    QString file = folder + QLatin1Char('/') + stem + kCopySuffix;
    for (int n = 2; QFileInfo::exists(file) || QFileInfo(file).isSymLink(); ++n)
        file = folder + QLatin1Char('/') + stem + QStringLiteral(" (%1)").arg(n) + kCopySuffix;
    return file;
}

bool copyWhole(const QString &from, const QString &to)
{
    QFile source(from);
    WholeFile target(to);
    if (!source.open(QIODevice::ReadOnly) || !target.open())
        return false;
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(kCopyChunkBytes);
        if (chunk.isEmpty() || target.file().write(chunk) != chunk.size())
            return false;
    }
    return !QFileInfo::exists(to) && target.commit();
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
    WholeFile note(subjectNoteOf(file));
    if (!note.open() || note.file().write(subject.toUtf8()) < 0 || !note.commit())
        return StoreResult::NotWritten;
    Inspection copy(file);
    Inspection::_Test kept = test;
    const StoreResult result = saveTest(copy, kept, Inspection::FileUse::MayCreate);
    if (result != StoreResult::Ok)
        drop({file, subject, QString(), false});
    return result;
}

QVector<RecordingRescue::Copy> RecordingRescue::copies(const QString &rootFolder)
{
    QVector<Copy> found;
    const QDir dir(folder(rootFolder));
    const QDir::Filters plainFiles = QDir::Files | QDir::NoSymLinks;
    for (const QFileInfo &entry : dir.entryInfoList({QStringLiteral("*") + kCopySuffix}, plainFiles, QDir::Name)) {
        Copy copy;
        copy.file = entry.absoluteFilePath();
        copy.damaged = !RecoveryNote::read(subjectNoteOf(copy.file), copy.note) || copy.note.trimmed().isEmpty();
        if (copy.damaged)
            copy.note.clear();
        copy.subject = RecoveryNote::subjectIn(rootFolder, copy.note);
        found.append(copy);
    }
    return found;
}

QStringList RecordingRescue::testsOf(const Copy &copy)
{
    Inspection source;
    QStringList names;
    if (RecoveryNote::isPlainFile(copy.file) && source.load(copy.file) == StoreResult::Ok) {
        for (int i = 0; i < source.tests.size(); ++i)
            names.append(testCaption(source, i));
    }
    return names;
}

StoreResult RecordingRescue::restore(const Copy &copy, Placement &placement)
{
    placement = Placement();
    // Only into the subject file found for it, as it is: never one made anew.
    if (copy.subject.isEmpty() || !RecoveryNote::isPlainFile(copy.subject))
        return StoreResult::NotOpen;
    Inspection source;
    StoreResult result = loadWithRecordings(source, copy.file);
    if (result != StoreResult::Ok)
        return result;
    Inspection subject;
    result = subject.load(copy.subject);
    if (result != StoreResult::Ok && result != StoreResult::Damaged)
        return result;
    QVector<Inspection::_Test> added;
    QVector<Inspection::_Test> placed;
    for (int i = 0; i < source.tests.size(); ++i) {
        Inspection::_Test test = source.tests[i];
        const QString name = testCaption(source, i);
        if (fitsItsTest(subject, test)) {
            placement.intoTheirTests.append(name);
        } else {
            makeTestOfItsOwn(test);
            placement.asTestsOfTheirOwn.append(name);
            added.append(test);
        }
        placed.append(test);
    }
    result = admits(copy.subject, added);
    for (int i = 0; i < placed.size() && result == StoreResult::Ok; ++i)
        result = saveTest(subject, placed[i], Inspection::FileUse::MustExist);
    if (result != StoreResult::Ok)
        return result;
    source.clear();
    if (!holdsAll(copy.subject, placed))
        return StoreResult::NotWritten;
    return drop(copy) ? StoreResult::Ok : StoreResult::NotWritten;
}

StoreResult RecordingRescue::placeInDataFolder(const QString &rootFolder, const Copy &copy, QString &file)
{
    Inspection source;
    const StoreResult result = loadWithRecordings(source, copy.file);
    if (result != StoreResult::Ok)
        return result;
    if (!QFileInfo(rootFolder).isDir())
        return StoreResult::NotOpen;
    // The subject's name as the note gives it; else as the copy's own name
    // does, without the time it was made.
    QString name = QFileInfo(copy.note.trimmed()).completeBaseName();
    static const QRegularExpression madeAt(QStringLiteral("-\\d{8}-\\d{6}(-\\d+)?$"));
    if (name.isEmpty())
        name = QFileInfo(copy.file).completeBaseName().remove(madeAt);
    QDateTime recorded = QFileInfo(copy.file).lastModified();
    if (!source.tests.isEmpty() && source.tests[0].DateTimeRecorded.isValid())
        recorded = source.tests[0].DateTimeRecorded;
    file = freeName(rootFolder, (name.isEmpty() ? QStringLiteral("Запись") : name) + QLatin1Char(' ')
                                    + recorded.toString(QStringLiteral("yyyy-MM-dd hh-mm")));
    source.clear();
    if (!copyWhole(copy.file, file))
        return StoreResult::NotWritten;
    return drop(copy) ? StoreResult::Ok : StoreResult::NotWritten;
}

void RecordingRescue::makeTestOfItsOwn(Inspection::_Test &test)
{
    test.id = QUuid::createUuid();
    test.foreignId.clear();
}

bool RecordingRescue::drop(const Copy &copy)
{
    return removeEntry(copy.file) && removeEntry(subjectNoteOf(copy.file));
}
