#include "RowsAsRead.h"

#include "StoredBytes.h"
#include "InspectionDataType.h"
#include "InspectionStore.h"
#include "ProgramWrites.h"

#include <QSet>

#include <algorithm>

namespace {

// The subject's own records are stored under no test.
const QString kSubjectOwner = QStringLiteral("");

// A row's bytes lie in a chain of pages: its first bytes are read at once,
// any later ones only past every page before them.
constexpr quint32 kHeadBytes = 2 * StoredBytes::kWindowBytes;

}  // namespace

bool RowsAsRead::noted(const QString &owner, int kind, quint64 &fingerprint) const
{
    const auto known = m_rows.constFind({owner, kind});
    if (known == m_rows.constEnd())
        return false;
    fingerprint = *known;
    return true;
}

quint64 RowsAsRead::recordingFingerprint(StoredBytes &bytes)
{
    // Its members in key order: the channels' records, then the samples,
    // then the marks. The head tells a recording made anew from the one
    // read, whatever its length; moved marks are saved in rows of their own.
    const quint32 head = std::min(bytes.size(), kHeadBytes);
    const char *first = bytes.bytes(0, head);
    return InspectionStore::folded(
        bytes.size(), first ? InspectionStore::fingerprintOf(QByteArray::fromRawData(first, int(head))) : 0);
}

bool RowsAsRead::storedRecording(InspectionStore &store, const QString &owner, quint64 &fingerprint) const
{
    fingerprint = InspectionStore::kAbsent;
    return store.forEachRowInPieces(owner, InspectionDataType::Recording, [&fingerprint](StoredBytes &bytes) {
        fingerprint = InspectionStore::folded(fingerprint, recordingFingerprint(bytes));
    });
}

bool RowsAsRead::storedFingerprint(InspectionStore &store, const QString &owner, int kind,
                                   quint64 &fingerprint) const
{
    switch (kind) {
    case InspectionDataType::Recording:
        return storedRecording(store, owner, fingerprint);
    case InspectionDataType::Questionnaire:
        return store.fingerprintOfFirst(kind, fingerprint);
    // The photos and attached files are rows of their kind whoever owns
    // them, known as a whole.
    case InspectionDataType::Photo:
    case InspectionDataType::FileContent:
    case InspectionDataType::FileName:
        return store.fingerprintOf(kind, fingerprint);
    case InspectionDataType::Singleton:
        return store.fingerprintOfFirst(owner, kind, fingerprint);
    default:
        return store.fingerprintOf(owner, kind, fingerprint);
    }
}

bool RowsAsRead::holdsTestsRead(InspectionStore &store, bool &holds) const
{
    QSet<QString> tests;
    if (!store.ownersOf(InspectionDataType::Struct, tests))
        return false;
    holds = true;
    for (auto row = m_rows.constBegin(); row != m_rows.constEnd() && holds; ++row) {
        if (row.key().second == InspectionDataType::Struct && *row != InspectionStore::kAbsent)
            holds = tests.contains(row.key().first);
    }
    return true;
}

StoreResult RowsAsRead::checkSubject(InspectionStore &store, const QString &file, Subject subject,
                                     const SubjectChanged &words) const
{
    if (subject == Subject::Unchecked)
        return StoreResult::Ok;
    const ProgramWrites &program = ProgramWrites::thisProgram();
    const auto questionnaire = m_rows.constFind({kSubjectOwner, InspectionDataType::Questionnaire});
    quint64 stored = InspectionStore::kAbsent;
    if (questionnaire != m_rows.constEnd()) {
        if (!storedFingerprint(store, kSubjectOwner, InspectionDataType::Questionnaire, stored))
            return store.outcome(false, StoreResult::NotWritten);
        if (stored != *questionnaire
            && !program.wrote(file, kSubjectOwner, InspectionDataType::Questionnaire, stored)) {
            bool same = false;
            if (!holdsTestsRead(store, same))
                return store.outcome(false, StoreResult::NotWritten);
            return {StoreResult::Changed, same ? words.questionnaire : words.otherSubject};
        }
    }
    if (subject == Subject::AsRead)
        return StoreResult::Ok;
    QSet<QString> tests;
    if (!store.ownersOf(InspectionDataType::Struct, tests))
        return store.outcome(false, StoreResult::NotWritten);
    for (const QString &owner : qAsConst(tests)) {
        if (m_rows.contains({owner, InspectionDataType::Struct}))
            continue;
        // A test another holder of this program put in is no stranger.
        if (!store.fingerprintOf(owner, InspectionDataType::Struct, stored))
            return store.outcome(false, StoreResult::NotWritten);
        if (!program.wrote(file, owner, InspectionDataType::Struct, stored))
            return {StoreResult::Changed, words.otherSubject};
    }
    return StoreResult::Ok;
}

void RowsAsRead::publishSince(const RowsAsRead &before, const QString &file) const
{
    ProgramWrites &program = ProgramWrites::thisProgram();
    for (auto row = m_rows.constBegin(); row != m_rows.constEnd(); ++row) {
        const auto was = before.m_rows.constFind(row.key());
        if (was == before.m_rows.constEnd() || *was != *row)
            program.note(file, row.key().first, row.key().second, *row);
    }
}

StoreResult RowsAsRead::check(InspectionStore &store, const QString &file, const QVector<Check> &checks,
                              Subject subject, const SubjectChanged &words) const
{
    const StoreResult held = checkSubject(store, file, subject, words);
    if (held != StoreResult::Ok)
        return held;
    for (const Check &check : checks) {
        const auto known = m_rows.constFind({check.owner, check.kind});
        if (known == m_rows.constEnd() && check.mustBeRead)
            return {StoreResult::Changed, check.changed};
        if (known == m_rows.constEnd())
            continue;
        quint64 stored = InspectionStore::kAbsent;
        if (!storedFingerprint(store, check.owner, check.kind, stored))
            return store.outcome(false, StoreResult::NotWritten);
        if (stored != *known)
            return {StoreResult::Changed, check.changed};
    }
    return StoreResult::Ok;
}
