#pragma once

#include "data/Inspection.h"

#include <QCoreApplication>
#include <QMap>
#include <QString>
#include <QUuid>
#include <QVector>

#include <functional>

// The built-in metric parameters: the standard table, measured automatically
// and explained by a picture each, and the basic table measured by hand.
// Their identifiers are stored with every measured value in subject files.
class DefMertValuation
{
    Q_DECLARE_TR_FUNCTIONS(DefMertValuation)
public:
    using Params = QVector<Inspection::_MetricParam>;
    // The family routines: with both pointers null the family's entries in
    // rising duration or count; with both given the entries are not built and
    // the int receives the value of the family entry bearing the identifier
    // (left as it was when none does); with one of them only, nothing.
    using Family = Params (*)(const QUuid *uid, int *value);

    Params entries;
    QMap<QUuid, QString> pictures;  // resource path by identifier

    void init();
    void destroy();
    // The 178 standard entries, and the picture of each.
    void fillStandard();
    // The 22 basic entries, without pictures.
    static void fillBasic(Params &list);

    static Params lengthUpBreathStart(const QUuid *uid = nullptr, int *value = nullptr);
    static Params lengthUpBreathEnd(const QUuid *uid = nullptr, int *value = nullptr);
    static Params lengthLowBreathStart(const QUuid *uid = nullptr, int *value = nullptr);
    static Params lengthLowBreathEnd(const QUuid *uid = nullptr, int *value = nullptr);
    static Params pulseAD(const QUuid *uid = nullptr, int *value = nullptr);
    static Params pulsePG(const QUuid *uid = nullptr, int *value = nullptr);
    static Params pulsePGExtra(const QUuid *uid = nullptr, int *value = nullptr);

    static Params autoParams(const Params &list);
    static Params manualParams(const Params &list);
    // The first record bearing the identifier, or null. The list is detached
    // first, so writes through the pointer reach this list alone; the pointer
    // holds until the list changes.
    static Inspection::_MetricParam *find(Params &list, const QUuid &uid);
    // Picks parameters by identifier.
    using ParamPick = std::function<bool(const QUuid &uid)>;
    // How many tests of the examination hold a value of a picked parameter.
    static int testsMeasuring(const Inspection &examination, const ParamPick &of);
    // Removes the test's values of the picked parameters; true when it held any.
    static bool dropMeasurements(Inspection::_Test &test, const ParamPick &of);
    // The picture of an entry; an identifier without one gets an empty path
    // entered in the map.
    QString picturePath(const QUuid &uid);
};
