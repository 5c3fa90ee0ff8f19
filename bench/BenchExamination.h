#pragma once

#include "data/Inspection.h"

// The shape of a recorded test built for the benchmarks: every channel filled
// for the whole capacity, the presentations one after another in equal spans,
// each question ending a third into its span.
struct BenchTestShape {
    int ticks = 72000;
    int questions = 10;
    int presentations = 60;
    // The question kind of question q.
    int (*kind)(int q) = [](int q) { return q % 3; };
    // The sample of a channel at a tick of test n; by default a sawtooth.
    qint16 (*sample)(const BenchTestShape &shape, int code, int tick, int n)
        = [](const BenchTestShape &, int code, int tick, int n) {
              return qint16((tick * 37 + code * 1009 + n) % 60000 - 30000);
          };
    InspectionAnalysisInterval interval;

    int span() const { return ticks / (presentations * questions); }
};

// Pulse (ПГ, АД), breathing (НДХ, ВДХ) and skin-galvanic samples, with a
// reaction after every question end of a control question: a smaller pulse and
// breath, a rise of the skin-galvanic level. The other channels are flat.
qint16 reactingSample(const BenchTestShape &shape, int code, int tick, int n);

// Test n of a benchmark examination, recorded on n minutes past nine.
Inspection::_Test recordedTest(int n, const BenchTestShape &shape);
