#pragma once

#include <QJsonObject>
#include <QMap>
#include <QtGlobal>

// One points score of a question in one presentation.
struct InspectionBallValuation {
    qint32 iGroup = 0;
    qint32 iQuest = 0;
    qint32 FPGPar = 0;  // channel group ПГ
    qint32 GSRPar = 0;  // channel group КГР
    qint32 nRG = 0;     // channel group Дых
    bool bEnable = true;

    // The score of channel group 0 КГР, 1 ПГ or 2 Дых; 0 for any other group.
    qint32 score(int channel) const;
    // Sets the score of channel group 0, 1 or 2; any other group changes nothing.
    void setScore(int channel, qint32 value);

    void toJson(QJsonObject &object) const;
    // Sets every field; a missing key gives 0, or false for "bEnable".
    void fromJson(const QJsonObject &object);
};

// Presentation number -> question index -> score. Read it with value() or
// find(): an absent entry reads as the default one (scores 0, in use) and is
// not inserted; only writing a score puts an entry into the map.
using BallValuationMap = QMap<qint32, QMap<qint32, InspectionBallValuation>>;
