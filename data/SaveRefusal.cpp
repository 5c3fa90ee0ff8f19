#include "SaveRefusal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString tr(const char *text) { return QCoreApplication::translate("SaveRefusal", text); }

bool isGone(const StoreResult &result, const QString &path)
{
    return result != StoreResult::Busy && result != StoreResult::Changed && !QFileInfo::exists(path);
}

int ask(QWidget *parent, const QString &text, QMessageBox::StandardButton first, const QString &firstLabel,
        QMessageBox::StandardButton second, const QString &secondLabel)
{
    QMessageBox box(QMessageBox::Warning, QObject::tr("Воркел"), text, QMessageBox::NoButton, parent);
    box.addButton(first)->setText(firstLabel);
    box.addButton(second)->setText(secondLabel);
    box.setDefaultButton(first);
    return box.exec();
}

QString notSaved(const QString &edit)
{
    return edit.isEmpty() ? QString() : tr("\nНе сохранено: %1.").arg(edit);
}

}  // namespace

QString SaveRefusal::reason(const StoreResult &result, const QString &path)
{
    if (result == StoreResult::Busy)
        return tr("файл занят другой программой");
    if (result == StoreResult::Changed)
        return result.cause();
    if (isGone(result, path))
        return tr("файл не найден: он переименован, перемещён или удалён");
    if (!QFileInfo(path).isFile())
        return tr("это не обычный файл");
    if (!result.cause().isEmpty())
        return result.cause();
    return tr("файл недоступен для записи или диск заполнен");
}

QString SaveRefusal::failure(const StoreResult &result, const QString &path, const QString &edit)
{
    return tr("Не удалось сохранить изменение в файл обследуемого:\n%1\n(%2)")
               .arg(QDir::toNativeSeparators(path), reason(result, path))
           + notSaved(edit);
}

void SaveRefusal::tellLost(QWidget *parent, const StoreResult &result, const QString &path)
{
    QMessageBox::warning(parent, QObject::tr("Воркел"), failure(result, path) + tr("\nИзменение не сохранено."));
}

QString SaveRefusal::text(const StoreResult &result, const QString &path, bool canClose, const QString &edit)
{
    const QString file = QDir::toNativeSeparators(path);
    if (result == StoreResult::Changed)
        return tr("%1: изменение не сохранено, показано то, что записано в файле.").arg(result.cause())
               + notSaved(edit);
    if (isGone(result, path))
        return tr("Файл обследуемого %1 не найден: он переименован, перемещён или удалён.\n"
                  "Изменение не сохранено и хранится только в памяти программы.%2%3")
            .arg(file, notSaved(edit), canClose ? tr("\nЗакрыть обследуемого?") : QString());
    const QString head = failure(result, path, edit);
    if (result == StoreResult::Busy)
        return head + tr("\nПовторить сохранение или отменить изменение?");
    return head + tr("\nИзменение отменено, показано то, что записано в файле.");
}

SaveRefusal::Outcome SaveRefusal::settle(QWidget *parent, const QString &path, StoreResult result,
                                         const std::function<StoreResult()> &save, bool canClose,
                                         const QString &edit)
{
    while (result == StoreResult::Busy) {
        if (ask(parent, text(result, path, canClose, edit), QMessageBox::Retry, tr("Повторить сохранение"),
                QMessageBox::Discard, tr("Отменить изменение"))
            != QMessageBox::Retry)
            return Outcome::Dropped;
        result = save();
    }
    if (result == StoreResult::Ok)
        return Outcome::Saved;
    if (isGone(result, path)) {
        if (!canClose) {
            QMessageBox::warning(parent, QObject::tr("Воркел"), text(result, path, false, edit));
            return Outcome::Kept;
        }
        return ask(parent, text(result, path, true, edit), QMessageBox::Close, tr("Закрыть обследуемого"),
                   QMessageBox::Cancel, tr("Оставить открытым"))
                       == QMessageBox::Close
                   ? Outcome::CloseSubject
                   : Outcome::Kept;
    }
    QMessageBox::warning(parent, QObject::tr("Воркел"), text(result, path, canClose, edit));
    return Outcome::Dropped;
}
