#include "InspectionMetricParam.h"

void InspectionMetricParam::toJson(QJsonObject &object) const
{
    object.insert(QStringLiteral("Name"), Name);
    object.insert(QStringLiteral("uid"), uid.toString());
    object.insert(QStringLiteral("nKodChannel"), nKodChannel);
    object.insert(QStringLiteral("bEnable"), bEnable);
    object.insert(QStringLiteral("eMet"), eMet);
    object.insert(QStringLiteral("dK"), dK);
    object.insert(QStringLiteral("sDescription"), sDescription);
    object.insert(QStringLiteral("bAuto"), bAuto);
}

void InspectionMetricParam::fromJson(const QJsonObject &object)
{
    Name = object.value(QStringLiteral("Name")).toString();
    uid = QUuid(object.value(QStringLiteral("uid")).toString());
    nKodChannel = qint16(object.value(QStringLiteral("nKodChannel")).toInt());
    bEnable = object.value(QStringLiteral("bEnable")).toBool();
    eMet = object.value(QStringLiteral("eMet")).toInt();
    dK = object.value(QStringLiteral("dK")).toDouble();
    sDescription = object.value(QStringLiteral("sDescription")).toString();
    bAuto = object.value(QStringLiteral("bAuto")).toBool();
}
