// The points window's fragment lists: filled from the tree's selection, their
// menus, and the places they show or play on the polygram.
#include "InspectionAnalysisBallFancy.h"
#include "BallFancyShared.h"

#include "FragmentPanel.h"
#include "FragmentListFill.h"
#include "QuestKey.h"
#include "data/ReadRefusal.h"
#include "data/ViewModel.h"
#include "_QListView.h"
#include "_QTreeViewExpand.h"
#include "data/ActivePopupMenu.h"
#include "data/LargeBlockHeap.h"
#include "data/WaitCursor.h"

#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QListView>
#include <QScopedValueRollback>
#include <QSet>
#include <QMenu>
#include <QScrollBar>
#include <QStandardItemModel>

using namespace BallFancy;

namespace {

// Samples are recorded every 50 ms.
constexpr int kTicksPerSecond = 20;

// Images are shown at their own size: the icon size is the largest of them.
QSize largestPicture(const QAbstractItemModel &model)
{
    QSize largest(1, 1);
    for (int row = 0; row < model.rowCount(); ++row)
        largest = largest.expandedTo(model.index(row, 0).data(Qt::DecorationRole).value<QPixmap>().size());
    return largest;
}

} // namespace

void InspectionAnalysisBallFancy::removeImageListModels()
{
    for (FragmentPanel *panel : m_fragments)
        replaceViewModel(panel->list(), nullptr);
}

// Panels draw every image again at each fill, so only a visible one is filled.
// A recording that cannot be read is told here; its fragments are left out,
// never drawn as empty.
void InspectionAnalysisBallFancy::readFragmentTests(const QVector<QJsonObject> &selected)
{
    QSet<int> tried;
    for (const QJsonObject &cell : selected) {
        QuestKey key;
        key.fromJson(cell);
        Inspection::_Test *test = m_inspection ? m_inspection->test(key.iTest) : nullptr;
        if (test && test->recorded && !tried.contains(key.iTest)) {
            tried.insert(key.iTest);
            ReadRefusal::readRecording(this, *m_inspection, *test);
        }
    }
}

void InspectionAnalysisBallFancy::updateImageList(int panel)
{
    QListView *list = m_fragments[panel]->list();
    if (!m_tree->model() || !list->isVisible())
        return;
    QScopedValueRollback<bool> filling(m_filling, true);
    list->clearSelection();
    list->setCurrentIndex(QModelIndex());
    list->clearFocus();
    QVector<QJsonObject> selected;
    for (const QModelIndex &cell : m_tree->selectionModel()->selectedIndexes())
        selected << cell.data(QuestKey::Role).toJsonObject();
    readFragmentTests(selected);
    int current = -1;
    QStandardItemModel *model = m_inspection
        ? FragmentListFill(*m_inspection, iModeValuation, panelOptions(panel), imageUnit(list, panelOptions(panel)))
              .build(selected, questKeyOf(m_tree->currentIndex()), &current)
        : new QStandardItemModel(0, 1);
    model->setParent(this);
    replaceViewModel(list, model);
    list->setIconSize(largestPicture(*model));
    if (panel == 0)
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &InspectionAnalysisBallFancy::onSelectionChanged_ListView, Qt::UniqueConnection);
    if (current >= 0) {
        list->setCurrentIndex(model->index(current, 0));
        list->scrollTo(model->index(current, 0));
    }
    list->viewport()->update();
}

// The height unit of the panel's images: its scale, or in auto scale what
// fits the list's height under its scroll bar.
int InspectionAnalysisBallFancy::imageUnit(const QListView *list, const PointsPanelOptions &panel)
{
    if (panel.iScale != -1)
        return panel.iScale;
    const int bar = list->horizontalScrollBar()->isVisible() ? 25 : 5;
    return (list->contentsRect().height() - bar) / 5;
}

void InspectionAnalysisBallFancy::fillImageLists()
{
    const WaitCursor wait;
    updateImageList(0);
    updateImageList(1);
    // The fragments may have read recordings: their freed blocks go back once.
    LargeBlockHeap::returnFreed();
}

QMenu *InspectionAnalysisBallFancy::buildImageListMenu(int panel)
{
    auto *menu = new QMenu;
    QAction *show = menu->addAction(tr("Показать на полиграмме"), this,
                                    panel == 0 ? &InspectionAnalysisBallFancy::onShowQuestToPoligramme
                                               : &InspectionAnalysisBallFancy::onShowQuest2ToPoligramme);
    menu->setDefaultAction(show);
    menu->addAction(tr("Проиграть полиграмму с этого вопроса"), this,
                    panel == 0 ? &InspectionAnalysisBallFancy::onPlayQuest : &InspectionAnalysisBallFancy::onPlayQuest2);
    fragmentPanel(panel)->addMenuEntries(menu, iModeInput == Expert);
    return menu;
}

void InspectionAnalysisBallFancy::openImageListMenu(int panel, const QPoint &point)
{
    QScopedPointer<QMenu> menu(buildImageListMenu(panel));
    ActivePopupMenu marker(menu.data());
    menu->exec(fragmentPanel(panel)->list()->viewport()->mapToGlobal(point));
}

void InspectionAnalysisBallFancy::onImageListMenu(const QPoint &point)
{
    openImageListMenu(0, point);
}

void InspectionAnalysisBallFancy::onImageListMenu2(const QPoint &point)
{
    openImageListMenu(1, point);
}

QuestKey InspectionAnalysisBallFancy::currentImageKey(const QListView *list) const
{
    return questKeyOf(list->currentIndex());
}

void InspectionAnalysisBallFancy::showQuestOnPoligramme(QListView *list)
{
    if (!m_inspection || !list || !list->currentIndex().isValid())
        return;
    const QuestKey key = currentImageKey(list);
    Inspection::_Test *test = m_inspection->test(key.iTest);
    const InspectionLabel *mark = test ? test->findLabel(key.iGroup, key.iQuest) : nullptr;
    if (mark)
        emit notifyShowPoligrammeFromBall(key.iTest, mark->TickQStart, -1);
}

// Panel 1 plays from a second before the question, panel 2 from the question.
void InspectionAnalysisBallFancy::playQuest(int panel)
{
    QListView *list = fragmentPanel(panel)->list();
    if (!m_inspection || !list->currentIndex().isValid())
        return;
    const QuestKey key = currentImageKey(list);
    Inspection::_Test *test = m_inspection->test(key.iTest);
    const InspectionLabel *mark = test ? test->findLabel(key.iGroup, key.iQuest) : nullptr;
    if (mark)
        emit notifyPlayPoligrammeFromBall(key.iTest, panel == 0 ? mark->TickQStart - kTicksPerSecond : mark->TickQStart);
}

void InspectionAnalysisBallFancy::onShowQuestToPoligramme()
{
    showQuestOnPoligramme(fragmentPanel(0)->list());
}

void InspectionAnalysisBallFancy::onShowQuest2ToPoligramme()
{
    showQuestOnPoligramme(fragmentPanel(1)->list());
}

void InspectionAnalysisBallFancy::onPlayQuest()
{
    playQuest(0);
}

void InspectionAnalysisBallFancy::onPlayQuest2()
{
    playQuest(1);
}

void InspectionAnalysisBallFancy::onDoubleClick()
{
    showQuestOnPoligramme(qobject_cast<QListView *>(sender()));
}

// Only auto-scaled images depend on the list's size.
void InspectionAnalysisBallFancy::resizeListImages(int panel, bool shown)
{
    // A new model may show or hide the scroll bar and so resize the list
    // inside the fill itself.
    if (m_filling || (!shown && fragmentPanel(panel)->options().iScale != -1))
        return;
    if (fragmentPanel(panel)->list()->model())
        updateImageList(panel);
}

void InspectionAnalysisBallFancy::onResizeListImages(bool bShow)
{
    resizeListImages(0, bShow);
}

void InspectionAnalysisBallFancy::onResizeListImages2(bool bShow)
{
    resizeListImages(1, bShow);
}

// In expert mode the tree follows the image chosen in list 1, without
// refilling the lists.
void InspectionAnalysisBallFancy::onSelectionChanged_ListView(const QItemSelection &selected, const QItemSelection &)
{
    if (m_tree->selectionModel()->selectedIndexes().size() > 1 || selected.isEmpty() || iModeInput != Expert)
        return;
    const QModelIndex image = selected.indexes().value(0);
    const QuestKey key = questKeyOf(image);
    const QModelIndex testRow = m_tree->currentIndex().parent().parent();
    QAbstractItemModel *model = m_tree->model();
    if (!testRow.isValid() || !model)
        return;
    for (int row = 0; row < model->rowCount(testRow); ++row) {
        const QModelIndex questionRow = model->index(row, 0, testRow);
        for (int child = 0; child < model->rowCount(questionRow); ++child) {
            const QuestKey cell = questKeyOf(model->index(child, key.iGroup, questionRow));
            if (cell.iTest != key.iTest || cell.iGroup != key.iGroup || cell.iQuest != key.iQuest)
                continue;
            const QModelIndex target = model->index(key.iParam, key.iGroup, questionRow);
            if (target.isValid() && target != m_tree->currentIndex()) {
                m_selectionReaction = false;
                m_tree->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
            }
            return;
        }
    }
}
