// The points window's tree menu: weights and presentations with Ctrl, else the
// export, scales, input modes and panels.
#include "InspectionAnalysisBallFancy.h"

#include "_QTreeViewExpand.h"
#include "app/services/TreeViewExport.h"
#include "data/ActivePopupMenu.h"
#include "data/SharedHelpers.h"
#include "resources/VugResources.h"

#include <QAction>
#include <QActionGroup>
#include <QGuiApplication>
#include <QMenu>

namespace {

const char *const kWeightCaptions[] = {"КГР x %1", "ПГ x %1", "Дых x %1"};

} // namespace

void InspectionAnalysisBallFancy::onNavigatorMenu(const QPoint &point)
{
    m_menuIndex = m_tree->indexAt(point);
    const bool ctrl = QGuiApplication::keyboardModifiers() & Qt::ControlModifier;
    QScopedPointer<QMenu> menu(buildNavigatorMenu(m_menuIndex, ctrl));
    ActivePopupMenu marker(menu.data());
    menu->exec(m_tree->viewport()->mapToGlobal(point));
}

QMenu *InspectionAnalysisBallFancy::buildNavigatorMenu(QModelIndex index, bool ctrl)
{
    m_menuIndex = index;
    auto *menu = new QMenu;
    if (ctrl) {
        const Inspection::_Test *test = testOfTreeIndex(index);
        addWeightRuns(menu, test);
        menu->addSeparator();
        addPresentations(menu, test);
    } else {
        addCommands(menu);
    }
    return menu;
}

void InspectionAnalysisBallFancy::addWeightRuns(QMenu *menu, const Inspection::_Test *test)
{
    void (InspectionAnalysisBallFancy::*const setters[])() = {
        &InspectionAnalysisBallFancy::onSetGSR, &InspectionAnalysisBallFancy::onSetPG, &InspectionAnalysisBallFancy::onSetRG};
    for (int group = 0; group < 3; ++group) {
        if (group > 0)
            menu->addSeparator();
        for (int step = 0; step <= 6; ++step) {
            const float weight = step * 0.5f;
            QAction *action = menu->addAction(tr(kWeightCaptions[group]).arg(double(weight), 0, 'f', 1));
            action->setCheckable(true);
            action->setChecked(test && test->valuationBall_ChannelK[group] == weight);
            action->setData(double(weight));
            action->setEnabled(test != nullptr);
            connect(action, &QAction::triggered, this, setters[group]);
        }
    }
}

void InspectionAnalysisBallFancy::addPresentations(QMenu *menu, const Inspection::_Test *test)
{
    const int count = test ? test->presentationCount() : 0;
    for (int presentation = 1; presentation <= count; ++presentation) {
        QAction *action = menu->addAction(tr("Предъявление - ") + romanNumeral(presentation));
        action->setCheckable(true);
        action->setChecked(!test->valuationBall_GroupsDisabled.contains(presentation));
        action->setData(presentation);
        connect(action, &QAction::triggered, this, &InspectionAnalysisBallFancy::onSetGroup);
    }
}

void InspectionAnalysisBallFancy::addCommands(QMenu *menu)
{
    const auto addChoice = [this, menu](QActionGroup *group, const QString &text, bool checked,
                                        void (InspectionAnalysisBallFancy::*slot)()) {
        QAction *action = menu->addAction(text, this, slot);
        action->setCheckable(true);
        action->setChecked(checked);
        group->addAction(action);
    };
    menu->addAction(VugImages::icon(QStringLiteral("Microsoft-Excel-icon.png")), tr("Экспорт в MSExel..."), this,
                    &InspectionAnalysisBallFancy::onExportExel);
    menu->addSeparator();
    auto *scales = new QActionGroup(menu);
    addChoice(scales, tr("Бальная оценка 012"), iModeValuation == Scale012, &InspectionAnalysisBallFancy::onEnableBall012);
    addChoice(scales, tr("Бальная оценка 101"), iModeValuation == Scale101, &InspectionAnalysisBallFancy::onEnableBall101);
    addChoice(scales, tr("Бальная оценка 3210123"), iModeValuation == Scale3210123,
              &InspectionAnalysisBallFancy::onEnableBall3210123);
    menu->addSeparator();
    auto *modes = new QActionGroup(menu);
    addChoice(modes, tr("Режим НАВИГАТОР"), iModeInput == Navigator, &InspectionAnalysisBallFancy::onModeInput_0);
    addChoice(modes, tr("Режим ЭКСПЕРТ"), iModeInput == Expert, &InspectionAnalysisBallFancy::onModeInput_1);
    menu->addSeparator();
    QAction *view = menu->addAction(tr("Включить панель: вид1"), this, &InspectionAnalysisBallFancy::onShowView);
    view->setCheckable(true);
    view->setChecked(m_panel.bVisiblePanel);
    QAction *view2 = menu->addAction(tr("Включить панель: вид2"), this, &InspectionAnalysisBallFancy::onShowView2);
    view2->setCheckable(true);
    view2->setChecked(m_panel2.bVisiblePanel);
    menu->addSeparator();
    QAction *clearTest = menu->addAction(tr("Очистить параметры текущем тесте"), this, &InspectionAnalysisBallFancy::onClearTest);
    clearTest->setEnabled(m_menuIndex.isValid());
    menu->addSeparator();
    menu->addAction(tr("Очистить параметры во всех тестах"), this, &InspectionAnalysisBallFancy::onClearAll);
}

void InspectionAnalysisBallFancy::onExportExel()
{
    exportTreeViewToExcel(m_tree);
}

void InspectionAnalysisBallFancy::onEnableBall012()
{
    iModeValuation = Scale012;
    updateTitle();
}

void InspectionAnalysisBallFancy::onEnableBall101()
{
    iModeValuation = Scale101;
    updateTitle();
}

void InspectionAnalysisBallFancy::onEnableBall3210123()
{
    iModeValuation = Scale3210123;
    updateTitle();
}

void InspectionAnalysisBallFancy::onModeInput_0()
{
    iModeInput = Navigator;
    updateTitle();
    updateUi();
}

void InspectionAnalysisBallFancy::onModeInput_1()
{
    iModeInput = Expert;
    updateTitle();
    updateUi();
}

void InspectionAnalysisBallFancy::onShowView()
{
    m_panel.bVisiblePanel = !m_panel.bVisiblePanel;
    updateUi();
    if (m_panel.bVisiblePanel)
        updateImageList(0);
}

void InspectionAnalysisBallFancy::onShowView2()
{
    m_panel2.bVisiblePanel = !m_panel2.bVisiblePanel;
    updateUi();
    if (m_panel2.bVisiblePanel)
        updateImageList(1);
}
