#include "polygram/ListTestDockWindow.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QListWidget>
#include <QSignalSpy>

class TestListTestDock : public QObject
{
    Q_OBJECT

    struct Dock {
        ListTestDockWindow window;
        QListWidget *list = window.findChild<QListWidget *>();
        QSignalSpy spy{&window, &ListTestDockWindow::notificationChangedTestSignal};

        Dock()
        {
            window.addTest(4, QStringLiteral("Тест 5"));
            window.addTest(7, QStringLiteral("Тест 8"));
            window.addTest(9, QStringLiteral("Тест 10"));
            window.resize(300, 300);
            window.show();
        }
        QPoint centreOf(int row) const { return list->visualItemRect(list->item(row)).center(); }
    };

private slots:
    void looksAsAReviewDock()
    {
        ListTestDockWindow window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Список предъявленных тестов"));
        QCOMPARE(window.styleSheet(), QStringLiteral("QDockWidget { font: bold }"));
        QCOMPARE(window.features(), QDockWidget::DockWidgetMovable);
        QCOMPARE(window.widget(), window.findChild<QListWidget *>());
    }

    void currentTestOfAnEmptyListIsNone()
    {
        ListTestDockWindow window;
        QCOMPARE(window.currentTest(), -1);
        window.addTest(3, QStringLiteral("Тест"));
        window.clear();
        QCOMPARE(window.currentTest(), -1);
    }

    void selectTestFindsTheRowByItsIndex()
    {
        Dock dock;
        dock.window.selectTest(7, 1200, 3);
        QCOMPARE(dock.window.currentTest(), 7);
        QCOMPARE(dock.list->currentRow(), 1);
        QVERIFY(dock.list->item(1)->isSelected());
        QCOMPARE(dock.spy.count(), 1);
        QCOMPARE(dock.spy.at(0), QVariantList({7, 1200, 3}));
    }

    void anAbsentIndexKeepsTheRowAndEmitsNothing()
    {
        Dock dock;
        dock.window.selectTest(9, -1, -1);
        dock.spy.clear();
        dock.window.selectTest(5, 10, 2);
        QCOMPARE(dock.spy.count(), 0);
        QCOMPARE(dock.window.currentTest(), 9);
        QCOMPARE(dock.list->currentRow(), 2);
    }

    void aClickAnnouncesTheRowsTest()
    {
        Dock dock;
        QVERIFY(QTest::qWaitForWindowExposed(&dock.window));
        QTest::mouseClick(dock.list->viewport(), Qt::LeftButton, {}, dock.centreOf(1));
        QCOMPARE(dock.spy.count(), 1);
        QCOMPARE(dock.spy.at(0), QVariantList({7, -1, -1}));
    }

    void keyboardMovesAnnounceNothing()
    {
        Dock dock;
        QVERIFY(QTest::qWaitForWindowExposed(&dock.window));
        dock.list->setFocus();
        dock.list->setCurrentRow(0);
        QTest::keyClick(dock.list, Qt::Key_Down);
        QTest::keyClick(dock.list, Qt::Key_End);
        QCOMPARE(dock.window.currentTest(), 9);
        QCOMPARE(dock.spy.count(), 0);
    }
};

VUG_TEST_MAIN(TestListTestDock, QApplication)
#include "tst_listtestdock.moc"
