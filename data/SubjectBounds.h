#pragma once

#include <QJsonObject>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <functional>

class InspectionStore;
struct InspectionTest;

// Counts what a subject's tests expand to as their structures are read, so
// that a file or a payload from elsewhere costs no more than the largest one
// the program writes (InspectionStore's kMaxTests and what follows it).
class SubjectBounds
{
public:
    // The bound a subject would pass, in the order a load meets them; None
    // when it stays within all.
    enum class Excess { None, Tests, Questions, NullQuestions, PlanEntries, Records };

    // Whether one more test of this structure document stays within the
    // bounds; a refused one is not counted and is not to be built.
    bool admit(const QJsonObject &structure) { return count(structure) == Excess::None; }
    // The same, telling which bound the test would pass.
    Excess count(const QJsonObject &structure);

    // Whether a subject holding held can take changed and still be read whole
    // by a load: each changed test takes the place of the held one of its
    // identifier, or is added when none has it. Tells the first bound it would
    // pass; nothing is changed either way.
    static Excess excessOf(const QVector<InspectionTest> &held, const QVector<InspectionTest> &changed);
    // The examiner's message for a change refused so, ending with what was
    // not done ("вставка не выполнена").
    static QString refusal(Excess excess, const QString &outcome);

    // Hands each test structure of the store's file to visit, decoded and
    // within the bounds, with the test_id of its row. A row that does not
    // decode or is past the bounds is skipped and left alone in the file, so
    // no test stands for it and nothing can overwrite it with defaults; the
    // result is then false, as it is when the table could not be read.
    using StructureVisitor = std::function<void(const QString &rowId, const QJsonObject &structure)>;
    static bool forEachStructure(InspectionStore &store, const StructureVisitor &visit);
    // The same with each row's fingerprint as stored (InspectionStore::fingerprintOf).
    using FingerprintedVisitor
        = std::function<void(const QString &rowId, const QJsonObject &structure, quint64 fingerprint)>;
    static bool forEachStructure(InspectionStore &store, const FingerprintedVisitor &visit);

private:
    // What one test's structure expands to.
    struct Extent {
        int questions = 0;
        int nullQuestions = 0;
        int entries = 0;
    };
    static Extent extentOf(const InspectionTest &test);
    Excess count(const Extent &extent);

    int m_tests = 0;
    qint64 m_records = 0;
};
