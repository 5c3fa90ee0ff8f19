#include "ReadRefusal.h"

#include "Inspection.h"
#include "SaveRefusal.h"
#include "TestCaption.h"

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

namespace {

bool readSettled(QWidget *parent, Inspection &inspection, InspectionTest &test,
                 const std::function<StoreResult()> &read)
{
    if (!inspection.isOpened())
        return true;
    const QString what
        = tr("запись теста «%1»").arg(testCaption(inspection, inspection.indexOfTest(test.id)));
    return ReadRefusal::settle(parent, inspection.path, what, read) == StoreResult::Ok;
}

}  // namespace

bool ReadRefusal::rereadTest(QWidget *parent, Inspection &inspection, InspectionTest &test)
{
    return readSettled(parent, inspection, test, [&inspection, &test] { return inspection.rereadTest(&test); });
}

bool ReadRefusal::readRecording(QWidget *parent, Inspection &inspection, InspectionTest &test)
{
    return test.samplesLoaded()
           || readSettled(parent, inspection, test, [&inspection, &test] { return inspection.loadRecording(&test); });
}
