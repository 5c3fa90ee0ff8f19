#pragma once

#include <QJsonObject>
#include <QtGlobal>

// One recorded question mark; ticks are sample positions of the test's arrays.
struct InspectionLabel {
    qint16 Group = 0;
    qint16 Theme = 0;
    qint32 TickQStart = 0;
    qint32 TickQEnd = 0;
    qint32 TickAStart = 0;
    qint32 TickAEnd = 0;

    bool isNull() const { return Theme > 9999; }

    // Each stored member with its key, for reading and writing alike.
    template <typename Label, typename Visit>
    static void fields(Label &label, Visit visit)
    {
        visit("TickQStart", label.TickQStart);
        visit("TickQEnd", label.TickQEnd);
        visit("TickAStart", label.TickAStart);
        visit("TickAEnd", label.TickAEnd);
        visit("Theme", label.Theme);
        visit("Group", label.Group);
    }

    void toJson(QJsonObject &object) const;
    void fromJson(const QJsonObject &object);
};
