#include "PointsWindowFixtures.h"
#include "scoring/points/FragmentPanel.h"
#include "scoring/points/InspectionAnalysisBallFancy.h"
#include "scoring/points/_QDockWidget.h"
#include "scoring/points/_QListView.h"
#include "scoring/points/_QTreeViewExpand.h"
#include "data/ActivePopupMenu.h"
#include "data/SettingsStore.h"
#include "tests/support/MenuActions.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>

// The two fragment panels of the points window: their lists filled from the
// tree, the filters per panel, the close square, the wheel, the menus, show
// and play, and the floating mode of their docks.

using namespace BallFixtures;
using namespace PointsTreeFixtures;
using namespace PointsWindowFixtures;

namespace {

QList<int> questsOf(const QListView *list)
{
    QList<int> quests;
    QAbstractItemModel *model = list->model();
    for (int row = 0; model && row < model->rowCount(); ++row) {
        QuestKey key;
        key.fromJson(model->index(row, 0).data(QuestKey::Role).toJsonObject());
        quests << key.iQuest;
    }
    return quests;
}


QImage pictureOf(const QListView *list, int row)
{
    return list->model()->index(row, 0).data(Qt::DecorationRole).value<QPixmap>().toImage();
}

}  // namespace

class TestPointsPanels : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QFile::remove(SettingsStore::filePath());
    }

    void autoScaleFitsTheListAndPresetsSetTheHeight()
    {
        Subject subject;
        Window w(subject.examination);
        _QListView *list = w.list(0);
        QVERIFY(list->horizontalScrollBar()->isVisible());
        const int frame = list->height() - list->contentsRect().height();
        w.panel(0)->dock()->setFixedHeight(w.panel(0)->dock()->height() - list->height() + 260 + frame);
        QTRY_COMPARE(list->contentsRect().height(), 260);
        w.window.updateImageList(0);
        QCOMPARE(pictureOf(list, 0).height(), 235);
        w.panel(0)->selectScale(100);
        QCOMPARE(w.window.panelOptions(0).iScale, 100);
        QCOMPARE(pictureOf(list, 0).height(), 500);
        QCOMPARE(w.panel(0)->scaleCombo()->currentText(), QStringLiteral("  100%  "));
        // Images at their own size: the list's icons are as large as the largest.
        QCOMPARE(list->iconSize().height(), 500);
        w.panel(0)->selectUnfold(2000);
        QCOMPARE(w.window.panelOptions(0).iUnfold, 2000);
        QCOMPARE(w.panel(0)->unfoldCombo()->currentText(), QStringLiteral("  2 сек.  "));
    }

    // The list may be resized while its fill replaces the model (a scroll bar
    // comes or goes): a second fill then would free the model the first one
    // is still setting up.
    void aResizeDuringTheFillDoesNotRefillTheList()
    {
        Subject subject;
        Window w(subject.examination);
        _QListView *list = w.list(0);
        QVERIFY(list->model());
        int resizes = 0;
        connect(list->model(), &QObject::destroyed, list, [list, &resizes] {
            ++resizes;
            emit list->notifyResize(true);
        });
        w.window.updateImageList(0);
        QCOMPARE(resizes, 1);
        QCOMPARE(questsOf(list), QList<int>({0, 1, 2, 3}));
    }

    void combosHoldTheirEntriesAndTheStoredValue()
    {
        {
            auto settings = SettingsStore::open();
            settings->beginGroup(QStringLiteral("InspectionAnalysisBallFancy_v3"));
            settings->setValue(QStringLiteral("iUnfold2"), 3500);
            settings->setValue(QStringLiteral("iScale2"), 65);
        }
        InspectionAnalysisBallFancy window;
        QComboBox *unfold = window.fragmentPanel(1)->unfoldCombo();
        QComboBox *scale = window.fragmentPanel(1)->scaleCombo();
        QCOMPARE(unfold->count(), 13);
        QCOMPARE(scale->count(), 10);
        QCOMPARE(unfold->itemText(3), QStringLiteral("        1.75 сек.  "));
        QCOMPARE(scale->itemText(4), QStringLiteral("    85% "));
        QCOMPARE(unfold->currentData().toInt(), 3500);
        QCOMPARE(scale->currentData().toInt(), 65);
        QCOMPARE(window.fragmentPanel(0)->unfoldCombo()->currentData().toInt(), 1000);
        QCOMPARE(window.fragmentPanel(0)->scaleCombo()->currentData().toInt(), -1);
        QCOMPARE(unfold->width(), 150);
        QCOMPARE(window.fragmentPanel(1)->dock()->features(), QDockWidget::DockWidgetMovable);
        QCOMPARE(window.fragmentPanel(1)->dock()->windowTitle(), QStringLiteral("Полиграммы: вид2"));
    }

    void kindFiltersActPerPanel()
    {
        Subject subject;
        Window w(subject.examination);
        QCOMPARE(questsOf(w.list(0)), QList<int>({0, 1, 2, 3}));
        QCOMPARE(w.list(0)->currentIndex().row(), 2);
        QCheckBox *neutral = w.panel(0)->kindBox(QuestionKind::Neutral);
        QVERIFY(neutral->isVisible());
        QTest::mouseClick(neutral, Qt::LeftButton, {}, QPoint(8, neutral->height() / 2));
        QVERIFY(!w.window.panelOptions(0).bShowQuestN);
        QCOMPARE(questsOf(w.list(0)), QList<int>({1, 2}));
        QCOMPARE(questsOf(w.list(1)), QList<int>({0, 1, 2, 3}));
        w.panel(1)->onShowQuestC();
        QVERIFY(!w.panel(1)->kindBox(QuestionKind::Control)->isChecked());
        QCOMPARE(questsOf(w.list(1)), QList<int>({0, 2, 3}));
        // The kind filter is shown in expert mode only.
        w.window.onModeInput_0();
        QTRY_VERIFY(!neutral->isVisible());
    }

    void closeSquareTakesTheQuestionOutOfBothPanels()
    {
        Subject subject;
        Window w(subject.examination);
        _QListView *list = w.list(0);
        const QRect image = list->imageRect(list->model()->index(1, 0));
        QCOMPARE(image.size(), pictureOf(list, 1).size());
        QSignalSpy closes(list, &_QListView::notifyCloseQuest);
        // Just outside the square: an ordinary press that selects.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(image.right() - 20, image.top() + 3));
        QCOMPARE(closes.count(), 0);
        QCOMPARE(list->currentIndex().row(), 1);
        QVERIFY(_QListView::hitsCloseSquare(image, image.topRight()));
        QVERIFY(_QListView::hitsCloseSquare(image, image.topRight() + QPoint(-19, 19)));
        QVERIFY(!_QListView::hitsCloseSquare(image, image.topRight() + QPoint(0, 20)));
        const QRect other = list->imageRect(list->model()->index(3, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, other.topRight() + QPoint(-19, 19));
        QCOMPARE(closes.count(), 1);
        QCOMPARE(closes.first().at(3).toInt(), 3);
        QCOMPARE(questsOf(w.list(0)), QList<int>({0, 1, 2}));
        QCOMPARE(questsOf(w.list(1)), QList<int>({0, 1, 2}));
        const Inspection::_Test stored = subject.stored();
        QVERIFY(!stored.valuationBall_012.value(1).value(3).bEnable);
        QVERIFY(stored.valuationBall_012.value(2).value(3).bEnable);
    }

    void wheelScrollsTheRowSideways()
    {
        Subject subject;
        Window w(subject.examination);
        w.panel(0)->selectScale(100);
        _QListView *list = w.list(0);
        list->parentWidget()->parentWidget()->setFixedWidth(300);
        QTRY_VERIFY(list->horizontalScrollBar()->maximum() > 0);
        list->horizontalScrollBar()->setValue(0);
        const QPoint centre = list->viewport()->rect().center();
        QWheelEvent wheel(centre, list->viewport()->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list->viewport(), &wheel);
        QVERIFY(list->horizontalScrollBar()->value() > 0);
        QVERIFY(list->horizontalScrollBar()->value() < list->horizontalScrollBar()->maximum() || list->horizontalScrollBar()->maximum() < 60);
    }

    void menuShowsThePanelsOptions()
    {
        Subject subject;
        Window w(subject.examination);
        w.panel(1)->selectUnfold(2500);
        QScopedPointer<QMenu> menu(w.window.buildImageListMenu(1));
        QCOMPARE(menu->defaultAction()->text(), QStringLiteral("Показать на полиграмме"));
        QVERIFY(actionInMenus(menu.data(), "Развертка 2.5 сек.")->isChecked());
        QVERIFY(!actionInMenus(menu.data(), "Развертка 1 сек.")->isChecked());
        QVERIFY(actionInMenus(menu.data(), "Масштаб auto")->isChecked());
        QVERIFY(actionInMenus(menu.data(), "Показывать только инервал анализа")->isChecked());
        QVERIFY(!actionInMenus(menu.data(), "Режим поплавка")->isChecked());
        QVERIFY(actionInMenus(menu.data(), "Показывать только НЕЙТРАЛЬНЫЕ вопросы"));
        actionInMenus(menu.data(), "Масштаб 60%")->trigger();
        QCOMPARE(w.window.panelOptions(1).iScale, 60);
        QCOMPARE(pictureOf(w.list(1), 0).height(), 300);
        QCOMPARE(w.window.panelOptions(0).iScale, -1);
        actionInMenus(menu.data(), "Показывать в порядке предъявления")->trigger();
        QVERIFY(!w.window.panelOptions(1).bShowAsLabel);
        actionInMenus(menu.data(), "Показывать только НЕЙТРАЛЬНЫЕ вопросы")->trigger();
        QVERIFY(!w.panel(1)->kindBox(QuestionKind::Neutral)->isChecked());
        QCOMPARE(questsOf(w.list(1)), QList<int>({1, 2}));
        actionInMenus(menu.data(), "Режим поплавка")->trigger();
        QVERIFY(w.panel(1)->dock()->floatingMode());

        w.window.onModeInput_0();
        menu.reset(w.window.buildImageListMenu(0));
        QVERIFY(!actionInMenus(menu.data(), "Показывать только НЕЙТРАЛЬНЫЕ вопросы"));
        QVERIFY(actionInMenus(menu.data(), "Режим поплавка"));
    }

    void showAndPlayAskForThePlaceOfTheImage()
    {
        Subject subject;
        Window w(subject.examination);
        const InspectionLabel *mark = subject.examination.tests[0].findLabel(1, 2);
        QSignalSpy shows(&w.window, &InspectionAnalysisBallFancy::notifyShowPoligrammeFromBall);
        QSignalSpy plays(&w.window, &InspectionAnalysisBallFancy::notifyPlayPoligrammeFromBall);
        w.window.onShowQuestToPoligramme();
        QCOMPARE(shows.takeFirst(), QVariantList({0, mark->TickQStart, -1}));
        w.window.onPlayQuest();
        QCOMPARE(plays.takeFirst(), QVariantList({0, mark->TickQStart - 20}));
        w.window.onPlayQuest2();
        QCOMPARE(plays.takeFirst(), QVariantList({0, mark->TickQStart}));
        // A double click on another image shows its place.
        _QListView *list = w.list(1);
        list->scrollTo(list->model()->index(1, 0));
        const QRect image = list->imageRect(list->model()->index(1, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, image.center());
        emit list->doubleClicked(list->currentIndex());
        QCOMPARE(shows.count(), 1);
        QCOMPARE(shows.takeFirst(), QVariantList({0, subject.examination.tests[0].findLabel(1, 1)->TickQStart, -1}));
        // No current image: nothing.
        list->setCurrentIndex(QModelIndex());
        w.window.onPlayQuest2();
        QCOMPARE(plays.count(), 0);
    }

    void anImageOfListOneMovesTheExpertTree()
    {
        Subject subject;
        Window w(subject.examination);
        _QListView *list = w.list(0);
        list->setCurrentIndex(list->model()->index(1, 0));
        const QuestKey key = [&] {
            QuestKey k;
            k.fromJson(w.window.navigatorTree()->currentIndex().data(QuestKey::Role).toJsonObject());
            return k;
        }();
        QCOMPARE(key.iQuest, 1);
        QCOMPARE(key.iParam, 1);
        QCOMPARE(key.iGroup, 1);
        // The list was not refilled: the chosen image stays current.
        QCOMPARE(list->currentIndex().row(), 1);
    }

    void floatingDockGrowsAndShrinksBack()
    {
        Subject subject;
        Window w(subject.examination);
        w.window.fragmentPanel(1)->dock()->hide();
        _QDockWidget *dock = w.panel(0)->dock();
        w.panel(0)->onPinnable();
        QVERIFY(dock->floatingMode());
        const int before = dock->height();
        const int largest = dock->maximumHeight();
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(dock, &enter);
        QTRY_COMPARE(dock->height(), int(w.window.height() * 0.9));
        QVERIFY(dock->isEnlarged());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(dock, &leave);
        {
            QMenu menu;
            ActivePopupMenu marker(&menu);
            dock->updateTime();
            QVERIFY(dock->isEnlarged());
        }
        dock->updateTime();
        QVERIFY(!dock->isEnlarged());
        QTRY_COMPARE(dock->height(), before);
        QTRY_COMPARE(dock->maximumHeight(), largest);
    }

    void panelOptionsAreKeptInTheWindowsSettings()
    {
        {
            InspectionAnalysisBallFancy window;
            window.fragmentPanel(0)->selectUnfold(3000);
            window.fragmentPanel(1)->selectScale(75);
            window.fragmentPanel(1)->onShowBkIA();
            window.fragmentPanel(0)->onPinnable();
        }
        auto settings = SettingsStore::open();
        settings->beginGroup(QStringLiteral("InspectionAnalysisBallFancy_v3"));
        QCOMPARE(settings->value(QStringLiteral("iUnfold")).toInt(), 3000);
        QCOMPARE(settings->value(QStringLiteral("iScale2")).toInt(), 75);
        QCOMPARE(settings->value(QStringLiteral("bShowBkIA2")).toBool(), false);
        settings.reset();
        InspectionAnalysisBallFancy again;
        QCOMPARE(again.fragmentPanel(0)->unfoldCombo()->currentData().toInt(), 3000);
        QCOMPARE(again.fragmentPanel(1)->scaleCombo()->currentData().toInt(), 75);
        QVERIFY(!again.panelOptions(1).bShowBkIA);
        QVERIFY(again.fragmentPanel(0)->dock()->floatingMode());
    }
};

VUG_TEST_MAIN(TestPointsPanels, QApplication)
#include "tst_pointspanels.moc"
