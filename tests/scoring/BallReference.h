#pragma once

// The points cases as ballsums_reference.py beside this file reads them, and
// its results.
#include "data/InspectionTest.h"
#include "tests/data/BallFixtures.h"
#include "tests/support/JsonArrays.h"

#include <QDebug>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace BallReference {

// Weights, disabled presentations and every entry of the scale map with the
// keys it lies under.
inline QJsonObject caseOf(const InspectionTest &test, const BallValuationMap &scale)
{
    const float *w = test.valuationBall_ChannelK;
    return {{"weights", QJsonArray{double(w[0]), double(w[1]), double(w[2])}},
            {"disabled", toJsonArray(test.valuationBall_GroupsDisabled.values().toVector())},
            {"entries", BallFixtures::entriesWithKeys(scale)}};
}

// The script's results, one per case; empty when it could not run.
inline QJsonArray run(const QJsonArray &cases)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("cases.json"));
    if (!file.open(QIODevice::WriteOnly)
        || file.write(QJsonDocument(QJsonObject{{"cases", cases}}).toJson(QJsonDocument::Compact)) < 0)
        return {};
    file.close();

    QProcess reference;
    reference.start(VUG_PYTHON, {VUG_SCORING_TEST_DATA "/ballsums_reference.py", file.fileName()});
    if (!reference.waitForFinished(60000) || reference.exitCode() != 0) {
        qWarning() << reference.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(reference.readAllStandardOutput()).object().value("results").toArray();
}

}  // namespace BallReference
