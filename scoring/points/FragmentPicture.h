#pragma once

#include "data/Inspection.h"

#include <QPixmap>
#include <QVector>

// How a fragment picture is drawn: the panel's size and time scale and its
// display flags.
struct FragmentOptions {
    int unit = 50;           // the picture is 5 x unit pixels high
    int unfold = 1000;       // milliseconds: a span of n ticks is n * 1000 / unfold pixels
    bool allChannels = true;
    bool reactionShades = true;
    bool questionShades = true;
    bool questionText = true;
    bool analysisOnly = false;     // only the analysis interval after the question
    bool questionInterval = true;  // the question's own interval on the left
    bool kindFrame = true;         // the frame in the colour of the question's kind
};

// One question of one presentation as the points window shows it: a stretch
// of the recorded polygram from the question to the next one, and its scores
// drawn over it. The size and scale come as arguments, so any window can draw
// fragments of its own.
class FragmentPicture
{
public:
    // The right end tick E of the stretch and its right pixel edge x2 (the
    // picture is x2 + 1 pixels wide, at least 1 even for overlapping marks).
    struct Span {
        int endTick = 0;
        int right = 0;
    };
    static Span span(const InspectionTest &test, const InspectionLabel &mark, const InspectionLabel *next,
                     const FragmentOptions &options);

    // The channel codes of a channel group: КГР 0; ПГ 4, 7, 9; Дых 2, 3.
    static QVector<int> groupChannels(int group);

    // The picture of question quest in presentation group; a null pixmap
    // when the test has no mark for it.
    static QPixmap renderFragment(InspectionTest *test, int group, int quest, const QVector<int> &channels,
                                  const FragmentOptions &options);
    // The picture of a stretch of the test ending at span.endTick, span.right
    // + 1 pixels wide and height high, framed in the colour of question
    // quest's kind. With allChannels every shown channel is drawn, those not
    // in channels dimmed; else only the channels given.
    static QPixmap drawFragment(InspectionTest *test, int quest, const QVector<int> &channels, const Span &span,
                                int height, const FragmentOptions &options);

    // The three scores of the entry (in scale 012, or on a test question in
    // the other scales), the image's channel group in bold, and the close icon.
    static void drawBallOverlay(QPixmap &picture, int channelGroup, const InspectionBallValuation &entry,
                                InspectionTest *test, int group, int quest, int scale, const FragmentOptions &options);

private:
    static void drawScores(QPainter &painter, int x, int channelGroup, const InspectionBallValuation &entry, int scale);
};
