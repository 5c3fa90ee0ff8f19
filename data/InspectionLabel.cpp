#include "InspectionLabel.h"

void InspectionLabel::toJson(QJsonObject &object) const
{
    object.insert(QStringLiteral("TickQStart"), TickQStart);
    object.insert(QStringLiteral("TickQEnd"), TickQEnd);
    object.insert(QStringLiteral("TickAStart"), TickAStart);
    object.insert(QStringLiteral("TickAEnd"), TickAEnd);
    object.insert(QStringLiteral("Theme"), Theme);
    object.insert(QStringLiteral("Group"), Group);
}

void InspectionLabel::fromJson(const QJsonObject &object)
{
    TickQStart = object.value(QStringLiteral("TickQStart")).toInt();
    TickQEnd = object.value(QStringLiteral("TickQEnd")).toInt();
    TickAStart = object.value(QStringLiteral("TickAStart")).toInt();
    TickAEnd = object.value(QStringLiteral("TickAEnd")).toInt();
    Theme = qint16(object.value(QStringLiteral("Theme")).toInt());
    Group = qint16(object.value(QStringLiteral("Group")).toInt());
}
