#pragma once

#include <QJsonObject>
#include <QtGlobal>

// One entry of a test's presentation plan. Theme -1 marks the head entry and group headers.
struct InspectionOrder {
    qint32 State = 0;
    qint16 Theme = 0;  // question index: 0-9999 ordinary, 10000+ null questions
    qint16 Group = 0;  // presentation group from 1; -1 in the plan's head entry

    bool isQuestion() const { return Theme >= 0 && Group >= 0; }

    void toJson(QJsonObject &object) const;
    void fromJson(const QJsonObject &object);
};
