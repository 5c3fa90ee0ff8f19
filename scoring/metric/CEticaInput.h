#pragma once

#include <QVector>
#include <QtGlobal>

#include <array>

// The samples and marks of one test as the reaction features read them.
struct CEticaInput {
    // The channels by role, in the order they are updated.
    enum Channel { Pulse, Breathing, SkinGalvanic, ChannelCount };

    // Question end of the first label, in samples.
    int firstQuestionEnd = 0;
    // Per label: samples to the next label's question end; for the last label
    // the analysis length and four samples more.
    QVector<qint32> segmentLengths;
    std::array<QVector<qint16>, ChannelCount> samples;

    int labelCount() const { return segmentLengths.size(); }
    // Samples that every channel has.
    int sampleCount() const;
    // Marks out of order give a negative length.
    bool hasNegativeSegment() const;
};
