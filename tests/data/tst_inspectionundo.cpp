#include "StoreFixtures.h"
#include "tests/support/TestHome.h"

#include <QTemporaryDir>

using namespace StoreFixtures;

class TestInspectionUndo : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void undoAndRedoAcrossSaves();
    void aChangeAfterUndoDropsTheRedoStates();
    void historyFollowsTheTestWhenTestsMove();
    void noTestHasNothingToUndo();

private:
    // The test's name as stored in the subject file.
    QString storedName(const QUuid &id) const;
    QString m_path;
    QScopedPointer<QTemporaryDir> m_dir;
};

QString TestInspectionUndo::storedName(const QUuid &id) const
{
    Inspection fresh;
    fresh.load(m_path);
    const Inspection::_Test *test = fresh.test(fresh.indexOfTest(id));
    return test ? test->name : QStringLiteral("<missing>");
}

void TestInspectionUndo::init()
{
    m_dir.reset(new QTemporaryDir);
    m_path = m_dir->filePath("undo.qmz");
    Inspection writer(m_path);
    Inspection::_Test test = recordedTest("loaded", 0);
    writer.saveTestStruct(&test);
    Inspection::_Test other = recordedTest("other", 0);
    writer.saveTestStruct(&other);
}

void TestInspectionUndo::undoAndRedoAcrossSaves()
{
    Inspection inspection;
    inspection.load(m_path);
    Inspection::_Test *test = inspection.test(0);
    QVERIFY(!inspection.canUndo(test) && !inspection.canRedo(test));
    const QUuid id = test->id;
    const int questions = test->themis.size();

    test->name = "second";
    test->addTheme("added", QuestionKind::Control, 1, -1);
    QCOMPARE(inspection.saveTestStruct(test), StoreResult::Ok);
    test->name = "third";
    inspection.saveTestStruct(test);
    QCOMPARE(inspection.undoHistory.value(id).states.size(), 3);
    QCOMPARE(inspection.undoHistory.value(id).position, 2);
    QVERIFY(inspection.canUndo(test) && !inspection.canRedo(test));

    QCOMPARE(inspection.stepUndo(test, -1), StoreResult::Ok);
    QCOMPARE(test->name, QStringLiteral("second"));
    QCOMPARE(storedName(id), QStringLiteral("second"));
    inspection.stepUndo(test, -1);
    QCOMPARE(test->name, QStringLiteral("loaded"));
    QCOMPARE(test->themis.size(), questions);
    QCOMPARE(storedName(id), QStringLiteral("loaded"));
    QVERIFY(!inspection.canUndo(test) && inspection.canRedo(test));

    // A third undo stays at the first state and stores it again.
    inspection.stepUndo(test, -1);
    QCOMPARE(inspection.undoHistory.value(id).position, 0);
    QCOMPARE(test->name, QStringLiteral("loaded"));

    QCOMPARE(inspection.stepUndo(test, +5), StoreResult::Ok);
    QCOMPARE(inspection.undoHistory.value(id).position, 2);
    QCOMPARE(test->name, QStringLiteral("third"));
    QCOMPARE(test->themis.size(), questions + 1);
    QCOMPARE(storedName(id), QStringLiteral("third"));
    QCOMPARE(inspection.undoHistory.value(id).states.size(), 3);  // undo and redo push nothing
}

void TestInspectionUndo::aChangeAfterUndoDropsTheRedoStates()
{
    Inspection inspection;
    inspection.load(m_path);
    Inspection::_Test *test = inspection.test(0);
    test->name = "second";
    inspection.saveTestStruct(test);
    inspection.stepUndo(test, -1);
    test->name = "branch";
    inspection.saveTestStruct(test);
    QVERIFY(!inspection.canRedo(test));
    QCOMPARE(inspection.undoHistory.value(test->id).states.size(), 2);
    inspection.stepUndo(test, -1);
    QCOMPARE(test->name, QStringLiteral("loaded"));
    inspection.stepUndo(test, +1);
    QCOMPARE(test->name, QStringLiteral("branch"));

    // Loading the file again starts every history afresh.
    inspection.load(m_path);
    QCOMPARE(inspection.undoHistory.value(inspection.tests[0].id).states.size(), 1);
    QVERIFY(!inspection.canUndo(inspection.test(0)));
}

void TestInspectionUndo::historyFollowsTheTestWhenTestsMove()
{
    Inspection inspection;
    inspection.load(m_path);
    Inspection::_Test *first = inspection.test(0);
    const QUuid id = first->id;
    first->name = "moved";
    inspection.saveTestStruct(first);
    inspection.appendTest(recordedTest("appended", 0));
    std::swap(inspection.tests[0], inspection.tests[1]);
    Inspection::_Test *moved = inspection.test(inspection.indexOfTest(id));
    QVERIFY(inspection.canUndo(moved));
    QVERIFY(!inspection.canUndo(inspection.test(0)));
    inspection.stepUndo(moved, -1);
    QCOMPARE(moved->name, QStringLiteral("loaded"));
}

void TestInspectionUndo::noTestHasNothingToUndo()
{
    Inspection inspection;
    inspection.load(m_path);
    QVERIFY(!inspection.canUndo(nullptr) && !inspection.canRedo(nullptr));
    QCOMPARE(inspection.stepUndo(nullptr, -1), StoreResult::NotWritten);
    Inspection::_Test stranger("stranger");
    QVERIFY(!inspection.canUndo(&stranger) && !inspection.canRedo(&stranger));
    QCOMPARE(inspection.stepUndo(&stranger, -1), StoreResult::NotWritten);
    QCOMPARE(stranger.name, QStringLiteral("stranger"));
}

VUG_TEST_MAIN(TestInspectionUndo, QCoreApplication)
#include "tst_inspectionundo.moc"
