#include "PendingRecordingPrompt.h"

#include "data/GenericSettings.h"
#include "data/Inspection.h"
#include "data/PendingRecordings.h"
#include "data/RecordingRescue.h"
#include "data/SaveRefusal.h"
#include "editor/SavingNotice.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QVector>

#include <functional>

namespace {

QString tr(const char *text) { return QCoreApplication::translate("PendingRecordingPrompt", text); }

struct Answer {
    QMessageBox::StandardButton button;
    QString label;
};

// The first answer is the default one.
int askWith(QWidget *parent, QMessageBox::Icon icon, const QString &text, const QVector<Answer> &answers)
{
    QMessageBox box(icon, tr("Воркел"), text, QMessageBox::NoButton, parent);
    for (const Answer &answer : answers)
        box.addButton(answer.button)->setText(answer.label);
    box.setDefaultButton(answers.first().button);
    return box.exec();
}

int ask(QWidget *parent, const Inspection &inspection, StoreResult result)
{
    return askWith(parent, QMessageBox::Warning,
                   tr("Не удалось сохранить запись теста в файл обследуемого:\n%1\n(%2)\n"
                      "Запись хранится только в памяти программы.")
                       .arg(QDir::toNativeSeparators(inspection.path), SaveRefusal::reason(result, inspection.path)),
                   {{QMessageBox::Retry, tr("Повторить сохранение")},
                    {QMessageBox::Save, tr("Сохранить в файл…")},
                    {QMessageBox::Cancel, tr("Отложить")}});
}

// The recording lives in the copy now: the test is as its file holds it, unrecorded.
void forgetRecording(Inspection::_Test &test)
{
    test.clearRecording();
    test.recorded = false;
    test.labelsModified = false;
    test.DateTimeRecorded = QDateTime();
}

QString videoLeftLine(const QString &video)
{
    return tr("\nВидеозапись теста не удалось перенести: она осталась в файле\n%1").arg(QDir::toNativeSeparators(video));
}

// A copy that could not be written is told with its own cause: the subject
// file's refusal still stands, and its question comes again.
void rescue(QWidget *parent, Inspection &inspection, Inspection::_Test &test)
{
    GenericSettings settings;
    settings.load();
    QString file;
    QString videoLeft;
    const StoreResult result = RecordingRescue::save(settings.sRootFolder, inspection.path, test, file, videoLeft);
    if (result != StoreResult::Ok) {
        QMessageBox::warning(parent, tr("Воркел"),
                             tr("Не удалось сохранить запись теста в папку\n%1\n(%2)")
                                 .arg(QDir::toNativeSeparators(RecordingRescue::folder(settings.sRootFolder)),
                                      result.cause().isEmpty() ? tr("файл недоступен для записи или диск заполнен")
                                                               : result.cause()));
        return;
    }
    inspection.setRecordingPending(test.id, false);
    forgetRecording(test);
    QString text = tr("Запись теста сохранена в файл:\n%1\nПри следующем запуске программа предложит "
                      "перенести её в файл обследуемого.")
                       .arg(QDir::toNativeSeparators(file));
    if (!videoLeft.isEmpty())
        text += videoLeftLine(videoLeft);
    QMessageBox::information(parent, tr("Воркел"), text);
}

QString testsLine(const RecordingRescue::Copy &copy)
{
    const QStringList tests = RecordingRescue::testsOf(copy);
    if (tests.isEmpty())
        return tr("Тест: не читается");
    return (tests.size() == 1 ? tr("Тест: %1") : tr("Тесты: %1")).arg(tests.join(QStringLiteral(", ")));
}

// What the note names, shortened: a damaged one may hold a path's length of anything.
QString noteLine(const RecordingRescue::Copy &copy)
{
    const QString note = copy.note.trimmed();
    return QDir::toNativeSeparators(note.size() > 300 ? note.left(300) + QStringLiteral("…") : note);
}

bool confirmedDrop(QWidget *parent, const RecordingRescue::Copy &copy)
{
    return QMessageBox::question(parent, tr("Воркел"), tr("Удалить запись теста без возврата?"),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               == QMessageBox::Yes
           && RecordingRescue::drop(copy);
}

QString restoreFailure(StoreResult result, const RecordingRescue::Copy &copy)
{
    const QString reason = result == StoreResult::TooLarge
                               ? tr("в файле обследуемого стало бы больше тестов или вопросов, чем программа читает")
                               : SaveRefusal::reason(result, copy.subject);
    return tr("Не удалось перенести запись в файл обследуемого:\n%1\n(%2)\nОна осталась в файле\n%3")
        .arg(QDir::toNativeSeparators(copy.subject), reason, QDir::toNativeSeparators(copy.file));
}

QString videosLeftLines(const QStringList &videos)
{
    QString text;
    for (const QString &video : videos)
        text += videoLeftLine(video);
    return text;
}

// The copy stayed after its recordings were placed: the next try only removes it.
QString copyLeftLine(bool copyLeft, const RecordingRescue::Copy &copy)
{
    return copyLeft ? tr("\nФайл записи\n%1\nудалить не удалось; при следующем запуске он будет только удалён.")
                          .arg(QDir::toNativeSeparators(copy.file))
                    : QString();
}

QString restoreDone(const RecordingRescue::Placement &placement, const RecordingRescue::Copy &copy)
{
    const bool nothingNew = placement.intoTheirTests.isEmpty() && placement.asTestsOfTheirOwn.isEmpty();
    QString text = (nothingNew ? tr("Запись уже была в файле обследуемого:\n%1\nПовторно она не перенесена.")
                               : tr("Запись перенесена в файл обследуемого:\n%1"))
                       .arg(QDir::toNativeSeparators(copy.subject));
    if (!placement.intoTheirTests.isEmpty())
        text += tr("\nВ тест: %1").arg(placement.intoTheirTests.join(QStringLiteral(", ")));
    if (!placement.asTestsOfTheirOwn.isEmpty())
        text += tr("\nОтдельным тестом: %1\n(тест в файле тем временем записан заново, изменён или удалён; "
                   "ничего в файле не заменено)")
                    .arg(placement.asTestsOfTheirOwn.join(QStringLiteral(", ")));
    if (!nothingNew && !placement.alreadyThere.isEmpty())
        text += tr("\nУже был в файле: %1").arg(placement.alreadyThere.join(QStringLiteral(", ")));
    return text + videosLeftLines(placement.videosLeft) + copyLeftLine(placement.copyLeft, copy);
}

// Moves a copy's recording and tells where it went, or why it stayed where
// it was. Under a lock the examiner may try again at once; the copy stays
// until it is moved, so putting it off loses nothing.
void settleMove(QWidget *parent, const std::function<StoreResult()> &move, const std::function<QString()> &doneText,
                const std::function<QString(const StoreResult &)> &failedText)
{
    StoreResult result = move();
    while (result == StoreResult::Busy) {
        if (askWith(parent, QMessageBox::Warning, failedText(result) + tr("\nПовторить сейчас?"),
                    {{QMessageBox::Retry, tr("Повторить")}, {QMessageBox::Cancel, tr("Спросить в следующий раз")}})
            != QMessageBox::Retry)
            return;
        result = move();
    }
    if (result == StoreResult::Ok)
        QMessageBox::information(parent, tr("Воркел"), doneText());
    else
        QMessageBox::warning(parent, tr("Воркел"), failedText(result));
}

void offerRestoring(QWidget *parent, const RecordingRescue::Copy &copy)
{
    const int answer = askWith(
        parent, QMessageBox::Question,
        tr("Найдена запись теста, не сохранённая в файл обследуемого.\nОбследуемый: %1\n%2\n"
           "Перенести её в файл обследуемого\n%3?")
            .arg(QFileInfo(copy.subject).completeBaseName(), testsLine(copy), QDir::toNativeSeparators(copy.subject)),
        {{QMessageBox::Yes, tr("Перенести")},
         {QMessageBox::No, tr("Спросить в следующий раз")},
         {QMessageBox::Discard, tr("Удалить запись")}});
    if (answer == QMessageBox::Discard) {
        confirmedDrop(parent, copy);
    } else if (answer == QMessageBox::Yes) {
        RecordingRescue::Placement placement;
        settleMove(
            parent, [&] { return RecordingRescue::restore(copy, placement); },
            [&] { return restoreDone(placement, copy); },
            [&](const StoreResult &result) { return restoreFailure(result, copy); });
    }
}

// The subject file is not found: the recording is kept, dropped or made a
// subject of its own, never left with nowhere to go.
void offerPlacing(QWidget *parent, const QString &rootFolder, const RecordingRescue::Copy &copy)
{
    const QString where = copy.damaged ? tr("Сведения о файле обследуемого повреждены.")
                                       : tr("Файл обследуемого не найден в папке данных:\n%1").arg(noteLine(copy));
    const int answer = askWith(parent, QMessageBox::Warning,
                               tr("Найдена запись теста, не сохранённая в файл обследуемого:\n%1\n%2\n%3")
                                   .arg(QDir::toNativeSeparators(copy.file), testsLine(copy), where),
                               {{QMessageBox::No, tr("Оставить запись")},
                                {QMessageBox::Discard, tr("Удалить запись")},
                                {QMessageBox::Save, tr("Поместить в папку данных")}});
    if (answer == QMessageBox::Discard) {
        confirmedDrop(parent, copy);
    } else if (answer == QMessageBox::Save) {
        QString file;
        QStringList videosLeft;
        bool copyLeft = false;
        settleMove(
            parent, [&] { return RecordingRescue::placeInDataFolder(rootFolder, copy, file, videosLeft, copyLeft); },
            [&] {
                return tr("Запись помещена в папку данных как файл обследуемого:\n%1")
                           .arg(QDir::toNativeSeparators(file))
                       + videosLeftLines(videosLeft) + copyLeftLine(copyLeft, copy);
            },
            [&](const StoreResult &result) {
                return tr("Не удалось поместить запись в папку данных\n(%1)\nОна осталась в файле\n%2")
                    .arg(SaveRefusal::reason(result, copy.file), QDir::toNativeSeparators(copy.file));
            });
    }
}

}  // namespace

void PendingRecordingPrompt::offerRecoveryCopies(QWidget *parent, const QString &rootFolder)
{
    RecordingRescue::removePlacedCopies(rootFolder);
    for (const RecordingRescue::Copy &copy : RecordingRescue::copies(rootFolder)) {
        if (copy.subject.isEmpty())
            offerPlacing(parent, rootFolder, copy);
        else
            offerRestoring(parent, copy);
    }
}

bool PendingRecordingPrompt::resolve(QWidget *parent, Inspection &inspection)
{
    return !inspection.hasPendingRecording() || resolve(parent, inspection, PendingRecordings::save(inspection));
}

bool PendingRecordingPrompt::resolve(QWidget *parent, Inspection &inspection, StoreResult failure)
{
    StoreResult result = failure;
    while (Inspection::_Test *test = inspection.pendingTest()) {
        switch (ask(parent, inspection, result)) {
        case QMessageBox::Retry: {
            const SavingNotice notice;
            result = PendingRecordings::save(inspection);
            break;
        }
        case QMessageBox::Save:
            rescue(parent, inspection, *test);
            break;
        default:
            return false;
        }
    }
    return true;
}
