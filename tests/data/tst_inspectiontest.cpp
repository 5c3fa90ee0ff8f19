#include "data/Inspection.h"
#include "tests/support/TestHome.h"

class TestInspectionTest : public QObject
{
    Q_OBJECT
private slots:
    void freshTestHasCodesInOrder();
};

void TestInspectionTest::freshTestHasCodesInOrder()
{
    Inspection::_Test test;
    for (int code = 0; code < 13; ++code) {
        QCOMPARE(test.channel(code).Kod, code);
        QCOMPARE(test.channel(code).KodDrv, 0);
    }
}

VUG_TEST_MAIN(TestInspectionTest, QCoreApplication)
#include "tst_inspectiontest.moc"
