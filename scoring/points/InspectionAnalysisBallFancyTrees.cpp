// The points window's tree: its models, fills and the selection moved by channel
// group and presentation.
#include "InspectionAnalysisBallFancy.h"
#include "BallFancyShared.h"

#include "ExpertTreeFill.h"
#include "NavigatorTreeFill.h"
#include "data/ReadRefusal.h"
#include "data/ViewModel.h"
#include "_QTreeViewExpand.h"

#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QStandardItemModel>

using namespace BallFancy;

void InspectionAnalysisBallFancy::setTreeModel(QStandardItemModel *model)
{
    putTreeModel(model);
    followTree(true);
}

void InspectionAnalysisBallFancy::putTreeModel(QStandardItemModel *model)
{
    model->setParent(m_tree);
    replaceViewModel(m_tree, model);
}

// The window hears the tree's selection and check boxes except while a fill
// sets them itself.
void InspectionAnalysisBallFancy::followTree(bool follow)
{
    QItemSelectionModel *selection = m_tree->selectionModel();
    auto *model = qobject_cast<QStandardItemModel *>(m_tree->model());
    if (follow) {
        connect(selection, &QItemSelectionModel::selectionChanged, this,
                &InspectionAnalysisBallFancy::onSelectionChangeNavigator, Qt::UniqueConnection);
        if (model)
            connect(model, &QStandardItemModel::itemChanged, this,
                    &InspectionAnalysisBallFancy::onItemChanged_CheckedUnchecked, Qt::UniqueConnection);
    } else {
        disconnect(selection, &QItemSelectionModel::selectionChanged, this,
                   &InspectionAnalysisBallFancy::onSelectionChangeNavigator);
        if (model)
            disconnect(model, &QStandardItemModel::itemChanged, this,
                       &InspectionAnalysisBallFancy::onItemChanged_CheckedUnchecked);
    }
}

void InspectionAnalysisBallFancy::fillNavigatorTree(bool refresh)
{
    NavigatorTreeFill fill(m_inspection, iModeValuation);
    fillTree(fill, refresh);
}

void InspectionAnalysisBallFancy::fillExpertTree(bool refresh)
{
    ExpertTreeFill fill(m_inspection, iModeValuation);
    fillTree(fill, refresh);
}

// A refresh rewrites the values in the tree's model, keeping rows, expansion
// and selection; a model that no longer fits the examination is built anew.
void InspectionAnalysisBallFancy::fillTree(ScoringTreeFill &fill, bool refresh)
{
    if (fill.readResult() != StoreResult::Ok)
        ReadRefusal::tell(this, fill.readResult(), m_inspection->path, tr("отметки записанных тестов"));
    followTree(false);
    auto *model = qobject_cast<QStandardItemModel *>(m_tree->model());
    QItemSelectionModel *selection = m_tree->selectionModel();
    const QModelIndexList selected = selection->selectedIndexes();
    const QList<QPersistentModelIndex> remembered(selected.begin(), selected.end());
    if (refresh && model && fill.refresh(*model)) {
        for (const QPersistentModelIndex &index : remembered)
            selection->select(index, QItemSelectionModel::Select);
    } else {
        putTreeModel(fill.build());
        const QVector<int> widths = fill.columnWidths();
        for (int column = 0; column < widths.size(); ++column) {
            if (widths[column] >= 0)
                m_tree->setColumnWidth(column, widths[column]);
        }
        removeImageListModels();
    }
    followTree(true);
}

void InspectionAnalysisBallFancy::onSelectionChangeNavigator(const QItemSelection &, const QItemSelection &)
{
    QCoreApplication::processEvents();
    if (m_selectionReaction && !m_tree->selectionModel()->selection().isEmpty()) {
        fillImageLists();
        updateUi();
    }
    m_selectionReaction = true;
}

void InspectionAnalysisBallFancy::moveSelection(const std::function<QModelIndex(const QModelIndex &)> &target)
{
    m_selectionReaction = false;
    QItemSelectionModel *selection = m_tree->selectionModel();
    const QModelIndexList remembered = selection->selectedIndexes();
    selection->clearSelection();
    for (const QModelIndex &cell : remembered) {
        const QModelIndex moved = target(cell);
        if (moved.isValid())
            selection->setCurrentIndex(moved, QItemSelectionModel::Select);
    }
    if (selection->selectedIndexes().isEmpty()) {
        for (const QModelIndex &cell : remembered)
            selection->setCurrentIndex(cell, QItemSelectionModel::Select);
    }
}

void InspectionAnalysisBallFancy::selectChannel(int group)
{
    moveSelection([group](const QModelIndex &cell) { return cell.sibling(group, cell.column()); });
    updateUi();
}

void InspectionAnalysisBallFancy::stepGroup(int step)
{
    Inspection *examination = m_inspection;
    moveSelection([examination, step](const QModelIndex &cell) {
        const Inspection::_Test *test = examination ? examination->test(questKeyOf(cell).iTest) : nullptr;
        if (!test)
            return QModelIndex();
        const int column = cell.column();
        if ((column > 1 && step < 0) || (step > 0 && column < test->presentationCount()))
            return cell.siblingAtColumn(column + step);
        return QModelIndex();
    });
    fillImageLists();
    updateUi();
}

void InspectionAnalysisBallFancy::onSelectChannelGSR(bool checked)
{
    if (checked)
        selectChannel(0);
}

void InspectionAnalysisBallFancy::onSelectChannelPG(bool checked)
{
    if (checked)
        selectChannel(1);
}

void InspectionAnalysisBallFancy::onSelectChannelRG(bool checked)
{
    if (checked)
        selectChannel(2);
}

void InspectionAnalysisBallFancy::onShowGroupPrevAction()
{
    stepGroup(-1);
}

void InspectionAnalysisBallFancy::onShowGroupNextAction()
{
    stepGroup(+1);
}
