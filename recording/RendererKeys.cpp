#include "Renderer.h"

#include "SensorReader.h"
#include "_QSecondMonitor.h"
#include "data/ChannelBindings.h"
#include "polygram/InputState.h"

namespace {
constexpr int ShiftStep = 25;

// A mark closed this soon after it opened is still drawn LeastMarkLength long.
qint32 closedAt(qint32 opened, int p)
{
    return p - opened > Renderer::LeastMarkLength - 1 ? p : opened + Renderer::LeastMarkLength;
}
}  // namespace

void Renderer::keyPress(int key)
{
    switch (key) {
    case Qt::Key_Space:
        presentNextQuestion();
        emit labelsChanged();
        break;
    case Qt::Key_Backspace: {
        {
            QMutexLocker lock(mutex);
            test->removeLastLabel();
        }
        emit labelsChanged();
        break;
    }
    case Qt::Key_Shift:
        m_channelSelected = 1;
        break;
    default:
        adjustChannel(key, InputState::current().modifiers);
    }
}

void Renderer::keyRelease(int key)
{
    if (key == Qt::Key_Space)
        closeMark(reader->currentPosition());
    else if (key == Qt::Key_Shift)
        m_channelSelected = 0;
}

void Renderer::adjustChannel(int key, Qt::KeyboardModifiers modifiers)
{
    if (!(modifiers & Qt::ShiftModifier))
        return;
    if (key == Qt::Key_PageDown || key == Qt::Key_PageUp) {
        m_selectedChannel = nextEnabledChannel(*test, m_selectedChannel, key == Qt::Key_PageDown ? 1 : -1);
        return;
    }
    const bool hardware = modifiers & Qt::ControlModifier;
    // The unit's gain and zero stay put through a presentation.
    if (hardware && !test->canFinishRecording(reader->currentPosition()))
        return;
    InspectionChannel &record = test->channel(m_selectedChannel);
    const bool vertical = key == Qt::Key_Up || key == Qt::Key_Down;
    const bool horizontal = key == Qt::Key_Left || key == Qt::Key_Right;
    const int sign = (key == Qt::Key_Up || key == Qt::Key_Right) ? 1 : -1;
    if (vertical && hardware) {
        const int step = record.Inverse && *record.Inverse ? -ShiftStep : ShiftStep;
        moveChannelShift(record, sign * step);
    } else if (vertical) {
        moveChannelOffset(record, sign * OffsetKeyStep);
    } else if (horizontal && hardware) {
        changeChannelGain(record, sign);
    } else if (horizontal) {
        changeChannelAmplify(record, sign * AmplifyKeyStep);
    }
}

void Renderer::presentNextQuestion()
{
    const InspectionLabel latest = test->labelInForce(-1);
    int p = reader->currentPosition();
    int n = 2;
    if (latest.Group == 0) {
        reader->clearPolygramStart();
        p = reader->currentPosition();
    } else if (p - latest.TickQEnd < test->ia.lengthTicks()) {
        openAnswerMark(latest, p);
        return;
    } else {
        QMutexLocker lock(mutex);
        n = test->nextOrderIndex(latest.Group, latest.Theme, !test->recorded);
    }
    InspectionOrder entry;
    {
        QMutexLocker lock(mutex);
        if (n < 2 || n >= test->orders.size())
            return;
        entry = test->orders.at(n);
    }
    showOnSecondMonitor(entry);
    InspectionLabel mark;
    mark.Group = entry.Group;
    mark.Theme = entry.Theme;
    mark.TickQStart = mark.TickQEnd = p;
    QMutexLocker lock(mutex);
    test->appendLabel(mark);
}

void Renderer::openAnswerMark(const InspectionLabel &latest, int p)
{
    if (latest.TickAStart != 0 || !settings.bEnableLabelAnswere)
        return;
    QMutexLocker lock(mutex);
    if (InspectionLabel *mark = test->findLabel(latest.Group, latest.Theme))
        mark->TickAStart = mark->TickAEnd = p;
}

void Renderer::showOnSecondMonitor(const InspectionOrder &entry)
{
    if (!holdsTest())
        return;
    QString text;
    {
        QMutexLocker lock(mutex);
        const InspectionTheme &question = test->theme(entry.Theme);
        if (test->ShowAllQuestSecondMonitor || question.ShowQuestToSecondMonitor)
            text = question.Theme;
    }
    secondMonitor->present(text, secondMonitor->picture(entry.Theme));
}

void Renderer::closeMark(int p)
{
    {
        QMutexLocker lock(mutex);
        InspectionLabel *mark = test->labelBefore(-1);
        if (!mark)
            return;
        if (mark->TickQEnd == mark->TickQStart)
            mark->TickQEnd = closedAt(mark->TickQEnd, p);
        else if (settings.bEnableLabelAnswere && mark->TickAEnd == mark->TickAStart && mark->TickAStart != 0)
            mark->TickAEnd = closedAt(mark->TickAEnd, p);
    }
    if (holdsTest())
        secondMonitor->present(QString(), nullptr);
}

bool Renderer::holdsTest() const { return secondMonitor && secondMonitor->test == test; }

QString Renderer::questionText(int planIndex) const
{
    if (planIndex < 0 || planIndex >= test->orders.size())
        return QString();
    return test->theme(test->orders.at(planIndex).Theme).Theme;
}

QString Renderer::updateCurrentQuestion(int d)
{
    const bool within = reader->isRecording();
    const InspectionLabel *mark = test->labelBefore(-1);
    if (!reader->isRecording()) {
        const InspectionLabel *before = test->labelBefore(d);
        if (before == mark)
            return QString();
        mark = before;
    }
    if (!mark)
        return questionText(test->nextOrderIndex(0, 0, within));
    QString text;
    if (d - mark->TickQEnd > test->ia.lengthTicks() + 4)
        text = questionText(test->nextOrderIndex(mark->Group, mark->Theme, within));
    const bool open = mark->TickQStart == mark->TickQEnd;
    if (open || (!reader->isRecording() && d < mark->TickQEnd))
        text = test->theme(mark->Theme).Theme;
    return text;
}
