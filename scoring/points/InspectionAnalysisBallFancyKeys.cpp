// Scoring with the keyboard over the points window's tree and fragment lists.
#include "InspectionAnalysisBallFancy.h"
#include "BallFancyShared.h"

#include "FragmentPanel.h"
#include "FragmentListFill.h"
#include "PointerTracker.h"
#include "QuestKey.h"
#include "_QListView.h"
#include "_QTreeViewExpand.h"
#include "data/SharedHelpers.h"

#include <QItemSelectionModel>
#include <QKeyEvent>

using namespace BallFancy;

bool InspectionAnalysisBallFancy::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !isVisible())
        return Fancy::FancyMainWindow::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    // Ctrl with the arrows moves in the views.
    if (key->modifiers() & Qt::ControlModifier)
        return false;
    const bool modifierAlone = key->key() == Qt::Key_Shift || key->key() == Qt::Key_Alt || key->key() == Qt::Key_Meta
        || key->key() == Qt::Key_AltGr;
    if (!modifierAlone)
        enterBallKey(key->modifiers() & Qt::ShiftModifier ? -1 : +1, ballKeyOf(key));
    return true;
}

void InspectionAnalysisBallFancy::enterBallKey(int sign, BallKey key)
{
    if (!m_inspection)
        return;
    if (sign < 0)
        showCurrentOnPoligramme();
    else if (key == BallKeyWeight)
        weightKeyOverTree();
    else if (key == BallKeySpace)
        stepDown();
    else if (digitValue(key) >= 0)
        scoreImageUnderPointer(digitValue(key));
}

// The current image of the shown lists, else the tree's current cell.
void InspectionAnalysisBallFancy::showCurrentOnPoligramme()
{
    QuestKey key = questKeyOf(m_tree->currentIndex());
    for (FragmentPanel *panel : m_fragments) {
        if (panel->options().bVisiblePanel && panel->list()->model())
            key = questKeyOf(panel->list()->currentIndex());
    }
    Inspection::_Test *test = m_inspection->test(key.iTest);
    const InspectionLabel *mark = test ? test->findLabel(key.iGroup, key.iQuest) : nullptr;
    if (!mark)
        return;
    static const int channels[] = {ChannelCode::GSR, ChannelCode::PG, ChannelCode::RG_HI};
    const int channel = key.iParam >= 0 && key.iParam < 3 ? channels[key.iParam] : -1;
    emit notifyShowPoligrammeFromBall(key.iTest, mark->TickQStart, channel);
}

// Over a channel row's name the weight cycles 0.0, 0.5 ... 3.0; over a
// presentation column the presentation is left out of the sums or taken back.
void InspectionAnalysisBallFancy::weightKeyOverTree()
{
    if (!m_treePointer->isInside())
        return;
    const QModelIndex item = m_tree->indexAt(m_treePointer->position());
    Inspection::_Test *test = item.isValid() ? testOfTreeIndex(item) : nullptr;
    if (!test)
        return;
    bool changed = false;
    if (item.column() == 0) {
        const bool channelRow = iModeInput == Navigator ? item.parent().isValid()
                                                        : item.parent().isValid() && item.parent().parent().isValid();
        const int group = item.row();
        if (!channelRow || group > 2)
            return;
        changed = changeScores(test, [group](Inspection::_Test &t) {
            float weight = t.valuationBall_ChannelK[group] + 0.5f;
            if (weight > kMaxWeight)
                weight = 0.0f;
            if (weight < 0.0f)
                weight = kMaxWeight;
            t.valuationBall_ChannelK[group] = weight;
        });
    } else if (isPresentation(*test, item.column())) {
        const int presentation = item.column();
        changed = changeScores(test, [presentation](Inspection::_Test &t) {
            if (!t.valuationBall_GroupsDisabled.remove(presentation))
                t.valuationBall_GroupsDisabled.insert(presentation);
        });
    }
    if (changed)
        updateTree();
}

// Space: the sums brought up to date, then on to the next channel row, the
// next presentation, or past the last one to empty lists.
void InspectionAnalysisBallFancy::stepDown()
{
    updateTree();
    QItemSelectionModel *selection = m_tree->selectionModel();
    const QModelIndexList selected = selection->selectedIndexes();
    if (selected.size() >= 2) {
        for (const QModelIndex &cell : selected)
            selection->select(cell, QItemSelectionModel::Select);
        updateUi();
        return;
    }
    const QModelIndex current = m_tree->currentIndex();
    if (!current.isValid() || !(current.flags() & Qt::ItemIsSelectable))
        return;
    QModelIndex next = current.sibling(current.row() + 1, current.column());
    if (!next.isValid()) {
        const int column = current.column() + 1;
        const Inspection::_Test *test = m_inspection->test(questKeyOf(current).iTest);
        next = test && column <= test->presentationCount() ? current.sibling(0, column) : QModelIndex();
        if (!next.isValid())
            removeImageListModels();
    }
    if (next.isValid())
        m_tree->setCurrentIndex(next);
    updateUi();
}

// The score a digit key gives in the active scale; -1 for a key the scale has not.
int InspectionAnalysisBallFancy::digitValue(BallKey key) const
{
    static const int highest[] = {2, 1, 3};
    const int digit = key - BallKeyDigit0;
    if (iModeValuation < 0 || iModeValuation > 2 || digit < 0 || digit > highest[iModeValuation])
        return -1;
    return digit;
}

// The score of the image under the pointer, negative in the lower half of the
// image in the signed scales; saved at once and drawn on the image.
void InspectionAnalysisBallFancy::scoreImageUnderPointer(int value)
{
    int panel = -1;
    for (int candidate = 1; candidate >= 0; --candidate) {
        if (m_listPointers[candidate]->isInside() && m_fragments[candidate]->list()->isVisible())
            panel = candidate;
    }
    if (panel < 0)
        return;
    _QListView *list = m_fragments[panel]->list();
    const QPoint pointer = m_listPointers[panel]->position();
    const QModelIndex image = list->indexAt(pointer);
    if (!image.isValid())
        return;
    const bool signedScale = iModeValuation != Scale012;
    const QRect area = list->imageRect(image);
    if (signedScale && pointer.y() >= area.top() + (area.height() + 1) / 2)
        value = -value;
    const QuestKey key = questKeyOf(image);
    Inspection::_Test *test = m_inspection->test(key.iTest);
    if (!test || !test->findLabel(key.iGroup, key.iQuest) || key.iParam < 0 || key.iParam > 2)
        return;
    if (signedScale && test->theme(key.iQuest).Type != QuestionKind::Test) {
        m_warningTone();
        return;
    }
    Inspection::_BallValuation entry = activeScale(*test).value(key.iGroup).value(key.iQuest);
    entry.iGroup = key.iGroup;
    entry.iQuest = key.iQuest;
    entry.setScore(key.iParam, value);
    const QUuid id = test->id;
    if (!changeScores(test, [this, &entry](Inspection::_Test &t) { activeScale(t)[entry.iGroup][entry.iQuest] = entry; }))
        return;
    // A retried save ran events: the test is found again.
    test = m_inspection->testWithId(id);
    if (!test)
        return;
    QPixmap picture = image.data(FragmentListFill::PlainPictureRole).value<QPixmap>();
    const FragmentOptions options = FragmentListFill::fragmentOptions(m_fragments[panel]->options(), 0);
    FragmentPicture::drawBallOverlay(picture, key.iParam, entry, test, key.iGroup, key.iQuest, iModeValuation, options);
    list->model()->setData(image, picture, Qt::DecorationRole);
}
