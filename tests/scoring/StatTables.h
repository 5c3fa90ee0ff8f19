#pragma once

#include "scoring/metric/CMathStat.h"

#include <random>

// Feature tables for the discriminant fit, made without an examination.
struct StatTable {
    QVector<CMathStat::Row> rows;
    QVector<StatEntry> entries;
    int mask = -1;
};

// A scoring record holding the table, as its feature walk would leave it.
inline CMathStat statOf(const StatTable &table)
{
    CMathStat stat;
    stat.rows = table.rows;
    stat.entries = table.entries;
    stat.featureMask = table.mask;
    return stat;
}

// Presentations of the given question kinds one after another. Each feature
// has a level per presentation, noise per entry and, on control entries, the
// planted shift. Feature 2 is the same everywhere, feature 4 varies only
// between presentations. With sparse set some entries are left out, so
// presentations differ in make-up and some hold a single entry.
inline StatTable syntheticTable(unsigned seed, int presentations, const QVector<int> &kinds,
                                const CMathStat::Row &planted, bool sparse = false)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    StatTable table;
    for (int p = 1; p <= presentations; ++p) {
        CMathStat::Row level;
        for (double &value : level)
            value = 50.0 * noise(random);
        for (int q = 0; q < kinds.size(); ++q) {
            if (sparse && uniform(random) < 0.3)
                continue;
            StatEntry entry;
            entry.kind = kinds[q];
            entry.globalGroup = p;
            entry.group = p;
            entry.quest = q;
            CMathStat::Row row;
            for (size_t j = 0; j < row.size(); ++j)
                row[j] = level[j] + (1.0 + double(j)) * noise(random)
                    + (kinds[q] == StatEntry::Control ? planted[j] : 0.0);
            row[2] = 3.7;
            row[4] = level[4];
            table.entries.append(entry);
            table.rows.append(row);
        }
    }
    return table;
}

// Control entries shifted up on features 0, 3, 5, 6, 11 and 12, down on 7.
inline CMathStat::Row plantedShift() { return {3.0, 0.0, 0.0, 1.0, 0.0, 4.0, 0.5, -6.0, 0.0, 0.0, 0.0, 2.0, 5.0, 0.0}; }
