#include "RecordingEnd.h"

#include "SensorReader.h"
#include "data/GenericSettings.h"
#include "data/InspectionMedia.h"
#include "data/PendingRecordings.h"
#include "data/RecordingRescue.h"
#include "data/TemporaryVideo.h"
#include "data/TestOfItsOwn.h"
#include "editor/PendingRecordingPrompt.h"
#include "editor/SavingNotice.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

#include <algorithm>

namespace {
QString tr(const char *text) { return QCoreApplication::translate("RecordingEnd", text); }
QString native(const QString &path) { return QDir::toNativeSeparators(path); }
}  // namespace

RecordingEnd::RecordingEnd(Inspection *inspection, Inspection::_Test *test, const Run &run)
    : inspection(inspection)
    , test(test)
    , run(run)
{
}

QUuid RecordingEnd::finish(bool save)
{
    if (!run.newRecording)
        return QUuid();
    if (!save) {
        discard();
        return QUuid();
    }
    // A discarded recording needs no word on its video.
    if (!run.videoFailure.isEmpty())
        tell(tr("Видеозапись теста не сохранена:\n%1").arg(run.videoFailure));
    const int groups = completeGroups();
    if (groups > 0)
        return keep(groups);
    discard();
    tell(tr("Запись не сохранена: ни одна группа предъявлений вопросов не была завершена."));
    return QUuid();
}

namespace {
int markCount(const Inspection::_Test &test) { return test.labels.size() + test.labelsNULL.size(); }
int questionCount(const Inspection::_Test &test) { return std::max(1, test.themis.size() + test.themisNULL.size()); }
}  // namespace

int RecordingEnd::completeGroups() const
{
    const int marks = markCount(*test);
    const int questions = questionCount(*test);
    int groups = marks / questions;
    // The last group's reaction time has not run out yet.
    if (!run.presentationDone && marks % questions == 0)
        --groups;
    return groups;
}

int RecordingEnd::groupsKept(Inspection::_Test &test, int position)
{
    Run run;
    run.newRecording = true;
    run.presentationDone = test.isPresentationDone(position);
    return RecordingEnd(nullptr, &test, run).completeGroups();
}

QString RecordingEnd::lossWarning(Inspection::_Test &test, int position)
{
    const int groups = groupsKept(test, position);
    const int marks = markCount(test);
    QString text;
    if (marks > groups * questionCount(test)) {
        QString left;
        const InspectionLabel *inForce = test.labelBefore(position);
        if (inForce && marks % questionCount(test) == 0) {
            const int ticks = inForce->TickQEnd + test.ia.lengthTicks() - position;
            const int seconds = std::max(1, (ticks + SensorReader::TicksPerSecond - 1) / SensorReader::TicksPerSecond);
            left = tr(" (осталось %1 с)").arg(seconds);
        }
        text = tr("Последняя группа предъявлений ещё не завершена%1: она не будет сохранена.").arg(left);
    } else if (groups == 0) {
        text = tr("Ни одна группа предъявлений вопросов не была завершена.");
    }
    if (groups == 0)
        text += tr(" Вся запись будет потеряна.");
    return text;
}

QUuid RecordingEnd::keep(int groups)
{
    trimMarks(groups);
    test->labelsModified = true;
    test->DateTimeRecorded = QDateTime::currentDateTime();
    const QString subject = run.subject.isEmpty() ? inspection->path : run.subject;
    if (inspection->path != subject)
        return keepWithoutSubject(subject);
    placeInSubject();
    return saveIntoSubject();
}

void RecordingEnd::placeInSubject()
{
    const int index = inspection->indexOfTest(test->id);
    if (index < 0) {
        inspection->appendTest(*test);
        test = &inspection->tests.last();
        return;
    }
    Inspection::_Test *planned = inspection->test(index);
    if (planned != test)
        *planned = *test;
    test = planned;
}

QUuid RecordingEnd::saveIntoSubject()
{
    const QUuid planned = test->id;
    // The video is put in place before anything can wait on the examiner.
    const QString held = run.videoWritten && run.video ? moveVideo() : QString();
    saveToFile();
    // Saved into its subject after all, its folder back: the video follows.
    if (!held.isEmpty() && test->recorded && !inspection->pendingRecordings.contains(test->id)
        && QFileInfo::exists(held))
        placeVideo(held, InspectionMedia::testVideoPath(*inspection, *test));
    if (test->id != planned)
        tellTestOfItsOwn(planned);
    return test->id;
}

QUuid RecordingEnd::keepWithoutSubject(const QString &subject)
{
    // Read as it is now, so that the save checks what another program left.
    // A file that cannot be read is not made anew around one test: the save
    // that follows is refused and tells why.
    Inspection own;
    static_cast<void>(own.load(subject));
    Inspection *shown = inspection;
    inspection = &own;
    placeInSubject();
    const QUuid kept = saveIntoSubject();
    // Nothing holds this subject open to ask again later: the examiner is
    // asked until the recording is in its file or in a recovery copy.
    while (own.hasPendingRecording())
        PendingRecordingPrompt::resolve(QApplication::activeWindow(), own);
    inspection = shown;
    test = nullptr;
    return kept;
}

void RecordingEnd::discard()
{
    test->clearRecording();
    if (run.video)
        run.video->remove();
}

void RecordingEnd::trimMarks(int groups)
{
    test->labels.resize(std::min(test->labels.size(), groups * test->themis.size()));
    test->labelsNULL.resize(std::min(test->labelsNULL.size(), groups * test->themisNULL.size()));
}

void RecordingEnd::saveToFile()
{
    // The samples stay in memory until they reach a file; leaving the subject
    // or the program asks again.
    inspection->setRecordingPending(test->id, true);
    StoreResult result;
    {
        SavingNotice notice;
        result = PendingRecordings::save(*inspection);
    }
    if (result != StoreResult::Ok)
        PendingRecordingPrompt::resolve(QApplication::activeWindow(), *inspection, result);
}

QString RecordingEnd::moveVideo()
{
    TemporaryVideo &video = *run.video;
    if (!video.holdsBytes()) {
        tell(tr("Видеозапись теста не найдена: программа искала её в файле\n%1").arg(native(video.path())));
        video.remove();
        return QString();
    }
    // Nothing is made where the subject's folder was.
    if (!QFileInfo(QFileInfo(inspection->path).absolutePath()).isDir())
        return holdVideo(video);
    QString target = InspectionMedia::testVideoPath(*inspection, *test);
    if (QFileInfo(target).isFile()) {
        // Another program recorded this test meanwhile: its video stays with
        // its recording, and this one goes in beside it as a test of its own.
        if (inspection->holdsRecording(*test)) {
            TestOfItsOwn::takeNewId(*test);
            target = InspectionMedia::testVideoPath(*inspection, *test);
        } else {
            // A video left under the name of a test recorded anew belongs to
            // no recording in its file: it goes to the Trash, not away for good.
            InspectionMedia::moveToTrash(target);
        }
    }
    placeVideo(video, target);
    return QString();
}

QString RecordingEnd::holdVideo(TemporaryVideo &video)
{
    GenericSettings settings;
    settings.load();
    const QString held = RecordingRescue::videoHeldFor(settings.sRootFolder, inspection->path, *test);
    // Beside the data folder, never under a folder that is gone.
    const QString waitsIn = QFileInfo(held).path();
    QDir().mkdir(QFileInfo(waitsIn).path());
    QDir().mkdir(waitsIn);
    const QString lies = video.whereNow();
    const QString why = video.moveTo(held);
    const QString folder = native(QFileInfo(inspection->path).absolutePath());
    if (!why.isEmpty()) {
        tell(tr("Папка обследуемого не найдена:\n%1\nВидеозапись теста осталась в файле\n%2\n(%3)")
                 .arg(folder, lies.isEmpty() ? tr("(удалён другой программой)") : native(lies), why));
        return QString();
    }
    tell(tr("Папка обследуемого не найдена:\n%1\nВидеозапись теста сохранена в файле\n%2").arg(folder, native(held)));
    return held;
}

void RecordingEnd::placeVideo(const QString &from, const QString &target)
{
    QString why;
    if (!InspectionMedia::moveFile(from, target, &why))
        tellNotRenamed(from, target, why);
}

void RecordingEnd::placeVideo(TemporaryVideo &video, const QString &target)
{
    const QString lies = video.whereNow();
    const QString why = video.moveTo(target);
    if (!why.isEmpty())
        tellNotRenamed(lies.isEmpty() ? video.path() : lies, target, why);
}

void RecordingEnd::tellNotRenamed(const QString &from, const QString &target, const QString &why)
{
    tell(tr("Не удалось переименовать видеозапись теста\n%1\nв\n%2\n(%3)").arg(native(from), native(target), why));
}

void RecordingEnd::tellTestOfItsOwn(const QUuid &planned)
{
    QString text = tr("Тест «%1» изменён другой программой: запись сохранена отдельным тестом, "
                      "ничего в файле не заменено.")
                       .arg(test->name);
    Inspection::_Test before;
    before.id = planned;
    before.name = test->name;
    const QString left = InspectionMedia::testVideoName(*inspection, before);
    if (run.videoWritten && QFileInfo(left).isFile()
        && !QFileInfo::exists(InspectionMedia::testVideoName(*inspection, *test)))
        text += tr("\nВидеозапись теста не удалось перенести: она осталась в файле\n%1")
                    .arg(QDir::toNativeSeparators(left));
    tell(text);
}

void RecordingEnd::tell(const QString &text)
{
    QMessageBox::warning(QApplication::activeWindow(), tr("Воркел"), text);
}
