#pragma once

#include <QColor>

// Display settings of one channel type, shared by every view of every test.
struct ChannelUI {
    int code = 0;
    bool bEnable = false;
    int nPenWidth = 0;
    QColor rgbColor;
    QColor rgbTubeColor;
    bool bAmp2 = false;
    int nChannelPos = 0;
    bool bEnableFilter = false;
    bool bEnableFilter2 = false;
    bool bInverse = false;
};
