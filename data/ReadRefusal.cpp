#include "ReadRefusal.h"

#include "SaveRefusal.h"

#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>

namespace {

QString tr(const char *text) { return QCoreApplication::translate("ReadRefusal", text); }

}  // namespace

QString ReadRefusal::text(const StoreResult &result, const QString &path, const QString &what)
{
    const QString head = tr("Не удалось прочитать файл обследуемого:\n%1\n(%2)\nНе прочитано: %3.")
                             .arg(QDir::toNativeSeparators(path), SaveRefusal::reason(result, path), what);
    return result == StoreResult::Busy ? head + tr("\nЗакройте ту программу и повторите.") : head;
}

bool ReadRefusal::tell(QWidget *parent, const StoreResult &result, const QString &path, const QString &what)
{
    if (result != StoreResult::Busy) {
        QMessageBox::warning(parent, QObject::tr("Воркел"), text(result, path, what));
        return false;
    }
    return QMessageBox::warning(parent, QObject::tr("Воркел"), text(result, path, what),
                                QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry)
           == QMessageBox::Retry;
}

StoreResult ReadRefusal::settle(QWidget *parent, const QString &path, const QString &what,
                                const std::function<StoreResult()> &read)
{
    for (;;) {
        const StoreResult result = read();
        if (result == StoreResult::Ok || !tell(parent, result, path, what))
            return result;
    }
}
