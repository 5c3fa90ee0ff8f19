#pragma once

// How the live view paces one round at a sweep: sub-frames drawn per new
// position, the least time each stays on screen, and the fraction of a
// position the drawing moves on between two of them.
struct SweepPacing {
    int subFrames = 0;
    int deadlineMs = 0;
    float step = 0.0f;

    // The row of the sweep table; subFrames 0 for a sweep outside it.
    static SweepPacing of(int sweepMs);
};
