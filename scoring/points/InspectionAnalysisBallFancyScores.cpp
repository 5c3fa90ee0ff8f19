// Changes of the points window's scores, weights and excluded presentations,
// each saved into the subject file at once.
#include "InspectionAnalysisBallFancy.h"
#include "BallFancyShared.h"

#include "MatrixBallDlg.h"
#include "QuestKey.h"
#include "data/LargeBlockHeap.h"
#include "data/SharedHelpers.h"
#include "data/TestCaption.h"

#include "data/ReadRefusal.h"
#include "data/RecordedTests.h"
#include "data/SaveRefusal.h"

#include <QAction>
#include <QListView>
#include <QMessageBox>
#include <QScreen>
#include <QStandardItem>

using namespace BallFancy;

namespace {

bool isQuestion(const Inspection::_Test &test, int quest)
{
    return quest >= 0 && quest < test.themis.size();
}

} // namespace

BallValuationMap &InspectionAnalysisBallFancy::activeScale(Inspection::_Test &test) const
{
    switch (iModeValuation) {
    case Scale101:
        return test.valuationBall_101;
    case Scale3210123:
        return test.valuationBall_3210123;
    default:
        return test.valuationBall_012;
    }
}

Inspection::_Test *InspectionAnalysisBallFancy::menuTest() const
{
    return testOfTreeIndex(m_menuIndex);
}

bool InspectionAnalysisBallFancy::changeScores(Inspection::_Test *test,
                                                const std::function<void(Inspection::_Test &)> &change)
{
    if (!m_inspection || !test)
        return false;
    const Inspection::_Test before = *test;
    const QUuid id = test->id;
    change(*test);
    // The question box runs events: the test is found again by its id.
    StoreResult last = m_inspection->saveBallValuation(test);
    const auto save = [this, id, &last] { return last = saveScoresOf(id); };
    const SaveRefusal::Outcome outcome = SaveRefusal::settle(this, m_inspection->path, last, save, false,
                                                             scoresOf(id));
    if (outcome != SaveRefusal::Outcome::Dropped)
        return true;
    if (Inspection::_Test *kept = m_inspection->testWithId(id))
        showStoredScores(*kept, before, last);
    updateTree();
    fillImageLists();
    return false;
}

StoreResult InspectionAnalysisBallFancy::saveScoresOf(const QUuid &id)
{
    Inspection::_Test *test = m_inspection->testWithId(id);
    return test ? m_inspection->saveBallValuation(test) : StoreResult(StoreResult::Changed, tr("Тест удалён"));
}

QString InspectionAnalysisBallFancy::scoresOf(const QUuid &id) const
{
    const int index = m_inspection->indexOfTest(id);
    return index < 0 ? QString() : tr("оценки теста «%1»").arg(testCaption(*m_inspection, index));
}

void InspectionAnalysisBallFancy::showStoredScores(Inspection::_Test &test, const Inspection::_Test &before,
                                                   const StoreResult &refused)
{
    test.valuationBall_012 = before.valuationBall_012;
    test.valuationBall_101 = before.valuationBall_101;
    test.valuationBall_3210123 = before.valuationBall_3210123;
    std::copy(std::begin(before.valuationBall_ChannelK), std::end(before.valuationBall_ChannelK),
              std::begin(test.valuationBall_ChannelK));
    test.valuationBall_GroupsDisabled = before.valuationBall_GroupsDisabled;
    // Another program's scores are what the file holds now.
    if (refused == StoreResult::Changed)
        ReadRefusal::rereadTest(this, *m_inspection, test);
}

void InspectionAnalysisBallFancy::setWeight(int group)
{
    auto *action = qobject_cast<QAction *>(sender());
    const float weight = action ? action->data().toFloat() : -1.0f;
    if (weight < 0.0f || weight > kMaxWeight)
        return;
    if (changeScores(menuTest(), [group, weight](Inspection::_Test &test) { test.valuationBall_ChannelK[group] = weight; }))
        updateTree();
}

void InspectionAnalysisBallFancy::onSetGSR()
{
    setWeight(0);
}

void InspectionAnalysisBallFancy::onSetPG()
{
    setWeight(1);
}

void InspectionAnalysisBallFancy::onSetRG()
{
    setWeight(2);
}

void InspectionAnalysisBallFancy::onSetGroup()
{
    auto *action = qobject_cast<QAction *>(sender());
    Inspection::_Test *test = menuTest();
    if (!action || !test || !isPresentation(*test, action->data().toInt()))
        return;
    const int presentation = action->data().toInt();
    const bool changed = changeScores(test, [presentation](Inspection::_Test &t) {
        if (!t.valuationBall_GroupsDisabled.remove(presentation))
            t.valuationBall_GroupsDisabled.insert(presentation);
    });
    if (changed)
        updateTree();
}

void InspectionAnalysisBallFancy::onClearTest()
{
    const Inspection::_Test *asked = menuTest();
    if (!asked)
        return;
    const QUuid id = asked->id;
    const QString question = tr("Вы действительно хотите удалить данные для: '%0'?").arg(testCaption(*m_inspection, m_inspection->indexOfTest(id)));
    if (QMessageBox::question(this, tr("Воркел"), question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    // The examination may have been read anew while the question was open.
    Inspection::_Test *test = m_inspection ? m_inspection->testWithId(id) : nullptr;
    if (!test || !ReadRefusal::readRecording(this, *m_inspection, *test))
        return;
    changeScores(test, [this](Inspection::_Test &t) { activeScale(t).clear(); });
    updateTitle();
    fillImageLists();
}

void InspectionAnalysisBallFancy::onClearAll()
{
    if (!m_inspection)
        return;
    const QString question = tr("Вы действительно хотите удалить данные для всех тестов?");
    if (QMessageBox::question(this, tr("Воркел"), question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    // The first refusal ends the run: what follows would be refused the same way.
    forEachRecordedTest(*m_inspection, [this](Inspection::_Test &test) {
        return ReadRefusal::readRecording(this, *m_inspection, test)
               && changeScores(&test, [](Inspection::_Test &t) {
                   t.valuationBall_012.clear();
                   t.valuationBall_101.clear();
                   t.valuationBall_3210123.clear();
               });
    });
    updateTitle();
    fillImageLists();
}

void InspectionAnalysisBallFancy::enableQuestion(Inspection::_Test &test, int quest, int presentation, bool enabled)
{
    BallValuationMap &scale = activeScale(test);
    Inspection::_BallValuation entry = scale.value(presentation).value(quest);
    entry.iGroup = presentation;
    entry.iQuest = quest;
    entry.bEnable = enabled;
    scale[presentation][quest] = entry;
}

void InspectionAnalysisBallFancy::notifyCloseQuestFomImage(QListView *sender, int iIndexTest, int iGroup, int iQuest)
{
    Q_UNUSED(sender);
    Inspection::_Test *test = m_inspection ? m_inspection->test(iIndexTest) : nullptr;
    if (!test || !isQuestion(*test, iQuest) || !isPresentation(*test, iGroup))
        return;
    const bool changed = changeScores(test, [this, iGroup, iQuest](Inspection::_Test &t) {
        for (int presentation = 1; presentation <= t.presentationCount(); ++presentation) {
            if (!activeScale(t).value(presentation).contains(iQuest))
                enableQuestion(t, iQuest, presentation, true);
        }
        enableQuestion(t, iQuest, iGroup, false);
    });
    if (changed)
        updateTree();
    fillImageLists();
}

void InspectionAnalysisBallFancy::onItemChanged_CheckedUnchecked(QStandardItem *item)
{
    if (!m_inspection || !item || !item->isCheckable())
        return;
    const QuestKey key = questKeyOf(item->index());
    Inspection::_Test *test = m_inspection->test(key.iTest);
    if (!test || !isQuestion(*test, key.iQuest))
        return;
    const bool enabled = item->checkState() == Qt::Checked;
    const bool changed = changeScores(test, [this, &key, enabled](Inspection::_Test &t) {
        for (int presentation = 1; presentation <= t.presentationCount(); ++presentation)
            enableQuestion(t, key.iQuest, presentation, enabled);
    });
    if (changed)
        updateTree();
    fillImageLists();
}

// The reactions of the current cell's test as a grid.
void InspectionAnalysisBallFancy::onShowTableImages()
{
    Inspection::_Test *test = currentTest();
    if (!test)
        return;
    const bool read = ReadRefusal::readRecording(this, *m_inspection, *test);
    LargeBlockHeap::returnFreed();
    if (!read)
        return;
    // A copy of its own: the subject may be read anew while the table is open.
    Inspection::_Test shown = *test;
    MatrixBallDlg dialog(&shown, this);
    // The whole screen also where no window manager maximises.
    dialog.setGeometry(screen()->availableGeometry());
    dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
    dialog.exec();
}
