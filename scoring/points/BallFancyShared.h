#pragma once

// What the files of the points window share about its tree's cells.

#include "QuestKey.h"

#include "data/Inspection.h"

#include <QModelIndex>

namespace BallFancy {

// The highest channel weight offered.
constexpr float kMaxWeight = 3.0f;

// The quest key an item of the tree or a list carries.
inline QuestKey questKeyOf(const QModelIndex &index)
{
    QuestKey key;
    key.fromJson(index.data(QuestKey::Role).toJsonObject());
    return key;
}

inline bool isPresentation(const Inspection::_Test &test, int presentation)
{
    return presentation >= 1 && presentation <= test.presentationCount();
}

} // namespace BallFancy
