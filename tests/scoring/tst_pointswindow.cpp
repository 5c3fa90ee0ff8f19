#include "scoring/points/InspectionAnalysisBallFancy.h"
#include "scoring/points/QuestKey.h"
#include "scoring/points/_QTreeViewExpand.h"
#include "data/SettingsStore.h"
#include "tests/data/StoreFixtures.h"
#include "tests/support/LockHolder.h"
#include "tests/support/MenuActions.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TestHome.h"
#include "tests/support/UrlCatcher.h"
#include "tests/support/WorkbookCells.h"

#include <QApplication>
#include <QPointer>
#include <QDesktopServices>
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QMenu>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTimer>

namespace {

Inspection::_BallValuation score(int presentation, int quest, int value)
{
    Inspection::_BallValuation entry;
    entry.iGroup = presentation;
    entry.iQuest = quest;
    entry.GSRPar = entry.FPGPar = entry.nRG = value;
    return entry;
}

// A subject file of two recorded tests of two presentations, with scores in
// every scale of the first, as the editor announces it.
struct Subject {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Обследуемый.qmz"));
    Inspection examination;

    Subject()
    {
        examination.path = path;
        examination.appendTest(StoreFixtures::recordedTest(QStringLiteral("Тест А"), 700, 1));
        examination.appendTest(StoreFixtures::recordedTest(QStringLiteral("Тест Б"), 700, 2));
        StoreFixtures::saveTests(examination);
        Inspection::_Test &first = examination.tests[0];
        first.valuationBall_012[1][0] = score(1, 0, 2);
        first.valuationBall_101[2][1] = score(2, 1, -1);
        first.valuationBall_3210123[1][1] = score(1, 1, 3);
        first.valuationBall_ChannelK[1] = 2.5f;
        first.valuationBall_GroupsDisabled.insert(2);
        examination.saveBallValuation(&first);
    }

    // The test as a fresh examination reads it back from the file.
    Inspection::_Test stored(int index) const
    {
        Inspection fresh;
        if (fresh.load(path) != StoreResult::Ok || !fresh.test(index))
            return Inspection::_Test();
        fresh.loadRecording(fresh.test(index), true);
        return *fresh.test(index);
    }
};

// Test rows with three channel rows each; presentation columns 1..2.
QStandardItemModel *navigatorModel(int tests)
{
    auto *model = new QStandardItemModel;
    model->setHorizontalHeaderLabels({QStringLiteral("Тест"), QStringLiteral("I"), QStringLiteral("II")});
    for (int test = 0; test < tests; ++test) {
        auto *row = new QStandardItem(QStringLiteral("тест %1").arg(test));
        row->setData(test, QuestKey::Role);
        for (int channel = 0; channel < 3; ++channel) {
            QList<QStandardItem *> cells{new QStandardItem(QStringLiteral("канал %1").arg(channel))};
            for (int column = 1; column <= 2; ++column) {
                auto *cell = new QStandardItem(QString::number(channel * 10 + column));
                QJsonObject key;
                QuestKey{test, column, channel, -1}.toJson(key);
                cell->setData(key, QuestKey::Role);
                cells << cell;
            }
            row->appendRow(cells);
        }
        model->appendRow(row);
    }
    return model;
}

QModelIndex cellAt(const InspectionAnalysisBallFancy &window, int test, int channel, int column)
{
    QAbstractItemModel *model = window.navigatorTree()->model();
    return model->index(channel, column, model->index(test, 0));
}

// The test's points as stored, for comparing whole score sets.
QJsonObject pointsOf(const Inspection::_Test &test)
{
    QJsonObject object;
    test.ballValuationToJson(object);
    return object;
}

QStringList checkedTexts(QMenu *menu)
{
    QStringList texts;
    for (QAction *action : menu->actions()) {
        if (action->isChecked())
            texts << action->text();
    }
    return texts;
}

} // namespace

class TestPointsWindow : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QFile::remove(SettingsStore::filePath());
    }

    void firstRunDefaultsAndSettingsReadBack()
    {
        {
            InspectionAnalysisBallFancy window;
            QCOMPARE(window.inputMode(), int(ScoringTreeHost::Expert));
            QCOMPARE(window.scaleMode(), 0);
            QCOMPARE(window.panelOptions(0).iScale, -1);
            QCOMPARE(window.panelOptions(0).iUnfold, 1000);
            QCOMPARE(window.panelOptions(1).iUnfold, 1000);
            QVERIFY(!window.findChild<QDockWidget *>(QStringLiteral("m_pDiagramme"))->isHidden());
            QVERIFY(window.findChild<QDockWidget *>(QStringLiteral("m_pDiagramme2"))->isHidden());
            window.onEnableBall3210123();
            window.onModeInput_0();
            window.onShowView();
            window.onShowView2();
        }
        auto settings = SettingsStore::open();
        settings->beginGroup(QStringLiteral("InspectionAnalysisBallFancy_v3"));
        QCOMPARE(settings->value(QStringLiteral("iModeValuation")).toInt(), 2);
        QCOMPARE(settings->value(QStringLiteral("bVisiblePanel2")).toBool(), true);
        QVERIFY(!settings->value(QStringLiteral("layout_data2")).toByteArray().isEmpty());
        // A damaged number keeps its default; an empty stored layout is not applied.
        settings->setValue(QStringLiteral("iUnfold2"), QStringLiteral("много"));
        settings->setValue(QStringLiteral("layout_data2"), QByteArray());
        settings->setValue(QStringLiteral("geo_data2"), QByteArray());
        settings->sync();

        InspectionAnalysisBallFancy again;
        QCOMPARE(again.scaleMode(), 2);
        QCOMPARE(again.inputMode(), int(ScoringTreeHost::Navigator));
        QVERIFY(!again.panelOptions(0).bVisiblePanel);
        QVERIFY(again.panelOptions(1).bVisiblePanel);
        QCOMPARE(again.panelOptions(1).iUnfold, 1000);
        QVERIFY(again.findChild<QDockWidget *>(QStringLiteral("m_pDiagramme"))->isHidden());
        QVERIFY(!again.findChild<QDockWidget *>(QStringLiteral("m_pDiagramme2"))->isHidden());
    }

    void titlesAndToolBarFollowTheCurrentCell()
    {
        Subject subject;
        InspectionAnalysisBallFancy window;
        window.onChangedPersone(subject.path, &subject.examination);
        QCOMPARE(window.windowTitle(), QStringLiteral("Эксперт: 012"));
        const QList<QRadioButton *> buttons = window.findChildren<QRadioButton *>();
        QCOMPARE(buttons.size(), 3);
        for (QRadioButton *button : buttons)
            QVERIFY(!button->isEnabled());

        window.setTreeModel(navigatorModel(2));
        window.navigatorTree()->setCurrentIndex(cellAt(window, 1, 1, 2));
        window.updateUi();
        for (QRadioButton *button : buttons)
            QVERIFY(button->isEnabled());
        QVERIFY(buttons[1]->isChecked());

        window.onModeInput_0();
        window.onEnableBall3210123();
        QCOMPARE(window.windowTitle(), QStringLiteral("Навигатор: 3210123"));
    }

    void selectionMovesByChannelAndPresentation()
    {
        Subject subject;
        InspectionAnalysisBallFancy window;
        window.onChangedPersone(subject.path, &subject.examination);
        window.setTreeModel(navigatorModel(2));
        _QTreeViewExpand *tree = window.navigatorTree();
        tree->setCurrentIndex(cellAt(window, 1, 0, 1));

        window.selectChannel(2);
        QCOMPARE(tree->currentIndex(), cellAt(window, 1, 2, 1));
        window.stepGroup(-1);  // column 1 is the first presentation
        QCOMPARE(tree->currentIndex(), cellAt(window, 1, 2, 1));
        QCOMPARE(tree->selectionModel()->selectedIndexes().size(), 1);
        window.stepGroup(+1);
        QCOMPARE(tree->currentIndex(), cellAt(window, 1, 2, 2));
        window.stepGroup(+1);  // and column 2 the last
        QCOMPARE(tree->currentIndex(), cellAt(window, 1, 2, 2));
        QCOMPARE(tree->selectionModel()->selectedIndexes().size(), 1);
    }

    void ctrlMenuShowsAndSetsWeightsAndPresentations()
    {
        Subject subject;
        InspectionAnalysisBallFancy window;
        window.onChangedPersone(subject.path, &subject.examination);
        window.onModeInput_0();

        QScopedPointer<QMenu> menu(window.buildNavigatorMenu(cellAt(window, 0, 1, 1), true));
        QCOMPARE(checkedTexts(menu.data()), QStringList({"КГР x 1.0", "ПГ x 2.5", "Дых x 1.0", "Предъявление - I"}));
        QVERIFY(actionNamed(menu.data(), "Предъявление - II"));
        QVERIFY(!actionNamed(menu.data(), "Экспорт в MSExel..."));

        actionNamed(menu.data(), "Дых x 0.5")->trigger();
        actionNamed(menu.data(), "Предъявление - I")->trigger();
        QCOMPARE(subject.stored(0).valuationBall_ChannelK[2], 0.5f);
        QCOMPARE(subject.stored(0).valuationBall_GroupsDisabled, QSet<qint32>({1, 2}));

        // Without a test under the click the weights are offered but off.
        menu.reset(window.buildNavigatorMenu(QModelIndex(), true));
        QVERIFY(!actionNamed(menu.data(), "ПГ x 2.5")->isEnabled());
        QVERIFY(!actionNamed(menu.data(), "Предъявление - I"));
    }

    // A right click with Ctrl on a channel row, through the tree's own
    // request: the menu offers that row's test.
    void ctrlMenuOfTheTreeFindsTheRowsTest()
    {
        Subject subject;
        InspectionAnalysisBallFancy window;
        window.onChangedPersone(subject.path, &subject.examination);
        window.onModeInput_0();
        _QTreeViewExpand *tree = window.navigatorTree();
        tree->expandAll();
        QStringList enabled;
        const auto readMenu = [&enabled] {
            QWidget *popup = QApplication::activePopupWidget();
            if (auto *menu = qobject_cast<QMenu *>(popup)) {
                for (QAction *action : menu->actions())
                    if (action->isEnabled() && action->isChecked())
                        enabled << action->text();
                menu->close();
            }
        };
        QTimer::singleShot(0, readMenu);
        const QPoint point = tree->visualRect(cellAt(window, 0, 1, 0)).center();
        QTest::keyPress(tree, Qt::Key_Control, Qt::ControlModifier);
        QTest::mousePress(tree->viewport(), Qt::RightButton, Qt::ControlModifier, point);
        QContextMenuEvent request(QContextMenuEvent::Mouse, point, tree->viewport()->mapToGlobal(point),
                                  Qt::ControlModifier);
        QApplication::sendEvent(tree->viewport(), &request);
        QTest::mouseRelease(tree->viewport(), Qt::RightButton, Qt::ControlModifier, point);
        QTest::keyRelease(tree, Qt::Key_Control);
        QCOMPARE(enabled, QStringList({"КГР x 1.0", "ПГ x 2.5", "Дых x 1.0", "Предъявление - I"}));

        // A row that was neither pressed nor made current: the window's
        // remembered index is then the only one of that row, which a menu
        // taking it by reference would free while reading it.
        enabled.clear();
        QTimer::singleShot(0, readMenu);
        QTest::keyPress(tree, Qt::Key_Control, Qt::ControlModifier);
        emit tree->customContextMenuRequested(tree->visualRect(cellAt(window, 0, 2, 0)).center());
        QTest::keyRelease(tree, Qt::Key_Control);
        QCOMPARE(enabled, QStringList({"КГР x 1.0", "ПГ x 2.5", "Дых x 1.0", "Предъявление - I"}));
    }

    // A model put under the tree frees the selection of the model it replaces
    // and keeps the one the tree still uses when the model stays.
    void theTreeFreesOnlyTheSelectionItNoLongerUses()
    {
        InspectionAnalysisBallFancy window;
        QTreeView *tree = window.navigatorTree();
        auto *model = qobject_cast<QStandardItemModel *>(tree->model());
        QPointer<QItemSelectionModel> selection = tree->selectionModel();
        window.setTreeModel(model);
        QVERIFY(selection);
        QCOMPARE(tree->selectionModel(), selection.data());
        window.setTreeModel(new QStandardItemModel);
        QVERIFY(!selection);
        QVERIFY(tree->selectionModel());
    }

    void clearingOneTestAndAllTests()
    {
        Subject subject;
        InspectionAnalysisBallFancy window;
        window.onChangedPersone(subject.path, &subject.examination);
        window.setTreeModel(navigatorModel(2));

        QScopedPointer<QMenu> menu(window.buildNavigatorMenu(QModelIndex(), false));
        QVERIFY(!actionNamed(menu.data(), "Очистить параметры текущем тесте")->isEnabled());
        menu.reset(window.buildNavigatorMenu(cellAt(window, 0, 0, 1), false));
        QVERIFY(actionNamed(menu.data(), "Очистить параметры текущем тесте")->isEnabled());
        {
            MessageBoxAnswerer answers({QMessageBox::Yes});
            actionNamed(menu.data(), "Очистить параметры текущем тесте")->trigger();
            QCOMPARE(answers.asked().size(), 1);
            QVERIFY(answers.asked().first().contains(QStringLiteral("Тест А")));
        }
        Inspection::_Test stored = subject.stored(0);
        QVERIFY(stored.valuationBall_012.isEmpty());
        QCOMPARE(stored.valuationBall_101[2][1].GSRPar, -1);

        menu.reset(window.buildNavigatorMenu(cellAt(window, 0, 0, 1), false));
        {
            MessageBoxAnswerer answers({QMessageBox::No});
            actionNamed(menu.data(), "Очистить параметры во всех тестах")->trigger();
        }
        QVERIFY(!subject.stored(0).valuationBall_101.isEmpty());
        {
            MessageBoxAnswerer answers({QMessageBox::Yes});
            actionNamed(menu.data(), "Очистить параметры во всех тестах")->trigger();
            QCOMPARE(answers.unexpected(), 0);
        }
        stored = subject.stored(0);
        QVERIFY(stored.valuationBall_101.isEmpty());
        QVERIFY(stored.valuationBall_3210123.isEmpty());
        QCOMPARE(stored.valuationBall_ChannelK[1], 2.5f);
        QCOMPARE(stored.valuationBall_GroupsDisabled, QSet<qint32>({2}));
    }

    void closeIconAndCheckBoxRewriteTheQuestion()
    {
        Subject subject;
        InspectionAnalysisBallFancy window;
        window.onChangedPersone(subject.path, &subject.examination);

        window.notifyCloseQuestFomImage(nullptr, 0, 2, 0);
        Inspection::_Test stored = subject.stored(0);
        QVERIFY(!stored.valuationBall_012[2][0].bEnable);
        QCOMPARE(stored.valuationBall_012[2][0].iGroup, 2);
        QVERIFY(stored.valuationBall_012[1][0].bEnable);
        QCOMPARE(stored.valuationBall_012[1][0].GSRPar, 2);

        // Damaged places change nothing and are never read outside the test.
        window.notifyCloseQuestFomImage(nullptr, 0, 3, 0);
        window.notifyCloseQuestFomImage(nullptr, 0, 1, 7);
        window.notifyCloseQuestFomImage(nullptr, 5, 1, 0);
        QCOMPARE(pointsOf(subject.stored(0)), pointsOf(stored));

        auto *model = new QStandardItemModel;
        auto *question = new QStandardItem(QStringLiteral("Вопрос"));
        QJsonObject key;
        QuestKey{0, 1, 0, 0}.toJson(key);
        question->setData(key, QuestKey::Role);
        question->setCheckable(true);
        question->setCheckState(Qt::Checked);
        model->appendRow(question);
        window.setTreeModel(model);
        question->setCheckState(Qt::Unchecked);
        stored = subject.stored(0);
        QVERIFY(!stored.valuationBall_012[1][0].bEnable);
        QVERIFY(!stored.valuationBall_012[2][0].bEnable);
        QCOMPARE(stored.valuationBall_012[1][0].GSRPar, 2);
    }

    // Every refusal is told, each with retry under a lock; what stays shown is what the file holds.
    void aRefusedSaveIsSettledEveryTime_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("saved");
        QTest::newRow("full disk: the second refusal told too") << "disk" << QList<int>{QMessageBox::Ok, QMessageBox::Ok} << false;
        QTest::newRow("lock: the retry saves") << "lock" << QList<int>{QMessageBox::Retry} << true;
        QTest::newRow("lock: dropped") << "lock" << QList<int>{QMessageBox::Discard, QMessageBox::Discard} << false;
    }
    void aRefusedSaveIsSettledEveryTime()
    {
        QFETCH(QString, fault);
        QFETCH(QList<int>, answers);
        QFETCH(bool, saved);
        Subject subject;
        const Inspection::_Test before = subject.stored(0);
        if (fault == "disk")
            StoreFixtures::failWritesAfter(subject.path, int(InspectionDataType::BallValuation), 0);
        InspectionAnalysisBallFancy window;
        window.onChangedPersone(subject.path, &subject.examination);
        QScopedPointer<LockHolder> lock(fault == "lock" ? new LockHolder(subject.path, "BEGIN EXCLUSIVE") : nullptr);
        MessageBoxAnswerer answerer;
        for (int answer : answers)
            answerer.enqueue(QMessageBox::StandardButton(answer));
        // The lock ends while the last question is open.
        answerer.whileAsking = [&lock, &answerer] {
            if (answerer.remaining() == 1)
                lock.reset();
        };
        window.notifyCloseQuestFomImage(nullptr, 0, 2, 0);
        if (answers.size() > 1)
            window.notifyCloseQuestFomImage(nullptr, 0, 1, 1);
        QCOMPARE(answerer.asked().size(), answers.size());
        QCOMPARE(answerer.unexpected(), 0);
        QVERIFY(answerer.asked().last().contains("оценки теста"));
        lock.reset();
        // What the window shows is what the file holds.
        QCOMPARE(pointsOf(subject.examination.tests[0]), pointsOf(subject.stored(0)));
        QCOMPARE(pointsOf(subject.stored(0)) != pointsOf(before), saved);
    }

    // A page of the main window not on show fills its trees only when shown.
    void aHiddenPageFillsItsTreesWhenShown()
    {
        Subject subject;
        QWidget page;
        auto *window = new InspectionAnalysisBallFancy(&page);
        window->setTreeModel(navigatorModel(2));
        window->onChangedPersone(subject.path, &subject.examination);
        QCOMPARE(window->navigatorTree()->model()->rowCount(), 0);
        page.show();
        window->show();  // as the tab bar turns to the page
        QCOMPARE(window->navigatorTree()->model()->rowCount(), subject.examination.tests.size());
    }

    void anEmptyAnnouncementEmptiesTheTree()
    {
        Subject subject;
        InspectionAnalysisBallFancy window;
        window.onChangedPersone(subject.path, &subject.examination);
        window.setTreeModel(navigatorModel(2));
        window.onChangedPersone(QString(), nullptr);
        QCOMPARE(window.navigatorTree()->model()->rowCount(), 0);
        QVERIFY(window.windowTitle().isEmpty());
        window.onClearAll();  // nothing to ask without an examination
        window.notifyCloseQuestFomImage(nullptr, 0, 1, 0);
    }

    void exportWritesTheTreeIntoAWorkbook()
    {
        Subject subject;
        InspectionAnalysisBallFancy window;
        window.onChangedPersone(subject.path, &subject.examination);
        window.setTreeModel(navigatorModel(1));
        UrlCatcher catcher;
        QScopedPointer<QMenu> menu(window.buildNavigatorMenu(QModelIndex(), false));
        actionNamed(menu.data(), "Экспорт в MSExel...")->trigger();
        QCOMPARE(catcher.urls.size(), 1);

        const QJsonObject cells = workbookCells(QStringLiteral(VUG_PYTHON), QStringLiteral(VUG_XLSX_READER),
                                                catcher.urls.first().toLocalFile());
        QCOMPARE(cells["A1"].toObject()["value"].toString(), QStringLiteral("Тест"));
        QCOMPARE(cells["A2"].toObject()["value"].toString(), QStringLiteral("тест 0"));
        QCOMPARE(cells["A3"].toObject()["value"].toString(), QStringLiteral("канал 0"));
        QFile::remove(catcher.urls.first().toLocalFile());
    }
};

VUG_TEST_MAIN(TestPointsWindow, QApplication)
#include "tst_pointswindow.moc"
