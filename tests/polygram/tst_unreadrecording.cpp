#include "data/Inspection.h"
#include "polygram/InspectionPoligrammeFancy.h"
#include "recording/InspectionRecordFancy.h"
#include "tests/data/StoreFixtures.h"
#include "tests/support/LockHolder.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>

// A recording the subject file cannot give now (another program holds it) is
// told with its cause and the test's name, shown or played as nothing, and
// left unread so that the next try reads it.
class TestUnreadRecording : public QObject
{
    Q_OBJECT

    QString m_path;
    Inspection m_inspection;

    bool review(bool expectRefusal);
    bool play(bool expectRefusal);

private slots:
    void initTestCase();
    void unreadIsToldAndNeverShown_data();
    void unreadIsToldAndNeverShown();
};

void TestUnreadRecording::initTestCase()
{
    m_path = QDir::home().filePath(QStringLiteral("Петров.qmz"));
    Inspection inspection;
    inspection.path = m_path;
    inspection.appendTest(StoreFixtures::recordedTest(QStringLiteral("Тест 1"), 3000, 7));
    StoreFixtures::saveTests(inspection);
}

// Shows the test; true when what is shown agrees with whether it could be read.
bool TestUnreadRecording::review(bool expectRefusal)
{
    InspectionPoligrammeFancy screen;
    screen.resize(1000, 700);
    screen.show();
    screen.onChangedPersone(m_path, &m_inspection);
    screen.showTest(0, -1, -1);
    const bool shown = screen.shownTest() == 0;
    const bool actions = screen.playAction()->isEnabled() || screen.printAction()->isEnabled()
                         || screen.saveAction()->isEnabled();
    return shown == !expectRefusal && actions == !expectRefusal;
}

bool TestUnreadRecording::play(bool expectRefusal)
{
    QMainWindow main;
    auto *screen = new InspectionRecordFancy(&main);
    main.setCentralWidget(screen);
    const bool started = screen->start(&m_inspection, &m_inspection.tests[0], false, 0);
    if (started)
        screen->stop();
    return started == !expectRefusal;
}

void TestUnreadRecording::unreadIsToldAndNeverShown_data()
{
    QTest::addColumn<bool>("playback");
    QTest::newRow("review click under a lock") << false;
    QTest::newRow("playback under a lock") << true;
}

void TestUnreadRecording::unreadIsToldAndNeverShown()
{
    QFETCH(bool, playback);
    QVERIFY(m_inspection.load(m_path) == StoreResult::Ok);
    const auto attempt = [&](bool refused) { return playback ? play(refused) : review(refused); };
    {
        LockHolder lock(m_path, QStringLiteral("BEGIN EXCLUSIVE"));
        QVERIFY(lock.isHeld());
        MessageBoxAnswerer answerer({QMessageBox::Cancel});
        QVERIFY(attempt(true));
        QCOMPARE(answerer.asked().size(), 1);
        QVERIFY(answerer.asked()[0].contains(QStringLiteral("файл занят другой программой")));
        QVERIFY(answerer.asked()[0].contains(QStringLiteral("Тест 1")));
        QVERIFY(m_inspection.tests[0].samples(0)->isEmpty());
    }
    MessageBoxAnswerer quiet;
    QVERIFY(attempt(false));
    QCOMPARE(quiet.asked().size(), 0);
    QCOMPARE(m_inspection.tests[0].samples(0)->size(), 3000);
}

VUG_TEST_MAIN(TestUnreadRecording, QApplication)
#include "tst_unreadrecording.moc"
