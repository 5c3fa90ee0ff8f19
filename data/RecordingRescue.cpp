#include "RecordingRescue.h"

#include "ChannelCode.h"
#include "InspectionMedia.h"
#include "InspectionStore.h"
#include "RecoveryNote.h"
#include "SubjectBounds.h"
#include "TestCaption.h"
#include "TestOfItsOwn.h"
#include "WholeFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace {

const QString kCopySuffix = QStringLiteral(".qmz");
constexpr qint64 kCopyChunkBytes = 1 << 20;

// A subject file of the subject's name in the folder, whose companion folder
// holds what waits there for the subject's recovery copies.
QString heldBeside(const QString &folder, const QString &subject)
{
    return folder + QLatin1Char('/') + QFileInfo(subject).fileName();
}
// The part of a file name taken from a subject's name: what follows it (the
// time, a number, the note's or a temporary file's suffix, a test's video
// name) must still fit within the 255 bytes of a file name.
constexpr int kNameBytes = 100;

// The name's first characters that fit in so many bytes of UTF-8.
QString clipped(QString name, int bytes)
{
    while (name.toUtf8().size() > bytes) {
        name.chop(1);
        if (!name.isEmpty() && name.at(name.size() - 1).isHighSurrogate())
            name.chop(1);
    }
    return name;
}

// The name as the program lets a subject be named: no separator nor control
// character, no leading dot (the tree hides such files) nor blank; empty when
// nothing is left.
QString subjectNameFrom(QString name)
{
    for (QChar &c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control
            || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char('_');
    }
    name = name.trimmed();
    while (name.startsWith(QLatin1Char('.')))
        name = name.mid(1).trimmed();
    return clipped(name, kNameBytes).trimmed();
}

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
    Inspection::_Test *own = subject.testWithId(rescued.id);
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

bool sameSamples(const Inspection::_Test &a, const Inspection::_Test &b)
{
    for (int code = 0; code < ChannelCode::Count; ++code) {
        if (*a.samples(code) != *b.samples(code))
            return false;
    }
    return a.TimeMM == b.TimeMM;
}

// The subject's test that holds the rescued recording already, as an earlier
// restore placed it (into its test or as one of its own) or a placement in the
// data folder: the same recording time and samples. Tests in taken are passed over.
const Inspection::_Test *placedBefore(Inspection &subject, const Inspection::_Test &rescued, const QSet<QUuid> &taken)
{
    for (Inspection::_Test &test : subject.tests) {
        if (!test.recorded || taken.contains(test.id) || test.DateTimeRecorded != rescued.DateTimeRecorded)
            continue;
        if (subject.loadSamples(&test) == StoreResult::Ok && sameSamples(test, rescued))
            return &test;
    }
    return nullptr;
}

// Each placed test is in the file with its own samples.
bool holdsAll(const QString &subject, const QVector<Inspection::_Test> &placed)
{
    Inspection check;
    const StoreResult loaded = check.load(subject);
    if (loaded != StoreResult::Ok && loaded != StoreResult::Damaged)
        return false;
    for (const Inspection::_Test &test : placed) {
        Inspection::_Test *stored = check.testWithId(test.id);
        if (!stored || !stored->recorded || check.loadRecording(stored) != StoreResult::Ok
            || !sameSamples(*stored, test))
            return false;
    }
    return true;
}

// Tests of the copy that share an id each take a recording of their own.
StoreResult loadSharedIds(Inspection &copy)
{
    QHash<QUuid, QVector<Inspection::_Test *>> byId;
    for (Inspection::_Test &test : copy.tests)
        byId[test.id].append(&test);
    for (const QVector<Inspection::_Test *> &sharing : qAsConst(byId)) {
        if (sharing.size() > 1) {
            const StoreResult result = copy.loadRecordingsInTurn(sharing);
            if (result != StoreResult::Ok)
                return result;
        }
    }
    return StoreResult::Ok;
}

StoreResult loadWithRecordings(Inspection &copy, const QString &file)
{
    if (!RecoveryNote::isPlainFile(file))
        return StoreResult::Refused;
    StoreResult result = copy.load(file);
    for (int i = 0; i < copy.tests.size() && result == StoreResult::Ok; ++i)
        result = copy.loadRecording(&copy.tests[i]);
    return result == StoreResult::Ok ? loadSharedIds(copy) : result;
}

bool removeEntry(const QString &path)
{
    const QFileInfo entry(path);
    return (!entry.exists() && !entry.isSymLink()) || QFile::remove(path);
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

// The names a placement under the stem gives in the data folder: those that
// files have already, then the first free one.
QStringList placementNames(const QString &folder, const QString &stem)
{
    QStringList names{folder + QLatin1Char('/') + stem + kCopySuffix};
    for (int n = 2; QFileInfo::exists(names.last()) || QFileInfo(names.last()).isSymLink(); ++n)
        names.append(folder + QLatin1Char('/') + stem + QStringLiteral(" (%1)").arg(n) + kCopySuffix);
    return names;
}

// Whether the subject file holds every recording of the copy: an earlier
// placement made it and was cut short before its note was written. Busy while
// another program holds the file: it cannot be told now.
StoreResult holdsRecordingsOf(const QString &file, const Inspection &copy)
{
    Inspection subject;
    if (copy.tests.isEmpty() || !RecoveryNote::isPlainFile(file))
        return StoreResult::NotOpen;
    const StoreResult loaded = subject.load(file);
    if (loaded != StoreResult::Ok)
        return loaded == StoreResult::Busy ? loaded : StoreResult(StoreResult::NotOpen);
    const bool holds = std::all_of(copy.tests.begin(), copy.tests.end(), [&subject](const Inspection::_Test &test) {
        return placedBefore(subject, test, {}) != nullptr;
    });
    return holds ? StoreResult::Ok : StoreResult::NotOpen;
}

// Where the copy is placed: the subject file an earlier placement made, else
// the first free name, the copy written there whole.
StoreResult placeWhole(const QString &copyFile, const Inspection &copy, const QStringList &names, QString &file)
{
    for (const QString &name : names.mid(0, names.size() - 1)) {
        const StoreResult holds = holdsRecordingsOf(name, copy);
        if (holds == StoreResult::Busy)
            return holds;
        if (holds == StoreResult::Ok) {
            file = name;
            return holds;
        }
    }
    file = names.last();
    return copyWhole(copyFile, file) ? StoreResult::Ok : StoreResult::NotWritten;
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

QString RecordingRescue::placedNoteOf(const QString &file)
{
    return file + QStringLiteral(".placed");
}

StoreResult RecordingRescue::save(const QString &rootFolder, const QString &subject, const Inspection::_Test &test,
                                  QString &file, QString &videoLeft)
{
    const QString into = folder(rootFolder);
    if (!QDir().mkpath(into))
        return StoreResult::NotOpen;
    const QString stem = into + QLatin1Char('/') + clipped(QFileInfo(subject).completeBaseName(), kNameBytes)
                         + QLatin1Char('-')
                         + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    file = stem + kCopySuffix;
    for (int n = 2; QFileInfo::exists(file) || QFileInfo::exists(subjectNoteOf(file))
                    || QFileInfo::exists(placedNoteOf(file));
         ++n)
        file = stem + QStringLiteral("-%1").arg(n) + kCopySuffix;
    // The note first: a copy is never found without the subject it belongs to.
    WholeFile note(subjectNoteOf(file));
    if (!note.open() || note.file().write(subject.toUtf8()) < 0 || !note.commit()) {
        removeCopy({file, subject, QString(), false});
        return StoreResult(StoreResult::NotWritten, note.failure());
    }
    // The copy takes its name last, whole with its video: another program
    // starting meanwhile finds nothing to offer.
    WholeFile copy(file);
    StoreResult result = copy.open() ? StoreResult(StoreResult::Ok) : StoreResult(StoreResult::NotWritten, copy.failure());
    if (result == StoreResult::Ok) {
        Inspection written(copy.file().fileName());
        Inspection::_Test kept = test;
        result = saveTest(written, kept, Inspection::FileUse::MayCreate);
    }
    if (result != StoreResult::Ok) {
        removeCopy({file, subject, QString(), false});
        return result;
    }
    const InspectionMedia::VideoMove video = carryVideo(subject, test, file, videoLeft);
    const bool carried = video == InspectionMedia::VideoMove::Moved;
    if (video != InspectionMedia::VideoMove::Stayed)
        videoLeft.clear();
    // Renamed but not synced into its folder, it stands whole all the same.
    if (copy.commit() || copy.isInPlace())
        return StoreResult::Ok;
    if (carried)
        InspectionMedia::moveTestVideo(Inspection(file), test, Inspection(subject), test);
    removeCopy({file, subject, QString(), false});
    return StoreResult(StoreResult::NotWritten, copy.failure());
}

InspectionMedia::VideoMove RecordingRescue::carryVideo(const QString &subject, const Inspection::_Test &test,
                                                       const QString &copyFile, QString &left)
{
    const Inspection held(heldBeside(QFileInfo(copyFile).absolutePath(), subject));
    const bool waits = QFileInfo::exists(InspectionMedia::testVideoName(held, test));
    const Inspection from = waits ? held : Inspection(subject);
    left = InspectionMedia::testVideoName(from, test);
    return InspectionMedia::moveTestVideo(from, test, Inspection(copyFile), test);
}

QString RecordingRescue::videoHeldFor(const QString &rootFolder, const QString &subject, const Inspection::_Test &test)
{
    return InspectionMedia::testVideoName(Inspection(heldBeside(folder(rootFolder), subject)), test);
}

QVector<RecordingRescue::Copy> RecordingRescue::copies(const QString &rootFolder)
{
    QVector<Copy> found;
    const QDir dir(folder(rootFolder));
    const QDir::Filters plainFiles = QDir::Files | QDir::NoSymLinks;
    for (const QFileInfo &entry : dir.entryInfoList({QStringLiteral("*") + kCopySuffix}, plainFiles, QDir::Name)) {
        // Placed already: only its removal is left.
        if (QFileInfo::exists(placedNoteOf(entry.absoluteFilePath())))
            continue;
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
    // One transaction from the first read to the check: a refused restore
    // leaves nothing of the copy in the subject file.
    InspectionStore::Batch batch(copy.subject);
    if (!batch.isOpen())
        return batch.openFailure();
    Inspection subject;
    result = subject.load(copy.subject);
    if (result != StoreResult::Ok && result != StoreResult::Damaged)
        return result;
    QVector<Inspection::_Test> added;
    QVector<Inspection::_Test> written;
    // Every recording of the copy as the subject is to hold it.
    QVector<Inspection::_Test> placed;
    // The subject's tests this restore has given a recording or found one in.
    QSet<QUuid> taken;
    for (int i = 0; i < source.tests.size(); ++i) {
        Inspection::_Test test = source.tests[i];
        const QString name = testCaption(source, i);
        if (const Inspection::_Test *there = placedBefore(subject, test, taken)) {
            test.id = there->id;
            test.foreignId = there->foreignId;
            placement.alreadyThere.append(name);
        } else if (!taken.contains(test.id) && fitsItsTest(subject, test)) {
            placement.intoTheirTests.append(name);
            written.append(test);
        } else {
            TestOfItsOwn::takeNewId(test);
            placement.asTestsOfTheirOwn.append(name);
            added.append(test);
            written.append(test);
        }
        taken.insert(test.id);
        placed.append(test);
    }
    result = admits(copy.subject, added);
    for (int i = 0; i < written.size() && result == StoreResult::Ok; ++i)
        result = saveTest(subject, written[i], Inspection::FileUse::MustExist);
    if (result != StoreResult::Ok)
        return result;
    if (!holdsAll(copy.subject, placed))
        return StoreResult::NotWritten;
    result = batch.commit();
    if (result != StoreResult::Ok)
        return result;
    const Inspection from(copy.file);
    for (int i = 0; i < placed.size(); ++i) {
        if (InspectionMedia::moveTestVideo(from, source.tests[i], subject, placed[i])
            == InspectionMedia::VideoMove::Stayed)
            placement.videosLeft.append(InspectionMedia::testVideoName(from, source.tests[i]));
    }
    placement.copyLeft = !removeCopy(copy);
    return StoreResult::Ok;
}

StoreResult RecordingRescue::placeInDataFolder(const QString &rootFolder, const Copy &copy, QString &file,
                                               QStringList &videosLeft, bool &copyLeft)
{
    copyLeft = false;
    // Placed meanwhile, by another program's choice perhaps: only the removal is left.
    if (RecoveryNote::read(placedNoteOf(copy.file), file)) {
        copyLeft = !removeCopy(copy);
        return StoreResult::Ok;
    }
    Inspection source;
    const StoreResult result = loadWithRecordings(source, copy.file);
    if (result != StoreResult::Ok)
        return result;
    if (!QFileInfo(rootFolder).isDir())
        return StoreResult::NotOpen;
    // The subject's name as the note gives it; else as the copy's own name
    // does, without the time it was made.
    QString name = subjectNameFrom(QFileInfo(copy.note.trimmed()).completeBaseName());
    static const QRegularExpression madeAt(QStringLiteral("-\\d{8}-\\d{6}(-\\d+)?$"));
    if (name.isEmpty())
        name = subjectNameFrom(QFileInfo(copy.file).completeBaseName().remove(madeAt));
    QDateTime recorded = QFileInfo(copy.file).lastModified();
    if (!source.tests.isEmpty() && source.tests[0].DateTimeRecorded.isValid())
        recorded = source.tests[0].DateTimeRecorded;
    const QStringList names = placementNames(rootFolder, (name.isEmpty() ? QStringLiteral("Запись") : name)
                                                             + QLatin1Char(' ')
                                                             + recorded.toString(QStringLiteral("yyyy-MM-dd hh-mm")));
    const StoreResult placedWhole = placeWhole(copy.file, source, names, file);
    if (placedWhole != StoreResult::Ok)
        return placedWhole;
    const Inspection from(copy.file);
    const Inspection placed(file);
    for (const Inspection::_Test &test : qAsConst(source.tests)) {
        if (InspectionMedia::moveTestVideo(from, test, placed, test) == InspectionMedia::VideoMove::Stayed)
            videosLeft.append(InspectionMedia::testVideoName(from, test));
    }
    // Known as placed whatever becomes of the placed file's name: a copy
    // left behind is only removed.
    WholeFile::write(placedNoteOf(copy.file), file.toUtf8());
    copyLeft = !removeCopy(copy);
    return StoreResult::Ok;
}

void RecordingRescue::removePlacedCopies(const QString &rootFolder)
{
    const QDir dir(folder(rootFolder));
    const QDir::Filters plainFiles = QDir::Files | QDir::NoSymLinks;
    for (const QFileInfo &entry : dir.entryInfoList({QStringLiteral("*") + kCopySuffix}, plainFiles)) {
        const QString file = entry.absoluteFilePath();
        if (QFileInfo::exists(placedNoteOf(file)))
            removeCopy({file, QString(), QString(), false});
    }
}

bool RecordingRescue::drop(const Copy &copy)
{
    bool removed = true;
    if (RecoveryNote::isPlainFile(copy.file)) {
        const QDir media(InspectionMedia::mediaFolder(Inspection(copy.file)));
        for (const QString &video : InspectionMedia::testVideoNames(copy.file))
            removed = removeEntry(media.filePath(video)) && removed;
        QDir().rmdir(media.path());
    }
    return removeCopy(copy) && removed;
}

bool RecordingRescue::removeCopy(const Copy &copy)
{
    // The placed note last: while the copy is there, it tells the copy placed.
    return removeEntry(copy.file) && removeEntry(subjectNoteOf(copy.file)) && removeEntry(placedNoteOf(copy.file));
}
