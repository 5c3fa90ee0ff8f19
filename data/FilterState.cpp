#include "FilterState.h"

double lowPassFilterA(FilterState &state, double x)
{
    const double y = x / 34.923795 + (1.5198 * state.s2 + (-0.6384) * state.s3);
    const double out = state.s3 + (2.0 * state.s2 + y);
    state.s4 = state.s3;
    state.s3 = state.s2;
    state.s2 = y;
    return out;
}

double lowPassFilterB(FilterState &state, double x)
{
    const double y = x / 143.0526187857 + (1.749922 * state.s0 + (-0.7777734) * state.s1);
    const double out = state.s1 + (2.0 * state.s0 + y);
    state.s1 = state.s0;
    state.s0 = y;
    return out;
}

// A fresh record is the reset state: all history zero, 30 zero buffer entries.
void resetFilterState(FilterState &state) { state = FilterState(); }

void initFilterState(FilterState &state) { resetFilterState(state); }
