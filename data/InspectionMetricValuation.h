#pragma once

#include <QJsonObject>
#include <QMap>
#include <QUuid>

// One measured value of a parameter for one question of one presentation.
struct InspectionMetricValuation {
    qint32 iGroup = -1;
    qint32 iQuest = -1;
    QUuid uidParam;
    double ptStart_x = 0.0;
    double ptStart_y = 0.0;
    double ptEnd_x = 0.0;
    double ptEnd_y = 0.0;
    qint32 nValue = 0;

    void toJson(QJsonObject &object) const;
    // Sets every field; missing keys give 0 and the null identifier.
    void fromJson(const QJsonObject &object);
};

// Presentation number -> question index -> parameter -> value.
using MetricValuationMap = QMap<qint32, QMap<qint32, QMap<QUuid, InspectionMetricValuation>>>;
