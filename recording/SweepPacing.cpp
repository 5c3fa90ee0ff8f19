#include "SweepPacing.h"

#include <array>

namespace {
struct Row {
    int sweepMs;
    SweepPacing pacing;
};

// 3250 follows its neighbours so that every choice of the sweep selector draws.
const std::array<Row, 13> rows = {{
    {1000, {1, 0, 0.0f}},
    {1250, {2, 15, 0.5f}},
    {1500, {2, 20, 0.5f}},
    {1750, {2, 25, 0.5f}},
    {2000, {2, 30, 0.5f}},
    {2250, {2, 35, 0.5f}},
    {2500, {3, 25, 0.33f}},
    {2750, {3, 27, 0.33f}},
    {3000, {3, 30, 0.33f}},
    {3250, {3, 32, 0.33f}},
    {3500, {3, 35, 0.33f}},
    {3750, {3, 37, 0.33f}},
    {4000, {3, 40, 0.33f}},
}};
}  // namespace

SweepPacing SweepPacing::of(int sweepMs)
{
    for (const Row &row : rows) {
        if (row.sweepMs == sweepMs)
            return row.pacing;
    }
    return {};
}
