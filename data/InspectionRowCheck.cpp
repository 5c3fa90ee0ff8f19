// Rows as this examination read or last wrote them, checked before a save
// replaces them: another program's change is never overwritten.
#include "Inspection.h"

#include "InspectionStore.h"

#include <QCoreApplication>
#include <QFileInfo>

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

RowsAsRead::SubjectChanged Inspection::subjectChanged() const
{
    return {tr("Файл «%1» изменён другой программой: обследуемый в нём не тот, что был прочитан")
                .arg(QFileInfo(path).fileName()),
            questionnaireChanged()};
}

QString Inspection::questionnaireChanged()
{
    return tr("Анкета обследуемого изменена другой программой");
}

void Inspection::noteGone(const QString &owner, std::initializer_list<int> kinds)
{
    for (int kind : kinds)
        noteStored(owner, kind, InspectionStore::kAbsent);
}

QVector<Inspection::RowCheck> Inspection::scoredChecks(const _Test &test, int kind) const
{
    const QString owner = test.rowId(), changed = testChanged(test);
    return {{owner, InspectionDataType::Struct, changed},
            {owner, InspectionDataType::Recording, changed},
            {owner, kind, changed}};
}

StoreResult Inspection::writeChecked(InspectionStore &store, const QVector<RowCheck> &checks,
                                     const std::function<StoreResult()> &write, RowsAsRead::Subject subject)
{
    StoreResult result = StoreResult::Ok;
    // What the writes note as stored holds only once they are committed.
    const RowsAsRead before = m_rows;
    const bool committed = store.inTransaction([&] {
        result = m_rows.check(store, path, checks, m_opened ? subject : RowsAsRead::Subject::Unchecked,
                              subjectChanged());
        if (result == StoreResult::Ok)
            result = write();
        return result == StoreResult::Ok;
    });
    if (committed) {
        m_rows.publishSince(before, path);
        return StoreResult::Ok;
    }
    m_rows = before;
    return result != StoreResult::Ok ? result : store.outcome(false, StoreResult::NotWritten);
}

StoreResult Inspection::reread(const QUuid &dropped)
{
    // Read beside this one: a file that cannot be read leaves the examination as it was.
    Inspection fresh;
    _Person person;
    StoreResult result = fresh.loadSubject(path, person);
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
    for (const _Test &kept : qAsConst(tests)) {
        if (kept.labelsModified && kept.id != dropped && !pendingRecordings.contains(kept.id))
            keepMovedMarks(kept, fresh);
    }
    if (m_marksRefused == dropped)
        m_marksRefused = QUuid();
    tests.swap(fresh.tests);
    undoHistory.swap(fresh.undoHistory);
    m_rows.swap(fresh.m_rows);
    fresh.path.clear();
    return result;
}

void Inspection::keepMovedMarks(const _Test &kept, Inspection &fresh) const
{
    _Test *stored = fresh.testWithId(kept.id);
    if (!stored)
        return;
    // The structure as the file holds it, the recording and marks as moved.
    QJsonObject structure;
    stored->toJson(structure);
    *stored = kept;
    stored->fromJson(structure);
    for (int kind : {InspectionDataType::Recording, InspectionDataType::RecordingHeader}) {
        quint64 fingerprint = InspectionStore::kAbsent;
        if (m_rows.noted(kept.rowId(), kind, fingerprint))
            fresh.m_rows.note(kept.rowId(), kind, fingerprint);
    }
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
