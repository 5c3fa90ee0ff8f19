#pragma once

#include <QtGlobal>

// Sweeps of the review views: S / 1000 ticks per horizontal pixel.
namespace SweepTable {

constexpr int Count = 13;

// Indices outside the table take its nearest end.
constexpr int sweep(int index)
{
    return 1000 + 250 * qBound(0, index, Count - 1);
}

}  // namespace SweepTable
