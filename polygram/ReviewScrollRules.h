#pragma once

#include "data/Inspection.h"

// The review scroll area's arithmetic without a window: scroll values are view
// pixels, a sweep S shows S / 1000 ticks per pixel, all in integer division.
class ReviewScrollRules
{
public:
    // A span under one view width takes sweep index 0, each further quarter
    // of a width one index more, up to the last.
    static constexpr double kSweepStepWidths = 0.25;
    // A group start this close to the left edge counts as aligned.
    static constexpr int kAlignedTicks = 29;

    static int tickAt(int scrollValue, int sweep) { return scrollValue * sweep / 1000; }
    static int scrollValueOf(int tick, int sweep) { return tick * 1000 / sweep; }
    // The horizontal range's maximum for a test of samples ticks in an area
    // of width pixels whose vertical bar takes extent of them.
    static int horizontalMaximum(int samples, int width, int extent, int sweep);
    // One screen: scroll values are already view pixels at every sweep.
    static int horizontalPageStep(int width, int extent);
    // The scroll value that keeps the left-edge tick when the sweep changes.
    static int keepLeftTick(int scrollValue, int oldSweep, int newSweep);

    // The first mark of the group of the first mark, in list order, whose
    // question starts strictly between the view's left and right edge ticks;
    // null without one.
    static Inspection::_Label *currentGroupStart(Inspection::_Test &test, int scrollValue, int viewWidth, int sweep);
    // Ticks from the end of a group's first question to the end of its last
    // one plus the test's analysis interval.
    static int groupSpan(const Inspection::_Test &test, const Inspection::_Label &first);
    // The smallest sweep index under which span ticks fit viewWidth pixels.
    static int fitSweepIndex(int span, int viewWidth);
    // The mark a previous (-1) or next (+1) step goes to: the current group's
    // start, or the neighbour's start once the view is aligned at it; null
    // when there is nowhere to go.
    static Inspection::_Label *stepTarget(Inspection::_Test &test, int scrollValue, int viewWidth, int sweep,
                                          int step);
    // The tick at the right edge of a magnifier picture halfWidth pixels from
    // its middle at view x; a test shorter than the view moves it left by the
    // difference.
    static int zoomEndTick(int scrollValue, int x, int halfWidth, int viewWidth, int samples, int sweep);
};
