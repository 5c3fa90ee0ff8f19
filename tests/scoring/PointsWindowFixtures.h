#pragma once

// A subject file with one recorded test and the points window shown on it,
// for the tests of the fragment panels and of keyboard scoring.
#include "PointsTreeFixtures.h"
#include "scoring/points/FragmentPanel.h"
#include "scoring/points/InspectionAnalysisBallFancy.h"
#include "scoring/points/_QDockWidget.h"
#include "scoring/points/_QListView.h"
#include "scoring/points/_QTreeViewExpand.h"

#include <QTemporaryDir>
#include <QtTest>

namespace PointsWindowFixtures {

// A subject file holding one recorded test of neutral, control, test and
// neutral questions presented twice.
struct Subject {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("subject.qmz"));
    Inspection examination;

    Subject()
    {
        using namespace QuestionKind;
        examination.path = path;
        BenchTestShape shape;
        shape.questions = 4;
        shape.presentations = 2;
        shape.ticks = 400 * 4 * 2;
        shape.kind = [](int q) { return q == 1 ? int(Control) : q == 2 ? int(Test) : int(Neutral); };
        shape.interval.nIALength = 5;
        examination.appendTest(recordedTest(1, shape));
        examination.saveTestStruct(&examination.tests[0]);
        examination.saveRecording(&examination.tests[0]);
    }

    Inspection::_Test stored() const
    {
        Inspection fresh;
        if (fresh.load(path) != StoreResult::Ok || !fresh.test(0))
            return Inspection::_Test();
        fresh.loadRecording(fresh.test(0), true);
        return *fresh.test(0);
    }
};

// The window on the subject in expert mode with both panels shown, the cell
// of presentation 1, channel group 1 and question 2 current.
struct Window {
    InspectionAnalysisBallFancy window;
    explicit Window(Inspection &examination)
    {
        window.resize(1400, 900);
        window.show();
        QVERIFY2(QTest::qWaitForWindowExposed(&window), "window not shown");
        window.onChangedPersone(QString(), &examination);
        if (!window.panelOptions(1).bVisiblePanel)
            window.onShowView2();
        // Side by side, so both lists are visible at once.
        window.splitDockWidget(panel(0)->dock(), panel(1)->dock(), Qt::Horizontal);
        selectExpertCell(2);
    }
    FragmentPanel *panel(int n) const { return window.fragmentPanel(n); }
    _QListView *list(int n) const { return panel(n)->list(); }
    void selectExpertCell(int quest)
    {
        QAbstractItemModel *model = window.navigatorTree()->model();
        const QModelIndex cell = model->index(1, 1, model->index(quest, 0, model->index(0, 0)));
        window.navigatorTree()->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect);
    }
};

}  // namespace PointsWindowFixtures
