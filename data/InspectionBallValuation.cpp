#include "InspectionBallValuation.h"

void InspectionBallValuation::toJson(QJsonObject &object) const
{
    object.insert(QStringLiteral("iGroup"), iGroup);
    object.insert(QStringLiteral("iQuest"), iQuest);
    object.insert(QStringLiteral("FPGPar"), FPGPar);
    object.insert(QStringLiteral("GSRPar"), GSRPar);
    object.insert(QStringLiteral("nRG"), nRG);
    object.insert(QStringLiteral("bEnable"), bEnable);
}

void InspectionBallValuation::fromJson(const QJsonObject &object)
{
    iGroup = object.value(QStringLiteral("iGroup")).toInt();
    iQuest = object.value(QStringLiteral("iQuest")).toInt();
    FPGPar = object.value(QStringLiteral("FPGPar")).toInt();
    GSRPar = object.value(QStringLiteral("GSRPar")).toInt();
    nRG = object.value(QStringLiteral("nRG")).toInt();
    bEnable = object.value(QStringLiteral("bEnable")).toBool();
}

void InspectionBallValuation::setScore(int channel, qint32 value)
{
    switch (channel) {
    case 0:
        GSRPar = value;
        break;
    case 1:
        FPGPar = value;
        break;
    case 2:
        nRG = value;
        break;
    default:
        break;
    }
}

qint32 InspectionBallValuation::score(int channel) const
{
    switch (channel) {
    case 0:
        return GSRPar;
    case 1:
        return FPGPar;
    case 2:
        return nRG;
    default:
        return 0;
    }
}
