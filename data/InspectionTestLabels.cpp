// Marks recorded while the questions of a test were presented.
#include "InspectionTest.h"

namespace {

// The last mark of a list that started before a tick; null if none.
const InspectionLabel *lastStartedBefore(const QVector<InspectionLabel> &list, int tick)
{
    for (int i = list.size() - 1; i >= 0; --i) {
        if (list[i].TickQStart < tick)
            return &list[i];
    }
    return nullptr;
}

}  // namespace

void InspectionTest::appendLabel(const InspectionLabel &label)
{
    (label.isNull() ? labelsNULL : labels).append(label);
}

void InspectionTest::removeLastLabel()
{
    const InspectionLabel *latest = latestLabel();
    if (!latest)
        return;
    (latest->isNull() ? labelsNULL : labels).removeLast();
}

InspectionLabel *InspectionTest::findLabel(int group, int theme)
{
    QVector<InspectionLabel> &list = theme > 9999 ? labelsNULL : labels;
    for (InspectionLabel &label : list) {
        if (label.Group == group && (theme == -1 || label.Theme == theme))
            return &label;
    }
    return nullptr;
}

// The latest mark of both lists: the one that ends later; on a tie the one that
// started later, and on a full tie the ordinary one, so a latest mark always exists
// while any mark does.
const InspectionLabel *InspectionTest::latestLabel() const
{
    const InspectionLabel *a = labelsNULL.isEmpty() ? nullptr : &labelsNULL.last();
    const InspectionLabel *b = labels.isEmpty() ? nullptr : &labels.last();
    if (!a || !b)
        return a ? a : b;
    if (a->TickQEnd != b->TickQEnd)
        return a->TickQEnd > b->TickQEnd ? a : b;
    return a->TickQStart > b->TickQStart ? a : b;
}

const InspectionLabel *InspectionTest::labelAt(int tick) const
{
    const InspectionLabel *a = lastStartedBefore(labelsNULL, tick);
    const InspectionLabel *b = lastStartedBefore(labels, tick);
    if (!a || !b)
        return a ? a : b;
    return b->TickQEnd > a->TickQEnd ? b : a;
}

InspectionLabel *InspectionTest::labelBefore(int tick)
{
    return const_cast<InspectionLabel *>(tick < 0 ? latestLabel() : labelAt(tick));
}

InspectionLabel InspectionTest::labelInForce(int tick) const
{
    if (tick < 0) {
        const InspectionLabel *latest = latestLabel();
        return latest ? *latest : InspectionLabel();
    }
    // A missing candidate counts as a zeroed mark in the comparison.
    const InspectionLabel *a = lastStartedBefore(labelsNULL, tick);
    const InspectionLabel *b = lastStartedBefore(labels, tick);
    const int aEnd = a ? a->TickQEnd : 0;
    if (b && b->TickQEnd > aEnd)
        return *b;
    return a ? *a : InspectionLabel();
}

InspectionLabel *InspectionTest::labelAfter(int group, int theme)
{
    for (int i = 0; i + 1 < labels.size(); ++i) {
        if (labels[i].Group == group && labels[i].Theme == theme)
            return &labels[i + 1];
    }
    return nullptr;
}

bool InspectionTest::isPresentationDone(int pos)
{
    const InspectionLabel *inForce = labelBefore(pos);
    if (!inForce)
        return true;
    const int marks = labels.size() + labelsNULL.size();
    const int questions = themis.size() + themisNULL.size();
    if (marks == 0 || questions == 0 || marks % questions != 0)
        return false;
    return inForce->TickQEnd + ia.lengthTicks() <= pos;
}

bool InspectionTest::canFinishRecording(int pos)
{
    return (labels.isEmpty() && labelsNULL.isEmpty()) || isPresentationDone(pos);
}

int InspectionTest::nextOrderIndex(int group, int theme, bool sameGroup)
{
    auto isMarked = [this](const InspectionOrder &entry) { return findLabel(entry.Group, entry.Theme) != nullptr; };

    if (const InspectionLabel *current = findLabel(group, theme)) {
        const InspectionLabel made = *current;
        for (int i = 0; i < orders.size(); ++i) {
            const InspectionOrder &entry = orders[i];
            if (!entry.isQuestion())
                continue;
            if (sameGroup) {
                if (entry.Group == made.Group && !isMarked(entry))
                    return i;
            } else if (const InspectionLabel *mark = findLabel(entry.Group, entry.Theme)) {
                if (mark->TickQStart > made.TickQStart)
                    return i;
            }
        }
    }
    for (int i = 0; i < orders.size(); ++i) {
        if (orders[i].isQuestion() && (!sameGroup || !isMarked(orders[i])))
            return i;
    }
    return -1;
}
