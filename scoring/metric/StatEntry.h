#pragma once

#include <QUuid>
#include <QtGlobal>

// One recorded presentation of a question as the statistical scoring sees it.
struct StatEntry {
    // Classes of the fit; the kinds of the international set count as neither
    // control nor excluded, so they join the neutral class.
    enum Kind : qint32 {
        Neutral = 0,
        Control = 1,
        Excluded = 2,  // scored, but left out of the fit
    };

    qint32 kind = Neutral;
    // The label's presentation, numbered on across the tests of the examination.
    qint32 globalGroup = 0;
    QUuid testId;
    qint32 group = 0;
    qint32 quest = 0;
};
