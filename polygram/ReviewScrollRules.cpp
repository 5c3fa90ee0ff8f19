#include "ReviewScrollRules.h"

#include "SweepTable.h"

#include <QtGlobal>

int ReviewScrollRules::horizontalMaximum(int samples, int width, int extent, int sweep)
{
    return qMax(0, samples * 1000 / sweep - (width - extent));
}

int ReviewScrollRules::horizontalPageStep(int width, int extent)
{
    return width - extent;
}

int ReviewScrollRules::keepLeftTick(int scrollValue, int oldSweep, int newSweep)
{
    return scrollValueOf(oldSweep * scrollValue / 1000, newSweep);
}

Inspection::_Label *ReviewScrollRules::currentGroupStart(Inspection::_Test &test, int scrollValue, int viewWidth,
                                                         int sweep)
{
    const int left = tickAt(scrollValue, sweep);
    const int right = tickAt(scrollValue + viewWidth, sweep);
    for (const Inspection::_Label &mark : test.labels)
        if (left < mark.TickQStart && mark.TickQStart < right)
            return test.findLabel(mark.Group, -1);
    return nullptr;
}

int ReviewScrollRules::groupSpan(const Inspection::_Test &test, const Inspection::_Label &first)
{
    int lastEnd = first.TickQEnd;
    for (const Inspection::_Label &mark : test.labels)
        if (mark.Group == first.Group)
            lastEnd = mark.TickQEnd;
    return lastEnd + test.ia.lengthTicks() - first.TickQEnd;
}

int ReviewScrollRules::fitSweepIndex(int span, int viewWidth)
{
    const double widths = double(span) / viewWidth;
    for (int index = 0; index < SweepTable::Count - 1; ++index)
        if (widths < 1.0 + kSweepStepWidths * index)
            return index;
    return SweepTable::Count - 1;
}

Inspection::_Label *ReviewScrollRules::stepTarget(Inspection::_Test &test, int scrollValue, int viewWidth, int sweep,
                                                  int step)
{
    Inspection::_Label *first = currentGroupStart(test, scrollValue, viewWidth, sweep);
    if (!first)
        return nullptr;
    const int left = tickAt(scrollValue, sweep);
    if (qAbs(first->TickQStart - left) > kAlignedTicks)
        return first;
    return test.findLabel(first->Group + step, -1);
}

int ReviewScrollRules::zoomEndTick(int scrollValue, int x, int halfWidth, int viewWidth, int samples, int sweep)
{
    const int end = halfWidth + tickAt(scrollValue + x, sweep);
    const int shown = sweep * viewWidth / 1000;
    return shown > samples ? end - (shown - samples) : end;
}
