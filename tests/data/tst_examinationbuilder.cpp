#include "tests/support/ExaminationBuilder.h"
#include "tests/support/TestHome.h"

#include <QGuiApplication>

// What the examination builder writes is what a subject file reader gets back.
class TestExaminationBuilder : public QObject
{
    Q_OBJECT
private slots:
    void everythingReadsBack();
};

void TestExaminationBuilder::everythingReadsBack()
{
    const int presentations = 3;
    Inspection::_Test recorded = ExaminationBuilder::everyKindTest("Запись", presentations, 3000, 2);
    ExaminationBuilder::score(recorded, presentations);
    const Inspection::_Test plan = ExaminationBuilder::everyKindTest("План", 2, 0);
    QImage photo(4, 3, QImage::Format_ARGB32);
    photo.fill(Qt::red);
    const QString path = ExaminationBuilder::writeSubject(QDir::homePath() + "/Иванов.qmz", {recorded, plan},
                                                          "Беседа", {photo});
    QVERIFY(!path.isEmpty());

    Inspection read;
    QCOMPARE(read.load(path), StoreResult::Ok);
    QCOMPARE(read.tests.size(), 2);
    Inspection::_Test *test = read.test(read.indexOfTest(recorded.id));
    QVERIFY(test && test->recorded);
    // P questions of the international set are null questions.
    QCOMPARE(test->themis.size(), 9);
    QCOMPARE(test->themisNULL.size(), 2);
    QCOMPARE(test->planFault(), QString());
    QCOMPARE(test->lastGroup(), presentations);
    QCOMPARE(read.loadRecording(test), StoreResult::Ok);
    QCOMPARE(test->labels.size() + test->labelsNULL.size(), 11 * presentations);
    QCOMPARE(test->presentationCount(), presentations);
    QCOMPARE(test->dataPG.size(), 3000);
    QCOMPARE(test->valuationBall_101.value(2).value(3).GSRPar, (2 + 3) % 7 - 3);
    QCOMPARE(test->valuationMetric[3][4][ExaminationBuilder::metricParameter()].nValue, 304);
    QCOMPARE(test->valuationBall_GroupsDisabled, QSet<qint32>{presentations});

    const Inspection::_Test *unrecorded = read.test(read.indexOfTest(plan.id));
    QVERIFY(unrecorded && !unrecorded->recorded);
    QCOMPARE(unrecorded->lastGroup(), 2);
    QCOMPARE(read.loadPreTestConversation(), StoreResult::Ok);
    QCOMPARE(read.preTestText, QString("Беседа"));
    QCOMPARE(read.loadPhotos().value(0).pixel(1, 1), photo.pixel(1, 1));
}

VUG_TEST_MAIN(TestExaminationBuilder, QGuiApplication)
#include "tst_examinationbuilder.moc"
