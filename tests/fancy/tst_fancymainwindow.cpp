#include "fancy/FancyMainWindow.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QDockWidget>
#include <QMenu>
#include <QSignalSpy>

using Fancy::FancyMainWindow;

class TestFancyMainWindow : public QObject
{
    Q_OBJECT

private:
    static QDockWidget *addDock(FancyMainWindow &window, const QString &title)
    {
        auto *dock = new QDockWidget(title, &window);
        dock->setWidget(new QWidget);
        window.addDockWidget(Qt::LeftDockWidgetArea, dock);
        return dock;
    }

    static QStringList menuTexts(FancyMainWindow &window)
    {
        QMenu menu;
        window.fillDockMenu(&menu);
        QStringList texts;
        for (QAction *action : menu.actions())
            texts << (action->isSeparator() ? QStringLiteral("|") : action->text());
        return texts;
    }

private slots:
    void windowWithoutDocksOffersOnlyLayoutActions()
    {
        FancyMainWindow window;
        QCOMPARE(menuTexts(window), QStringList({"|", "Automatically Hide View Title Bars", "|",
                                                 "Reset to Default Layout"}));
        QVERIFY(window.autoHideTitleBarsAction()->isCheckable());
        QVERIFY(window.autoHideTitleBars());
        window.show();
        window.hide();
        QVERIFY(window.childDocks().isEmpty());
    }

    void dockMenuSortsIgnoringCaseAndSkipsForeignDocks()
    {
        FancyMainWindow window;
        addDock(window, QStringLiteral("beta"));
        addDock(window, QStringLiteral("Alpha"));
        addDock(window, QStringLiteral("gamma"));
        addDock(window, QStringLiteral("managed"))->setProperty("managed_dockwidget", true);
        auto *inner = new QMainWindow(&window);
        window.setCentralWidget(inner);
        auto *nested = new QDockWidget(QStringLiteral("nested"), inner);
        inner->addDockWidget(Qt::RightDockWidgetArea, nested);

        QCOMPARE(window.childDocks().size(), 5);
        QCOMPARE(menuTexts(window),
                 QStringList({"Alpha", "beta", "gamma", "|", "Automatically Hide View Title Bars",
                              "|", "Reset to Default Layout"}));
    }

    void resetActionEmitsOncePerTrigger()
    {
        FancyMainWindow window;
        QSignalSpy spy(&window, &FancyMainWindow::resetLayout);
        window.resetLayoutAction()->trigger();
        QCOMPARE(spy.count(), 1);
        window.resetLayoutAction()->trigger();
        QCOMPARE(spy.count(), 2);
    }

    void floatingDockStaysHiddenAfterWindowComesBack()
    {
        FancyMainWindow window;
        QDockWidget *docked = addDock(window, QStringLiteral("docked"));
        QDockWidget *floating = addDock(window, QStringLiteral("floating"));
        window.show();
        floating->setFloating(true);
        floating->show();
        QVERIFY(floating->isVisible());

        window.hide();
        QVERIFY(floating->isHidden());
        QVERIFY(!docked->isHidden());
        window.show();
        QVERIFY(floating->isHidden());
        QVERIFY(docked->isVisible());
    }

    void floatingDockComesBackWhenRememberedVisible()
    {
        FancyMainWindow window;
        QDockWidget *floating = addDock(window, QStringLiteral("floating"));
        auto *inner = new QMainWindow(&window);
        window.setCentralWidget(inner);
        auto *nested = new QDockWidget(QStringLiteral("nested"), inner);
        inner->addDockWidget(Qt::RightDockWidgetArea, nested);
        window.show();
        for (QDockWidget *dock : {floating, nested}) {
            dock->setFloating(true);
            dock->show();
        }
        floating->setProperty("DockWidgetActiveState", true);

        window.hide();
        QVERIFY(floating->isHidden());
        QVERIFY(nested->isHidden());
        window.show();
        QVERIFY(floating->isVisible());
        QVERIFY(nested->isHidden());
    }

    void dockActionsVisibilitySwitchesTogether()
    {
        FancyMainWindow window;
        QDockWidget *dock = addDock(window, QStringLiteral("dock"));
        window.setDockActionsVisible(false);
        for (QAction *action : {dock->toggleViewAction(), window.autoHideTitleBarsAction(),
                                window.menuSeparator1(), window.menuSeparator2(),
                                window.resetLayoutAction()})
            QVERIFY(!action->isVisible());
        window.setDockActionsVisible(true);
        QVERIFY(dock->toggleViewAction()->isVisible());
        QVERIFY(window.resetLayoutAction()->isVisible());
    }
};

VUG_TEST_MAIN(TestFancyMainWindow, QApplication)
#include "tst_fancymainwindow.moc"
