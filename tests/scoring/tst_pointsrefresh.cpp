#include "PointsTreeFixtures.h"
#include "scoring/points/InspectionAnalysisBallFancy.h"
#include "scoring/points/_QTreeViewExpand.h"
#include "data/SettingsStore.h"
#include "tests/data/StoreFixtures.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QListView>
#include <QMenu>
#include <QTemporaryDir>

// The points window's trees built against refreshed: rows, expansion and
// selection kept, nothing sent to the window while filling, recordings read
// only when not in memory.

using namespace BallFixtures;
using namespace PointsTreeFixtures;

namespace {

// A subject file of two recorded tests with scores, as the editor announces it.
struct Subject {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Обследуемый.qmz"));
    Inspection examination;

    Subject()
    {
        examination.path = path;
        examination.appendTest(coefficientTest(3, 1));
        examination.appendTest(coefficientTest(2, 2));
        StoreFixtures::saveTests(examination);
        for (Inspection::_Test &test : examination.tests) {
            putBall(test.valuationBall_012, ball(1, 1, 2, 1, 1));
            putBall(test.valuationBall_012, ball(2, 0, 1, 2, 0));
            examination.saveBallValuation(&test);
        }
    }
};

// Every item under the parent with its flags and data, row by row, in every
// column of the header; "-" for an empty place.
QStringList snapshot(QStandardItemModel &model, QStandardItem *parent)
{
    QStringList lines;
    for (int row = 0; row < parent->rowCount(); ++row) {
        for (int column = 0; column < model.columnCount(); ++column) {
            QString line = QStringLiteral("-");
            if (const QStandardItem *item = parent->child(row, column)) {
                line.clear();
                QDebug(&line) << item->flags() << model.itemData(item->index());
            }
            lines << line;
        }
        if (parent->child(row))
            lines << snapshot(model, parent->child(row));
    }
    return lines;
}

QStringList snapshot(QAbstractItemModel *model)
{
    auto *items = qobject_cast<QStandardItemModel *>(model);
    return items ? snapshot(*items, items->invisibleRootItem()) : QStringList();
}

QModelIndex at(InspectionAnalysisBallFancy &window, std::initializer_list<int> rows, int column)
{
    QAbstractItemModel *model = window.navigatorTree()->model();
    QModelIndex index;
    for (int row : rows)
        index = model->index(row, 0, index);
    return index.siblingAtColumn(column);
}

QAction *actionNamed(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

}  // namespace

class TestPointsRefresh : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QFile::remove(SettingsStore::filePath());
    }

    void refreshMatchesAFreshBuildAndKeepsTheView_data()
    {
        QTest::addColumn<bool>("navigator");
        QTest::newRow("navigator") << true;
        QTest::newRow("expert") << false;
    }

    void refreshMatchesAFreshBuildAndKeepsTheView()
    {
        QFETCH(bool, navigator);
        Subject subject;
        InspectionAnalysisBallFancy window;
        window.show();  // only a visible panel is filled
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.onChangedPersone(subject.path, &subject.examination);
        if (navigator)
            window.onModeInput_0();
        window.onEnableBall3210123();
        _QTreeViewExpand *tree = window.navigatorTree();
        QVERIFY(!window.findChild<QListView *>()->model());  // a fresh build removes the lists' models

        const QModelIndex chosen = navigator ? at(window, {1, 2}, 2) : at(window, {0, 1, 0}, 3);
        tree->expand(at(window, {1}, 0));
        tree->selectionModel()->setCurrentIndex(chosen, QItemSelectionModel::Select);
        QListView *list = window.findChild<QListView *>();
        const QAbstractItemModel *listModel = list->model();
        QVERIFY(listModel);
        const bool firstExpanded = tree->isExpanded(at(window, {0}, 0));

        for (Inspection::_Test &test : subject.examination.tests) {
            putBall(test.valuationBall_3210123, ball(2, 1, -3, 2, 1, false));
            putBall(test.valuationBall_3210123, ball(1, 2, 3, -1, 0));
            test.valuationBall_ChannelK[2] = 2.5f;
        }
        window.updateTree();
        const QStringList refreshed = snapshot(tree->model());
        QVERIFY(tree->isExpanded(at(window, {1}, 0)));
        QCOMPARE(tree->isExpanded(at(window, {0}, 0)), firstExpanded);
        QCOMPARE(tree->selectionModel()->selectedIndexes(), QModelIndexList({chosen}));
        QCOMPARE(tree->currentIndex(), chosen);
        QCOMPARE(list->model(), listModel);  // the window heard no selection change

        window.updateTitle();
        QCOMPARE(refreshed, snapshot(tree->model()));
        QVERIFY(!tree->isExpanded(at(window, {1}, 0)));
    }

    void aTestThatStopsMeetingTheConditionsLosesItsCoefficients()
    {
        Subject subject;
        InspectionAnalysisBallFancy window;
        window.onModeInput_0();
        window.onChangedPersone(subject.path, &subject.examination);
        const int kobsch = 3 + 3;
        QCOMPARE(at(window, {1, 0}, kobsch).data().toString(), QStringLiteral("0.43"));

        subject.examination.tests[1].themis[2] = InspectionTheme(QStringLiteral("Вопрос?"), QuestionKind::Test);
        window.updateTree();
        const QStringList refreshed = snapshot(window.navigatorTree()->model());
        QVERIFY(!at(window, {1, 0}, kobsch).data().isValid());
        QCOMPARE(at(window, {0, 0}, kobsch).data().toString(), QStringLiteral("0.43"));
        window.updateTitle();
        QCOMPARE(refreshed, snapshot(window.navigatorTree()->model()));
    }

    void aFillWritesNothingBack()
    {
        Subject subject;
        InspectionAnalysisBallFancy window;
        window.onChangedPersone(subject.path, &subject.examination);
        QCOMPARE(at(window, {0, 0}, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));

        // Question 0 goes partly out of use behind the window's back; the
        // refresh shows it and must not take the new check state for a click.
        Inspection::_Test &test = subject.examination.tests[0];
        test.valuationBall_012[2][0].bEnable = false;
        window.updateTree();
        QCOMPARE(at(window, {0, 0}, 0).data(Qt::CheckStateRole).toInt(), int(Qt::PartiallyChecked));
        QVERIFY(!test.valuationBall_012.value(1).contains(0));
        QVERIFY(!test.valuationBall_012.value(3).contains(0));
        QVERIFY(!test.valuationBall_012.value(2).value(0).bEnable);

        // A click that checks it puts every presentation's entry in use.
        window.navigatorTree()->model()->setData(at(window, {0, 0}, 0), Qt::Checked, Qt::CheckStateRole);
        QVERIFY(test.valuationBall_012[2][0].bEnable);
        QCOMPARE(at(window, {0, 0}, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    }

    void treesReadMarksNotSamplesWhenNotInMemory()
    {
        Subject subject;
        Inspection::_Test &unloaded = subject.examination.tests[0];
        unloaded.clearRecording();
        Inspection::_Test &withoutTs = subject.examination.tests[1];
        withoutTs.dataGSR_C.clear();
        withoutTs.labels[0].TickQStart += 7;  // a move of the review not saved yet
        const int moved = withoutTs.labels[0].TickQStart;

        InspectionAnalysisBallFancy window;
        window.onModeInput_0();
        window.onChangedPersone(subject.path, &subject.examination);
        // The trees show marks and scores: the samples wait for a fragment.
        QVERIFY(!unloaded.samplesLoaded());
        QCOMPARE(unloaded.presentationCount(), 3);
        QCOMPARE(at(window, {0, 0}, 1).data().toString(), QStringLiteral("2.0"));
        QCOMPARE(at(window, {0, 0}, 2).data().toString(), QStringLiteral("1.0"));

        unloaded.labels[0].TickQStart += 3;
        const int movedToo = unloaded.labels[0].TickQStart;
        window.updateTree();
        window.updateTitle();
        QCOMPARE(withoutTs.labels[0].TickQStart, moved);
        QCOMPARE(unloaded.labels[0].TickQStart, movedToo);
        QVERIFY(withoutTs.dataGSR_C.isEmpty());
    }

    void aWeightFromTheCtrlMenuShowsAtOnce()
    {
        Subject subject;
        InspectionAnalysisBallFancy window;
        window.onModeInput_0();
        window.onChangedPersone(subject.path, &subject.examination);
        QCOMPARE(at(window, {1, 0}, 1).data().toString(), QStringLiteral("2.0"));
        QScopedPointer<QMenu> menu(window.buildNavigatorMenu(at(window, {1, 0}, 1), true));
        actionNamed(menu.data(), QStringLiteral("КГР x 1.5"))->trigger();
        QCOMPARE(at(window, {1, 0}, 1).data().toString(), QStringLiteral("3.0"));
        QCOMPARE(at(window, {1, 0}, 4).data().toString(), QStringLiteral("4.5"));

        window.onModeInput_1();
        QCOMPARE(at(window, {1, 1, 0}, 4).data().toString(), QStringLiteral("3.0"));
        QCOMPARE(at(window, {1, 1}, 1).data().toString(), QStringLiteral("5.0"));
    }
};

VUG_TEST_MAIN(TestPointsRefresh, QApplication)
#include "tst_pointsrefresh.moc"
