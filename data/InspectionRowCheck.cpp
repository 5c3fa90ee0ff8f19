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

QString Inspection::testChanged(const _Test &test)
{
    return tr("Тест «%1» изменён другой программой").arg(test.name);
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
    const QString file = path;
    // Whatever the examiner still had unsaved was told as refused; a
    // recording not yet in the file is never dropped with it.
    QVector<_Test> pending;
    for (const QUuid &id : qAsConst(pendingRecordings)) {
        if (const _Test *kept = test(indexOfTest(id)))
            pending.append(*kept);
    }
    for (_Test &test : tests)
        test.labelsModified = false;
    StoreResult result = load(file);
    if (result == StoreResult::Ok)
        result = loadMarks();
    for (const _Test &kept : qAsConst(pending)) {
        const int index = indexOfTest(kept.id);
        if (index < 0)
            tests.append(kept);
        else
            tests[index] = kept;
        pendingRecordings.append(kept.id);
    }
    return result;
}
