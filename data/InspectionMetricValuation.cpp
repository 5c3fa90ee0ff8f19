#include "InspectionMetricValuation.h"

void InspectionMetricValuation::toJson(QJsonObject &object) const
{
    object.insert(QStringLiteral("iGroup"), iGroup);
    object.insert(QStringLiteral("iQuest"), iQuest);
    object.insert(QStringLiteral("nValue"), nValue);
    object.insert(QStringLiteral("ptStart_x"), ptStart_x);
    object.insert(QStringLiteral("ptStart_y"), ptStart_y);
    object.insert(QStringLiteral("ptEnd_x"), ptEnd_x);
    object.insert(QStringLiteral("ptEnd_y"), ptEnd_y);
    object.insert(QStringLiteral("uidParam"), uidParam.toString());
}

void InspectionMetricValuation::fromJson(const QJsonObject &object)
{
    iGroup = object.value(QStringLiteral("iGroup")).toInt();
    iQuest = object.value(QStringLiteral("iQuest")).toInt();
    nValue = object.value(QStringLiteral("nValue")).toInt();
    ptStart_x = object.value(QStringLiteral("ptStart_x")).toDouble();
    ptStart_y = object.value(QStringLiteral("ptStart_y")).toDouble();
    ptEnd_x = object.value(QStringLiteral("ptEnd_x")).toDouble();
    ptEnd_y = object.value(QStringLiteral("ptEnd_y")).toDouble();
    uidParam = QUuid(object.value(QStringLiteral("uidParam")).toString());
}
