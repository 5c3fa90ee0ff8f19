#include "ExaminationSummary.h"

#include "Inspection.h"

#include <QCoreApplication>
#include <QFileInfo>

QString examinationSummary(const Inspection *inspection)
{
    if (!inspection)
        return QCoreApplication::translate("ExaminationSummary", "Обследуемый не выбран");
    int recorded = 0;
    for (const Inspection::_Test &test : inspection->tests)
        recorded += test.recorded ? 1 : 0;
    return QCoreApplication::translate("ExaminationSummary", "%1: тестов %2, записано %3")
        .arg(QFileInfo(inspection->path).completeBaseName())
        .arg(inspection->tests.size())
        .arg(recorded);
}
