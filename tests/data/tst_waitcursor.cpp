#include "data/WaitCursor.h"

#include <QApplication>
#include <QtTest>

#include <optional>

class TestWaitCursor : public QObject
{
    Q_OBJECT
private slots:
    void pauseGivesWayAndComesBack_data();
    void pauseGivesWayAndComesBack();
};

void TestWaitCursor::pauseGivesWayAndComesBack_data()
{
    QTest::addColumn<bool>("busy");
    QTest::newRow("inside work") << true;
    QTest::newRow("outside any work") << false;
}

void TestWaitCursor::pauseGivesWayAndComesBack()
{
    QFETCH(bool, busy);
    {
        std::optional<WaitCursor> wait;
        if (busy)
            wait.emplace();
        {
            WaitCursor::Pause pause;
            QVERIFY(!QApplication::overrideCursor());
        }
        QCOMPARE(QApplication::overrideCursor() != nullptr, busy);
        if (busy)
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    QVERIFY(!QApplication::overrideCursor());
}

QTEST_MAIN(TestWaitCursor)
#include "tst_waitcursor.moc"
