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
private slots:
    void unreadIsToldAndNeverShown_data();
    void unreadIsToldAndNeverShown();
};

void TestUnreadRecording::unreadIsToldAndNeverShown_data()
{
    QTest::addColumn<bool>("playback");
    QTest::newRow("review click under a lock") << false;
    QTest::newRow("playback under a lock") << true;
}

void TestUnreadRecording::unreadIsToldAndNeverShown()
{
    QFETCH(bool, playback);
    Inspection made;
    made.path = QDir::home().filePath(playback ? QStringLiteral("Петров.qmz") : QStringLiteral("Сидоров.qmz"));
    made.appendTest(StoreFixtures::recordedTest(QStringLiteral("Тест 1"), 3000, 7));
    StoreFixtures::saveTests(made);
    Inspection inspection;
    QCOMPARE(inspection.load(made.path), StoreResult::Ok);
    // How much of the test came up, of 2: shown and its actions offered, or played.
    const auto open = [&]() -> int {
        if (playback) {
            QMainWindow main;
            auto *screen = new InspectionRecordFancy(&main);
            main.setCentralWidget(screen);
            const bool started = screen->start(&inspection, &inspection.tests[0], false, 0);
            if (started)
                screen->stop();
            return 2 * started;
        }
        InspectionPoligrammeFancy screen;
        screen.resize(1000, 700);
        screen.show();
        screen.onChangedPersone(made.path, &inspection);
        screen.showTest(0, -1, -1);
        return (screen.shownTest() == 0)
               + (screen.playAction()->isEnabled() || screen.printAction()->isEnabled()
                  || screen.saveAction()->isEnabled());
    };
    {
        LockHolder lock(made.path, QStringLiteral("BEGIN EXCLUSIVE"));
        QVERIFY(lock.isHeld());
        MessageBoxAnswerer answerer({QMessageBox::Cancel});
        QCOMPARE(open(), 0);
        QCOMPARE(answerer.asked().size(), 1);
        QVERIFY(answerer.asked()[0].contains(QStringLiteral("файл занят другой программой"))
                && answerer.asked()[0].contains(QStringLiteral("Тест 1")));
        QVERIFY(inspection.tests[0].samples(0)->isEmpty());
    }
    MessageBoxAnswerer quiet;
    QCOMPARE(open(), 2);
    QCOMPARE(quiet.asked().size(), 0);
    QCOMPARE(inspection.tests[0].samples(0)->size(), 3000);
}

VUG_TEST_MAIN(TestUnreadRecording, QApplication)
#include "tst_unreadrecording.moc"
