#pragma once

#include "InspectionTest.h"
#include "StoreResult.h"

#include <QVector>

// The tests of a subject file with their ids and names only, all that the
// names of its videos need: questions and plans are counted, not built.
namespace InspectionTestNames {

// Ok when every structure row read within the bounds a subject has; Damaged
// when some did not (those that did are given), or why the file was not read.
StoreResult read(const QString &subjectPath, QVector<InspectionTest> &tests);

}  // namespace InspectionTestNames
