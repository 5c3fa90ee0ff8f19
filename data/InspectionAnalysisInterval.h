#pragma once

#include <QJsonObject>

// For how many seconds after a question its reaction is awaited.
struct InspectionAnalysisInterval {
    double nIALength = 0.0;
    double nIABegin = 0.0;
    double nIAEnd = 0.0;

    void toJson(QJsonObject &object) const;
    void fromJson(const QJsonObject &object);
    // Sample positions (20 per second) that follow a presentation's last question.
    int lengthTicks() const { return int(nIALength) * 20; }
};
