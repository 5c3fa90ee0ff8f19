// The metric window's context menus and the picture's scale and display switches.
#include "InspectionAnalysisMetrFancy.h"
#include "MetrFancyShared.h"

#include "_QTreeView.h"
#include "data/ActivePopupMenu.h"
#include "resources/VugResources.h"

#include <QMenu>

using namespace MetrFancy;

namespace {

QAction *addCheckable(QMenu *menu, const QString &text, bool checked)
{
    QAction *action = menu->addAction(text);
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

} // namespace

QMenu *InspectionAnalysisMetrFancy::buildParamsMenu()
{
    auto *menu = new QMenu;
    menu->addAction(VugImages::icon(QStringLiteral("folder-add.png")), tr("Создать ПАРАМЕТР..."), this,
                    &InspectionAnalysisMetrFancy::onCreateParamAction);
    QAction *edit = menu->addAction(VugImages::icon(QStringLiteral("edit")), tr("Изменить ПАРАМЕТР..."), this,
                                    &InspectionAnalysisMetrFancy::onEditParamAction);
    edit->setEnabled(m_paramTable->currentIndex().isValid());
    menu->setDefaultAction(edit);
    QAction *remove = menu->addAction(VugImages::icon(QStringLiteral("iconDelete.png")), tr("Удалить ПАРАМЕТР"), this,
                                      &InspectionAnalysisMetrFancy::onDeleteParamAction);
    remove->setEnabled(m_paramTable->currentIndex().isValid());
    menu->addSeparator();
    menu->addAction(tr("Удалить ВСЕ ПАРАМЕТРЫ"), this, &InspectionAnalysisMetrFancy::onDeleteAllParamAction);
    menu->addSeparator();
    menu->addAction(tr("Загрузить ПАРАМЕТРЫ из справочника..."), this,
                    &InspectionAnalysisMetrFancy::onLoadFromSpravAction);
    menu->addSeparator();
    menu->addAction(tr("Загрузить автоматические параметры..."), this, &InspectionAnalysisMetrFancy::onLoadAutoAction);
    return menu;
}

QMenu *InspectionAnalysisMetrFancy::buildDataMenu(const QModelIndex &index)
{
    m_menuTest = testIndexOf(index);
    const bool hasTest = menuTest() != nullptr;
    auto *menu = new QMenu;
    menu->addAction(tr("Очистить параметры во всех тестах"), this, &InspectionAnalysisMetrFancy::onClearAllAction);
    menu->addAction(tr("Очистить параметры в текущем тесте"), this, &InspectionAnalysisMetrFancy::onClearTestAction)
        ->setEnabled(hasTest);
    menu->addSeparator();
    menu->addAction(tr("Расчет автоматических параметров во всех тестах"), this,
                    &InspectionAnalysisMetrFancy::onAutoCalcAllAction);
    menu->addAction(tr("Расчет автоматических параметров в текущем тесте"), this,
                    &InspectionAnalysisMetrFancy::onAutoCalcTestAction)
        ->setEnabled(hasTest);
    menu->addSeparator();
    menu->addAction(VugImages::icon(QStringLiteral("Microsoft-Excel-icon.png")), tr("Экспорт в MSExcel"), this,
                    &InspectionAnalysisMetrFancy::onToExcelAction);
    return menu;
}

QMenu *InspectionAnalysisMetrFancy::buildDiagramMenu()
{
    void (InspectionAnalysisMetrFancy::*const scaleSlots[])() = {
        &InspectionAnalysisMetrFancy::onScale100Action, &InspectionAnalysisMetrFancy::onScale80Action,
        &InspectionAnalysisMetrFancy::onScale60Action, &InspectionAnalysisMetrFancy::onScale40Action,
        &InspectionAnalysisMetrFancy::onScale20Action};
    auto *menu = new QMenu;
    for (int k = 0; k < 5; ++k) {
        QAction *action = addCheckable(menu, tr("Масштаб (Y) - %1%").arg(kScales[k]), iScale == kScales[k]);
        connect(action, &QAction::triggered, this, scaleSlots[k]);
    }
    menu->addSeparator();
    connect(addCheckable(menu, tr("Показать вопросы"), bShowQuestText), &QAction::triggered, this,
            &InspectionAnalysisMetrFancy::onShowTextQuestAction);
    connect(addCheckable(menu, tr("Показать только интервал анализа"), bShowIA), &QAction::triggered, this,
            &InspectionAnalysisMetrFancy::onShowIAAction);
    return menu;
}

void InspectionAnalysisMetrFancy::onContextMenuForParams(const QPoint &point)
{
    QScopedPointer<QMenu> menu(buildParamsMenu());
    ActivePopupMenu marker(menu.data());
    menu->exec(m_paramTable->viewport()->mapToGlobal(point));
}

void InspectionAnalysisMetrFancy::onContextMenuForData(const QPoint &point)
{
    QScopedPointer<QMenu> menu(buildDataMenu(m_tree->indexAt(point)));
    ActivePopupMenu marker(menu.data());
    menu->exec(m_tree->viewport()->mapToGlobal(point));
}

void InspectionAnalysisMetrFancy::onContextMenuForDigram(const QPoint &point)
{
    auto *source = qobject_cast<QWidget *>(sender());
    QScopedPointer<QMenu> menu(buildDiagramMenu());
    ActivePopupMenu marker(menu.data());
    menu->exec(source ? source->mapToGlobal(point) : point);
}

void InspectionAnalysisMetrFancy::onScale100Action()
{
    iScale = 100;
    updateDiagram();
}

void InspectionAnalysisMetrFancy::onScale80Action()
{
    iScale = 80;
    updateDiagram();
}

void InspectionAnalysisMetrFancy::onScale60Action()
{
    iScale = 60;
    updateDiagram();
}

void InspectionAnalysisMetrFancy::onScale40Action()
{
    iScale = 40;
    updateDiagram();
}

void InspectionAnalysisMetrFancy::onScale20Action()
{
    iScale = 20;
    updateDiagram();
}

void InspectionAnalysisMetrFancy::onShowTextQuestAction()
{
    bShowQuestText = !bShowQuestText;
    updateDiagram();
}

void InspectionAnalysisMetrFancy::onShowIAAction()
{
    bShowIA = !bShowIA;
    updateDiagram();
}
