// Rows as this examination read or last wrote them, checked before a save
// replaces them: another program's change is never overwritten.
#include "Inspection.h"

#include "BinaryJson.h"
#include "BinaryJsonObject.h"
#include "InspectionStore.h"

#include <QCoreApplication>

namespace {

QString tr(const char *text) { return QCoreApplication::translate("Inspection", text); }

}  // namespace

QString Inspection::testChanged(const _Test &test) const
{
    // Named as the examiner knew it before the edit refused.
    const _UndoHistory history = undoHistory.value(test.id);
    const QString known = history.states.isEmpty()
                              ? QString()
                              : history.states[history.position].value(QStringLiteral("name")).toString();
    return tr("Тест «%1» изменён другой программой").arg(known.isEmpty() ? test.name : known);
}

void Inspection::noteStored(const QString &owner, int kind, quint64 fingerprint)
{
    m_asStored.insert({owner, kind}, fingerprint);
}

quint64 Inspection::recordingFingerprint(StoredBytes &bytes)
{
    BinaryJsonObject document;
    if (document.readDocument(bytes)) {
        document.take(QStringLiteral("data"));
        BinaryJsonObject marks = marksOf(document);
        if (marks.readLeftValues(bytes))
            return InspectionStore::folded(bytes.size(), InspectionStore::fingerprintOf(marks.toDocument()));
    }
    // A row of any other shape is known by all its bytes.
    const char *all = bytes.bytes(0, bytes.size());
    return all ? InspectionStore::fingerprintOf(QByteArray::fromRawData(all, int(bytes.size())))
               : InspectionStore::folded(bytes.size(), 0);
}

bool Inspection::storedFingerprint(InspectionStore &store, const QString &owner, int kind, quint64 &fingerprint)
{
    switch (kind) {
    case InspectionDataType::Recording:
        fingerprint = InspectionStore::kAbsent;
        return store.forEachRowInPieces(owner, kind, [&fingerprint](StoredBytes &bytes) {
            fingerprint = InspectionStore::folded(fingerprint, recordingFingerprint(bytes));
        });
    case InspectionDataType::Questionnaire:
        return store.fingerprintOfFirst(kind, fingerprint);
    case InspectionDataType::Singleton:
        return store.fingerprintOfFirst(owner, kind, fingerprint);
    default:
        return store.fingerprintOf(owner, kind, fingerprint);
    }
}

StoreResult Inspection::writeChecked(InspectionStore &store, const QVector<RowCheck> &checks,
                                     const std::function<StoreResult()> &write)
{
    StoreResult result = StoreResult::Ok;
    // What the writes note as stored holds only once they are committed.
    const QHash<QPair<QString, int>, quint64> before = m_asStored;
    const bool committed = store.inTransaction([&] {
        for (const RowCheck &check : checks) {
            const auto known = m_asStored.constFind({check.owner, check.kind});
            quint64 stored = InspectionStore::kAbsent;
            if (known == m_asStored.constEnd())
                continue;
            if (!storedFingerprint(store, check.owner, check.kind, stored))
                return false;
            if (stored != *known) {
                result = StoreResult(StoreResult::Changed, check.changed);
                return false;
            }
        }
        result = write();
        return result == StoreResult::Ok;
    });
    if (committed)
        return StoreResult::Ok;
    m_asStored = before;
    return result != StoreResult::Ok ? result : store.outcome(false, StoreResult::NotWritten);
}

StoreResult Inspection::reread()
{
    // Read beside this one: a file that cannot be read leaves the examination as it was.
    Inspection fresh;
    StoreResult result = fresh.load(path);
    if (result == StoreResult::Ok)
        result = fresh.loadMarks();
    if (result != StoreResult::Ok && result != StoreResult::Damaged)
        return result;
    // A recording not yet in the file is never dropped with the rest.
    for (const QUuid &id : qAsConst(pendingRecordings)) {
        const _Test *kept = test(indexOfTest(id));
        if (!kept)
            continue;
        const int index = fresh.indexOfTest(id);
        if (index < 0)
            fresh.tests.append(*kept);
        else
            fresh.tests[index] = *kept;
    }
    // Whatever the examiner still had unsaved was told as refused.
    for (_Test &test : tests)
        test.labelsModified = false;
    tests.swap(fresh.tests);
    undoHistory.swap(fresh.undoHistory);
    m_asStored.swap(fresh.m_asStored);
    fresh.path.clear();
    return result;
}

void Inspection::revertUnsaved()
{
    for (int i = tests.size() - 1; i >= 0; --i) {
        _Test &test = tests[i];
        const _UndoHistory history = undoHistory.value(test.id);
        if (!history.states.isEmpty())
            test.fromJson(history.states[history.position]);
        else if (!pendingRecordings.contains(test.id))
            tests.removeAt(i);
    }
}
