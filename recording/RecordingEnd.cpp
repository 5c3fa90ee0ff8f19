#include "RecordingEnd.h"

#include "data/InspectionMedia.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>

#include <algorithm>

namespace {
QString tr(const char *text) { return QCoreApplication::translate("RecordingEnd", text); }
}  // namespace

RecordingEnd::RecordingEnd(Inspection *inspection, Inspection::_Test *test, const Run &run)
    : inspection(inspection)
    , test(test)
    , run(run)
{
}

void RecordingEnd::finish(bool save)
{
    if (!run.newRecording)
        return;
    if (!save) {
        test->clearRecording();
        return;
    }
    // A discarded recording needs no word on its video.
    if (!run.videoFailure.isEmpty())
        tell(tr("Видеозапись теста не сохранена:\n%1").arg(run.videoFailure));
    const int groups = completeGroups();
    if (groups > 0) {
        keep(groups);
        return;
    }
    test->clearRecording();
    tell(tr("Запись не сохранена: ни одна группа предъявлений вопросов не была завершена."));
}

int RecordingEnd::completeGroups() const
{
    const int marks = test->labels.size() + test->labelsNULL.size();
    const int questions = std::max(1, test->themis.size() + test->themisNULL.size());
    int groups = marks / questions;
    // The last group's reaction time has not run out yet.
    if (!run.presentationDone && marks % questions == 0)
        --groups;
    return groups;
}

void RecordingEnd::keep(int groups)
{
    trimMarks(groups);
    test->labelsModified = true;
    test->DateTimeRecorded = QDateTime::currentDateTime();
    if (saveToFile() && run.videoWritten)
        moveVideo();
}

void RecordingEnd::trimMarks(int groups)
{
    test->labels.resize(std::min(test->labels.size(), groups * test->themis.size()));
    test->labelsNULL.resize(std::min(test->labelsNULL.size(), groups * test->themisNULL.size()));
}

bool RecordingEnd::saveToFile()
{
    StoreResult result = inspection->saveTestStruct(test, true);
    if (result == StoreResult::Ok)
        result = inspection->saveRecording(test);
    if (result == StoreResult::Ok)
        return true;
    // The samples stay in memory; the examiner learns that the file lacks them.
    tell(tr("Не удалось сохранить запись теста в файл обследуемого:\n%1").arg(inspection->path));
    return false;
}

void RecordingEnd::moveVideo()
{
    const QString temporary = InspectionMedia::tempVideoPath(*inspection);
    const QString target = InspectionMedia::testVideoPath(*inspection, *test);
    if (!QFile::exists(temporary))
        return;
    QFile::remove(target);
    if (!QFile::rename(temporary, target)) {
        tell(tr("Не удалось переименовать видеозапись теста\n%1\nв\n%2")
                 .arg(QDir::toNativeSeparators(temporary), QDir::toNativeSeparators(target)));
    }
}

void RecordingEnd::tell(const QString &text)
{
    QMessageBox::warning(QApplication::activeWindow(), tr("Воркел"), text);
}
