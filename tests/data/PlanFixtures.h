#pragma once

// Presentation plans as the plan tests, the tree tests and the format tests build and read them.
#include "data/Inspection.h"

namespace PlanFixtures {

// Extends a plan to the given number of presentations, each holding every
// question as a stored plan would: the null questions first.
inline void addGroups(Inspection::_Test &test, int groups)
{
    for (int g = test.lastGroup() + 1; g <= groups; ++g) {
        test.orders.append({0, -1, qint16(g)});
        for (int q = 0; q < test.themisNULL.size(); ++q)
            test.orders.append({0, qint16(10000 + q), qint16(g)});
        for (int q = 0; q < test.themis.size(); ++q)
            test.orders.append({0, qint16(q), qint16(g)});
    }
}

// The questions of one presentation in their order (10000 + i for null question i).
inline QVector<int> groupOrder(const Inspection::_Test &test, int group)
{
    QVector<int> themes;
    for (const Inspection::_Order &entry : test.orders) {
        if (entry.Group == group && entry.Theme >= 0)
            themes.append(entry.Theme);
    }
    return themes;
}

}  // namespace PlanFixtures
