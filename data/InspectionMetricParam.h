#pragma once

#include <QJsonObject>
#include <QString>
#include <QUuid>

// One metric parameter: what is measured, on which channel, with which weight.
// The same object is stored by the reference book's parameter table.
struct InspectionMetricParam {
    QString Name;
    QUuid uid;
    qint16 nKodChannel = -1;
    bool bEnable = false;
    qint32 eMet = 0;  // 1 X, 2 Y, 3 XY, 4 signal length, 5 frequency
    double dK = 1.0;
    QString sDescription;
    bool bAuto = false;

    void toJson(QJsonObject &object) const;
    // Sets every field; missing keys give empty, null, 0 or false.
    void fromJson(const QJsonObject &object);
};
