#pragma once

#include <QJsonObject>
#include <QVector>

// The structure documents a test went through, oldest first, and where undo stands.
struct InspectionUndoHistory {
    qint32 position = 0;
    QVector<QJsonObject> states;
};
