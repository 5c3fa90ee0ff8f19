// Points scores and measured metric values of a test in their JSON form.
#include "InspectionTest.h"

#include <QJsonArray>

#include <algorithm>
#include <iterator>

namespace {

const char *const kBallScales[] = {"valuationBall_3210123", "valuationBall_101", "valuationBall_012"};

QJsonArray ballEntries(const BallValuationMap &scale)
{
    QJsonArray entries;
    for (const QMap<qint32, InspectionBallValuation> &questions : scale) {
        for (const InspectionBallValuation &entry : questions) {
            QJsonObject object;
            entry.toJson(object);
            entries.append(object);
        }
    }
    return entries;
}

void mergeBallEntries(const QJsonArray &entries, BallValuationMap &scale)
{
    for (const QJsonValue &element : entries) {
        InspectionBallValuation entry;
        entry.fromJson(element.toObject());
        scale[entry.iGroup][entry.iQuest] = entry;
    }
}

}  // namespace

void InspectionTest::clearValuations()
{
    valuationBall_3210123.clear();
    valuationBall_101.clear();
    valuationBall_012.clear();
    std::fill(std::begin(valuationBall_ChannelK), std::end(valuationBall_ChannelK), 1.0f);
    valuationBall_GroupsDisabled.clear();
    valuationMetric.clear();
}

void InspectionTest::ballValuationToJson(QJsonObject &object) const
{
    const BallValuationMap *scales[] = {&valuationBall_3210123, &valuationBall_101, &valuationBall_012};
    for (int i = 0; i < 3; ++i)
        object.insert(QLatin1String(kBallScales[i]), ballEntries(*scales[i]));
    QJsonArray weights;
    for (float weight : valuationBall_ChannelK)
        weights.append(double(weight));
    object.insert(QStringLiteral("valuationBall_ChannelK"), weights);
    QJsonArray disabled;
    for (qint32 group : valuationBall_GroupsDisabled)
        disabled.append(group);
    object.insert(QStringLiteral("valuationBall_GroupsDisabled"), disabled);
}

void InspectionTest::ballValuationFromJson(const QJsonObject &object)
{
    BallValuationMap *scales[] = {&valuationBall_3210123, &valuationBall_101, &valuationBall_012};
    for (int i = 0; i < 3; ++i)
        mergeBallEntries(object.value(QLatin1String(kBallScales[i])).toArray(), *scales[i]);
    const QJsonArray weights = object.value(QStringLiteral("valuationBall_ChannelK")).toArray();
    for (int i = 0; i < 3 && i < weights.size(); ++i)
        valuationBall_ChannelK[i] = float(weights[i].toDouble());
    for (const QJsonValue &group : object.value(QStringLiteral("valuationBall_GroupsDisabled")).toArray())
        valuationBall_GroupsDisabled.insert(group.toInt());
}

void InspectionTest::metricValuationToJson(QJsonObject &object) const
{
    QJsonArray values;
    for (const auto &questions : valuationMetric) {
        for (const QMap<QUuid, InspectionMetricValuation> &params : questions) {
            for (const InspectionMetricValuation &value : params) {
                QJsonObject element;
                value.toJson(element);
                values.append(element);
            }
        }
    }
    object.insert(QStringLiteral("valuationMetric"), values);
}

void InspectionTest::metricValuationFromJson(const QJsonObject &object)
{
    for (const QJsonValue &element : object.value(QStringLiteral("valuationMetric")).toArray()) {
        InspectionMetricValuation value;
        value.fromJson(element.toObject());
        valuationMetric[value.iGroup][value.iQuest][value.uidParam] = value;
    }
}
