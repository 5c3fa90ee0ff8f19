#pragma once

#include <QJsonObject>
#include <QtGlobal>

// One recorded question mark; ticks are sample positions of the test's arrays.
struct InspectionLabel {
    qint16 Group = 0;
    qint16 Theme = 0;
    qint32 TickQStart = 0;
    qint32 TickQEnd = 0;
    qint32 TickAStart = 0;
    qint32 TickAEnd = 0;

    bool isNull() const { return Theme > 9999; }

    void toJson(QJsonObject &object) const;
    void fromJson(const QJsonObject &object);
};
