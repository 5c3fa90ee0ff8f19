#pragma once

#include <QJsonObject>
#include <QString>
#include <QtGlobal>

#include <functional>

class InspectionStore;

// Counts what a subject's tests expand to as their structures are read, so
// that a file or a payload from elsewhere costs no more than the largest one
// the program writes (InspectionStore's kMaxTests and what follows it).
class SubjectBounds
{
public:
    // Whether one more test of this structure document stays within the
    // bounds; a refused one is not counted and is not to be built.
    bool admit(const QJsonObject &structure);

    // Hands each test structure of the store's file to visit, decoded and
    // within the bounds, with the test_id of its row. A row that does not
    // decode or is past the bounds is skipped and left alone in the file, so
    // no test stands for it and nothing can overwrite it with defaults; the
    // result is then false, as it is when the table could not be read.
    using StructureVisitor = std::function<void(const QString &rowId, const QJsonObject &structure)>;
    static bool forEachStructure(InspectionStore &store, const StructureVisitor &visit);

private:
    int m_tests = 0;
    qint64 m_records = 0;
};
