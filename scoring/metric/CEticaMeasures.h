#pragma once

// Samples between two records of the reaction features, and between two
// breathing window evaluations: half a second at 20 samples per second.
constexpr int eticaDecimationStep = 10;

// Running measures of one channel, as the reaction features record them.
struct CEticaMeasures {
    double amplitude = 0.0;
    double period = 0.0;
    double level = 0.0;
};
