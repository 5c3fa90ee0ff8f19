#include "PendingRecordingPrompt.h"

#include "data/GenericSettings.h"
#include "data/Inspection.h"
#include "data/RecordingRescue.h"

#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString tr(const char *text) { return QCoreApplication::translate("PendingRecordingPrompt", text); }

QString reasonOf(StoreResult result)
{
    return result == StoreResult::Busy ? tr("файл занят другой программой")
                                       : tr("файла нет, он недоступен для записи или диск заполнен");
}

QMessageBox::StandardButton ask(QWidget *parent, const Inspection &inspection, StoreResult result)
{
    QMessageBox box(QMessageBox::Warning, tr("Воркел"),
                    tr("Не удалось сохранить запись теста в файл обследуемого:\n%1\n(%2)\n"
                       "Запись хранится только в памяти программы.")
                        .arg(QDir::toNativeSeparators(inspection.path), reasonOf(result)),
                    QMessageBox::Retry | QMessageBox::Save | QMessageBox::Cancel, parent);
    box.button(QMessageBox::Retry)->setText(tr("Повторить сохранение"));
    box.button(QMessageBox::Save)->setText(tr("Сохранить в файл…"));
    box.button(QMessageBox::Cancel)->setText(tr("Отложить"));
    box.setDefaultButton(QMessageBox::Retry);
    return QMessageBox::StandardButton(box.exec());
}

StoreResult rescue(QWidget *parent, Inspection &inspection, Inspection::_Test &test)
{
    GenericSettings settings;
    settings.load();
    QString file;
    const StoreResult result = RecordingRescue::save(settings.sRootFolder, inspection.path, test, file);
    if (result != StoreResult::Ok)
        return result;
    inspection.setRecordingPending(test.id, false);
    test.labelsModified = false;
    QMessageBox::information(parent, tr("Воркел"),
                             tr("Запись теста сохранена в файл:\n%1\nПри следующем запуске программа предложит "
                                "перенести её в файл обследуемого.")
                                 .arg(QDir::toNativeSeparators(file)));
    return result;
}

}  // namespace

void PendingRecordingPrompt::offerRecoveryCopies(QWidget *parent, const QString &rootFolder)
{
    for (const RecordingRescue::Copy &copy : RecordingRescue::copies(rootFolder)) {
        QMessageBox box(QMessageBox::Question, tr("Воркел"),
                        tr("Найдена запись теста, не сохранённая в файл обследуемого:\n%1\n"
                           "Перенести её в файл обследуемого\n%2?")
                            .arg(QDir::toNativeSeparators(copy.file), QDir::toNativeSeparators(copy.subject)),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Discard, parent);
        box.button(QMessageBox::Yes)->setText(tr("Перенести"));
        box.button(QMessageBox::No)->setText(tr("Спросить в следующий раз"));
        box.button(QMessageBox::Discard)->setText(tr("Удалить запись"));
        box.setDefaultButton(QMessageBox::Yes);
        const int answer = box.exec();
        if (answer == QMessageBox::Discard
            && QMessageBox::question(parent, tr("Воркел"), tr("Удалить запись теста без возврата?"),
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                   == QMessageBox::Yes)
            RecordingRescue::drop(copy);
        else if (answer == QMessageBox::Yes && RecordingRescue::restore(copy) != StoreResult::Ok)
            QMessageBox::warning(parent, tr("Воркел"),
                                 tr("Не удалось перенести запись в файл обследуемого:\n%1\nОна осталась в файле\n%2")
                                     .arg(QDir::toNativeSeparators(copy.subject), QDir::toNativeSeparators(copy.file)));
    }
}

bool PendingRecordingPrompt::resolve(QWidget *parent, Inspection &inspection)
{
    return !inspection.hasPendingRecording() || resolve(parent, inspection, inspection.savePendingRecordings());
}

bool PendingRecordingPrompt::resolve(QWidget *parent, Inspection &inspection, StoreResult failure)
{
    StoreResult result = failure;
    while (Inspection::_Test *test = inspection.pendingTest()) {
        switch (ask(parent, inspection, result)) {
        case QMessageBox::Retry:
            result = inspection.savePendingRecordings();
            break;
        case QMessageBox::Save:
            result = rescue(parent, inspection, *test);
            break;
        default:
            return false;
        }
    }
    return true;
}
