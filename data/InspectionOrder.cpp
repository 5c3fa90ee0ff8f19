#include "InspectionOrder.h"

void InspectionOrder::toJson(QJsonObject &object) const
{
    object.insert(QStringLiteral("State"), State);
    object.insert(QStringLiteral("Theme"), Theme);
    object.insert(QStringLiteral("Group"), Group);
}

void InspectionOrder::fromJson(const QJsonObject &object)
{
    State = object.value(QStringLiteral("State")).toInt();
    Theme = qint16(object.value(QStringLiteral("Theme")).toInt());
    Group = qint16(object.value(QStringLiteral("Group")).toInt());
}
