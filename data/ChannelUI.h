#pragma once

#include "ChannelCode.h"

#include <QColor>

#include <array>

struct ChannelUI;
// One entry per channel code, indexed by code. A fixed array: it never
// resizes, so pointers into its fields stay valid for the whole run.
using ChannelUITable = std::array<ChannelUI, ChannelCode::Count>;

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

    // The pen widths the channels page allows; loadAll brings widths within.
    static constexpr int kPenWidthMin = 1, kPenWidthMax = 5;

    // The factory settings of a code; a zeroed entry for an unknown code.
    static ChannelUI defaults(int code);
    // Defaults overlaid with the stored settings. Positions that are not each of
    // 0-12 once fall back to the default positions; pen widths are brought
    // within the page's range.
    static void loadAll(ChannelUITable &table);
    // Writes every entry and flushes.
    static void saveAll(const ChannelUITable &table);
};

// The program-wide table.
ChannelUITable &channelsUI();
// Loads the program-wide table and, on the first call, arranges for it to be
// saved when the process ends. Called first thing in main and in test fixtures.
void initChannelsUI();
