#include "InspectionAnalysisInterval.h"

void InspectionAnalysisInterval::toJson(QJsonObject &object) const
{
    object.insert(QStringLiteral("nIALength"), nIALength);
    object.insert(QStringLiteral("nIABegin"), nIABegin);
    object.insert(QStringLiteral("nIAEnd"), nIAEnd);
}

void InspectionAnalysisInterval::fromJson(const QJsonObject &object)
{
    nIALength = object.value(QStringLiteral("nIALength")).toDouble(0.0);
    nIABegin = object.value(QStringLiteral("nIABegin")).toDouble(0.0);
    nIAEnd = object.value(QStringLiteral("nIAEnd")).toDouble(0.0);
}
