#pragma once

#include "data/ChannelUI.h"
#include "data/Inspection.h"

// A test whose channel records point at display settings of its own (the
// factory defaults), so painter tests and the benchmark read no stored
// settings. Not copyable: the records point into it.
class PolygramFixture
{
public:
    static constexpr int kHour = 72000;

    PolygramFixture();
    PolygramFixture(const PolygramFixture &) = delete;
    PolygramFixture &operator=(const PolygramFixture &) = delete;

    Inspection::_Test test;
    ChannelUITable looks;

    // An hour of all thirteen channels, shown in stacked bands: synthetic
    // signals, nine questions and a null question a presentation, a mark
    // every ten seconds, filter 1 on for pulse and the extra channel and
    // filter 2 for pressure.
    void fillOneHour();
};
