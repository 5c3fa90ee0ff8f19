#pragma once

#include "data/ChannelUI.h"
#include "data/Inspection.h"

// A test bound to the program-wide channel display table, which it resets to
// the factory settings, so painter tests and the benchmark read no stored
// settings. One fixture at a time: they share that table.
class PolygramFixture
{
public:
    static constexpr int kHour = 72000;

    PolygramFixture();
    PolygramFixture(const PolygramFixture &) = delete;
    PolygramFixture &operator=(const PolygramFixture &) = delete;

    Inspection::_Test test;
    ChannelUITable &looks;

    // An hour of all thirteen channels, shown in stacked bands: synthetic
    // signals, nine questions and a null question a presentation, a mark
    // every ten seconds, filter 1 on for pulse and the extra channel and
    // filter 2 for pressure.
    void fillOneHour();
    // The same signals and marks for a recording of any length.
    void fill(int ticks);
    // Every channel moving, as in a recording: noise of the given amplitude on each sample.
    void addNoise(int amplitude);
};
