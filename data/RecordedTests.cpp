#include "RecordedTests.h"

void forEachRecordedTest(Inspection &inspection, const std::function<bool(Inspection::_Test &)> &work)
{
    QVector<QUuid> recorded;
    for (const Inspection::_Test &test : qAsConst(inspection.tests)) {
        if (test.recorded)
            recorded << test.id;
    }
    for (const QUuid &id : qAsConst(recorded)) {
        Inspection::_Test *test = inspection.testWithId(id);
        if (test && !work(*test))
            return;
    }
}
