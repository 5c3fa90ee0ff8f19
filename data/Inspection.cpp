#include "Inspection.h"

#include "BinaryJson.h"
#include "BinaryJsonObject.h"
#include "InspectionStore.h"
#include "SharedConnection.h"
#include "SubjectBounds.h"

#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>

Q_LOGGING_CATEGORY(lcInspection, "vug.inspection", QtWarningMsg)

namespace {

const QString kSamplesKey = QStringLiteral("data");

}  // namespace

Inspection::Inspection()
{
    SharedConnection::database();
}

Inspection::Inspection(const QString &file)
    : path(file)
{
    SharedConnection::database();
}

Inspection::~Inspection()
{
    const StoreResult result = saveModifiedTests();
    if (result != StoreResult::Ok)
        qCWarning(lcInspection) << "moved marks not saved into" << path << result.code() << result.cause();
}

int Inspection::indexOfTest(const QUuid &id) const
{
    for (int i = 0; i < tests.size(); ++i) {
        if (tests[i].id == id)
            return i;
    }
    return -1;
}

QString Inspection::rowIdOf(const QUuid &id) const
{
    const int index = indexOfTest(id);
    return index < 0 ? id.toString() : tests[index].rowId();
}

void Inspection::clear()
{
    path.clear();
    tests.clear();
    metricParams.clear();
    preTestText.clear();
    undoHistory.clear();
    pendingRecordings.clear();
    m_rows.clear();
    m_marksRefused = QUuid();
    m_opened = false;
}

StoreResult Inspection::load(const QString &file)
{
    return loadWith(file, [](InspectionStore &) {});
}

StoreResult Inspection::loadSubject(const QString &file, _Person &person)
{
    return loadWith(file, [this, &person](InspectionStore &store) {
        readPerson(store, person);
        readPreTestConversation(store);
    });
}

StoreResult Inspection::loadWith(const QString &file, const std::function<void(InspectionStore &)> &more)
{
    saveModifiedTests();
    clear();
    path = file;

    InspectionStore store(file, InspectionStore::ExistingFile);
    if (!store.isOpen())
        return store.refusal().isEmpty() ? store.openFailure() : StoreResult(StoreResult::Refused, store.refusal());
    m_opened = true;
    more(store);
    return readTests(store);
}

StoreResult Inspection::readTests(InspectionStore &store)
{
    // Which tests are recorded is asked once: a question per test would scan
    // the table once per test.
    QSet<QString> recorded;
    bool decoded = store.ownersOf(InspectionDataType::Recording, recorded);
    bool intact = SubjectBounds::forEachStructure(store, [&](const QString &rowId, const QJsonObject &structure,
                                                             quint64 fingerprint) {
        _Test test;
        test.setIdFromRow(rowId);
        test.fromJson(structure);
        test.recorded = recorded.contains(test.rowId());
        tests.append(test);
        pushUndoObject(test.id, structure);
        noteStored(rowId, InspectionDataType::Struct, fingerprint);
        // An unrecorded test's recording is known as none; a recorded one's once its marks are read.
        if (decoded && !test.recorded)
            noteStored(rowId, InspectionDataType::Recording, InspectionStore::kAbsent);
    });
    intact = intact && decoded;
    sortTestsByDate();
    return store.outcome(intact, StoreResult::Damaged);
}

StoreResult Inspection::saveTestStruct(_Test *test, bool pushUndo, FileUse use)
{
    InspectionStore store(path, mayCreate(use) ? InspectionStore::CreateFile : InspectionStore::ExistingFile);
    if (!store.isOpen())
        return store.openFailure();
    if (!store.createTable())
        return store.outcome(false, StoreResult::NotWritten);
    if (!test)
        return StoreResult::Ok;
    QJsonObject structure;
    // A test new to the file goes only into one that holds no test unseen here.
    quint64 known = InspectionStore::kAbsent;
    const bool stored = m_rows.noted(test->rowId(), InspectionDataType::Struct, known);
    const StoreResult result = writeChecked(store, {{test->rowId(), InspectionDataType::Struct, testChanged(*test)}},
                                            [&] { return writeStruct(store, *test, structure); },
                                            stored && known != InspectionStore::kAbsent
                                                ? RowsAsRead::Subject::AsRead
                                                : RowsAsRead::Subject::AsReadWithNoUnseenTest);
    if (result == StoreResult::Ok && pushUndo)
        pushUndoObject(test->id, structure);
    return result;
}

StoreResult Inspection::writeStruct(InspectionStore &store, _Test &test, QJsonObject &structure)
{
    test.toJson(structure);
    return writeNotedDocument(store, test.rowId(), InspectionDataType::Struct, {{QStringLiteral("struct"), structure}});
}

StoreResult Inspection::saveNewTestStructs(QVector<_Test> &newTests)
{
    InspectionStore store(path, mayCreate(FileUse::MayCreate) ? InspectionStore::CreateFile
                                                              : InspectionStore::ExistingFile);
    if (!store.isOpen())
        return store.openFailure();
    if (!store.createTable())
        return store.outcome(false, StoreResult::NotWritten);
    // Rows of new tests are only inserted: looking for a row to update would
    // scan the whole table once per test.
    return writeChecked(store, {}, [&] {
        for (_Test &test : newTests) {
            QJsonObject structure;
            test.toJson(structure);
            const QByteArray document = BinaryJson::encode({{QStringLiteral("struct"), structure}});
            if (document.isEmpty())
                return StoreResult(StoreResult::TooLarge);
            if (!store.insertRow(test.rowId(), InspectionDataType::Struct, document))
                return store.outcome(false, StoreResult::NotWritten);
            noteStored(test.rowId(), InspectionDataType::Struct, InspectionStore::fingerprintOf(document));
        }
        return StoreResult(StoreResult::Ok);
    }, RowsAsRead::Subject::AsReadWithNoUnseenTest);
}

StoreResult Inspection::saveRecording(_Test *test)
{
    return saveRecordingRow(test, InspectionDataType::Recording);
}

StoreResult Inspection::saveRecordingHeader(_Test *test)
{
    return saveRecordingRow(test, InspectionDataType::RecordingHeader);
}

StoreResult Inspection::saveRecordingRow(_Test *test, int kind)
{
    // A recording goes only into a subject file that exists already: its
    // structure row made it.
    InspectionStore store(path, InspectionStore::ExistingFile);
    if (!store.isOpen())
        return store.openFailure();
    if (!test || test->samples(0)->isEmpty())
        return StoreResult::NotWritten;
    const QString owner = test->rowId();
    const bool header = kind == InspectionDataType::RecordingHeader;
    // Marks without their samples would show a test recorded with nothing to
    // review. A recording noted as read is not read again here: its check
    // tells whether it is still there.
    quint64 recording = InspectionStore::kAbsent;
    const bool noted = m_rows.noted(owner, InspectionDataType::Recording, recording);
    bool hasSamples = noted && recording != InspectionStore::kAbsent;
    if (header && !noted && !store.hasRow(owner, InspectionDataType::Recording, hasSamples))
        return store.outcome(false, StoreResult::NotWritten);
    if (header && !hasSamples)
        return StoreResult::NotWritten;
    // Marks go only onto the structure and recording they were made on.
    // A recording's structure was checked by its save just before.
    const QVector<RowCheck> checks = header ? scoredChecks(*test, kind)
                                            : QVector<RowCheck>{{owner, kind, testChanged(*test)}};
    const StoreResult result = writeChecked(store, checks, [&] {
        const QByteArray bytes = recordingBytes(*test, !header);
        const StoreResult written = bytes.isEmpty() ? StoreResult(StoreResult::TooLarge)
                                                    : store.writeEncoded(owner, kind, bytes);
        StoredBytes stored(bytes);
        noteStored(owner, kind,
                   header ? InspectionStore::fingerprintOf(bytes) : RowsAsRead::recordingFingerprint(stored));
        return written;
    });
    if (result == StoreResult::Ok)
        test->recorded = true;
    return result;
}

bool Inspection::holdsRecording(const _Test &test)
{
    InspectionStore store(path, InspectionStore::ExistingFile);
    bool exists = false;
    return store.isOpen() && store.hasRow(test.rowId(), InspectionDataType::Recording, exists) && exists;
}

QByteArray Inspection::recordingBytes(_Test &test, bool withSamples)
{
    // Marks and samples go straight into the stored form: as JSON values
    // they would cost a value object per number.
    BinaryJsonObject document;
    BinaryJsonObject::Value marks, restore, samples;
    if (!document.readJson(recordingDocument(test)) || !test.labelsToJson(marks)
        || !test.labelsForRestoreToJson(restore) || (withSamples && !test.samplesToJson(samples)))
        return QByteArray();
    document.insert(QStringLiteral("labels"), marks);
    document.insert(QStringLiteral("labelsForRestore"), restore);
    if (withSamples)
        document.insert(kSamplesKey, samples);
    return document.toDocument();
}

QJsonObject Inspection::recordingDocument(_Test &test)
{
    QJsonObject document;
    const auto insertPart = [&document](const char *key, auto write) {
        QJsonObject part;
        write(part);
        document.insert(QLatin1String(key), part);
    };
    insertPart("channels", [&test](QJsonObject &part) { test.channelsToJson(part); });
    insertPart("ia", [&test](QJsonObject &part) { test.ia.toJson(part); });
    document.insert(QStringLiteral("idsensor"), test.idsensor.toString());
    document.insert(QStringLiteral("missedFrames"), test.missedFrames);
    document.insert(QStringLiteral("lineErrors"), test.lineErrors);
    return document;
}

void Inspection::readRecordingDocument(_Test &test, const QJsonObject &document, RecordingPart part)
{
    const auto object = [&document](const char *key) { return document.value(QLatin1String(key)).toObject(); };
    if (part == RecordingPart::Full)
        test.samplesFromJson(document.value(kSamplesKey).toObject());
    test.labelsFromJson(object("labels"));
    test.labelsForRestoreFromJson(object("labelsForRestore"));
    if (part == RecordingPart::Marks)
        return;
    test.channelsFromJson(object("channels"));
    test.ia.fromJson(object("ia"));
    test.idsensor = QUuid(document.value(QStringLiteral("idsensor")).toString());
    test.missedFrames = std::max(0, document.value(QStringLiteral("missedFrames")).toInt());
    test.lineErrors = std::max(0, document.value(QStringLiteral("lineErrors")).toInt());
}

BinaryJsonObject Inspection::marksOf(const BinaryJsonObject &document)
{
    BinaryJsonObject marks;
    for (const char *key : {"labels", "labelsForRestore"}) {
        const BinaryJsonObject::Value value = document.value(QLatin1String(key));
        if (value.type() != BinaryJsonObject::Null)
            marks.insert(QLatin1String(key), value);
    }
    return marks;
}

bool Inspection::readRecordingRow(_Test &test, StoredBytes &bytes, RecordingPart part)
{
    // The samples are read straight from the stored form, the rest through
    // Qt's JSON types; a row of any other shape goes through them whole.
    BinaryJsonObject document;
    if (document.readDocument(bytes)) {
        const BinaryJsonObject::Value samples = document.take(kSamplesKey);
        // Marks alone need only the two mark lists decoded, not the channels.
        if (part == RecordingPart::Marks)
            document = marksOf(document);
        QJsonObject rest;
        if (!document.readLeftValues(bytes) || !BinaryJson::decode(document.toDocument(), rest))
            return false;
        if (part == RecordingPart::Marks || test.samplesFromJson(bytes, samples)) {
            readRecordingDocument(test, rest, part == RecordingPart::Full ? RecordingPart::Header : part);
            return true;
        }
    }
    const char *all = bytes.bytes(0, bytes.size());
    QJsonObject whole;
    if (!all || !BinaryJson::decode(QByteArray::fromRawData(all, int(bytes.size())), whole))
        return false;
    readRecordingDocument(test, whole, part);
    return true;
}

StoreResult Inspection::loadRecording(_Test *test, bool marksOnly)
{
    InspectionStore store(path, InspectionStore::ExistingFile);
    if (!store.isOpen() || !test)
        return store.openFailure();
    return readRecording(store, *test, marksOnly ? RecordingPart::Marks : RecordingPart::Full);
}

StoreResult Inspection::loadMarks()
{
    QVector<_Test *> lacking;
    for (_Test &test : tests) {
        if (test.recorded && test.labels.isEmpty() && !test.samplesLoaded())
            lacking.append(&test);
    }
    if (lacking.isEmpty())
        return StoreResult::Ok;
    InspectionStore store(path, InspectionStore::ExistingFile);
    if (!store.isOpen())
        return store.openFailure();
    // One pass finds every row the tests need; each test's reads then go
    // straight to its rows instead of scanning the table four times.
    store.placeRows({InspectionDataType::Recording, InspectionDataType::RecordingHeader,
                     InspectionDataType::BallValuation, InspectionDataType::MetricValuation});
    StoreResult result = StoreResult::Ok;
    for (_Test *test : qAsConst(lacking))
        result = StoreResult::worse(result, readRecording(store, *test, RecordingPart::Marks));
    return result;
}

StoreResult Inspection::loadSamples(_Test *test)
{
    return test && test->recorded && !test->samplesLoaded() ? loadRecording(test) : StoreResult(StoreResult::Ok);
}

StoreResult Inspection::loadRecordingsInTurn(const QVector<_Test *> &sharing)
{
    InspectionStore store(path, InspectionStore::ExistingFile);
    if (!store.isOpen() || sharing.isEmpty())
        return store.openFailure();
    int turn = 0;
    bool decoded = true;
    const bool intact = store.forEachRowInPieces(sharing.first()->rowId(), InspectionDataType::Recording,
                                                 [&](StoredBytes &bytes) {
                                                     if (turn < sharing.size())
                                                         decoded = readRecordingRow(*sharing[turn++], bytes,
                                                                                    RecordingPart::Full)
                                                                   && decoded;
                                                 });
    return store.outcome(intact && decoded, StoreResult::Damaged);
}

StoreResult Inspection::rereadTest(_Test *test)
{
    InspectionStore store(path, InspectionStore::ExistingFile);
    if (!store.isOpen() || !test)
        return store.openFailure();
    const StoreResult read = readRecording(store, *test, RecordingPart::Marks, Valuations::AsStored);
    return read == StoreResult::Ok ? rereadQuestionnaireOfSameSubject(store) : read;
}

StoreResult Inspection::rereadQuestionnaireOfSameSubject(InspectionStore &store)
{
    bool same = false;
    if (!m_rows.holdsTestsRead(store, same))
        return store.outcome(false, StoreResult::Damaged);
    _Person person;
    if (same)
        readPerson(store, person);
    return StoreResult::Ok;
}

StoreResult Inspection::readRecording(InspectionStore &store, _Test &test, RecordingPart part, Valuations valuations)
{
    QVector<QJsonObject> headers;
    bool decoded = true;
    quint64 recording = InspectionStore::kAbsent;
    bool intact = store.forEachRowInPieces(test.rowId(), InspectionDataType::Recording, [&](StoredBytes &bytes) {
        decoded = readRecordingRow(test, bytes, part) && decoded;
        recording = InspectionStore::folded(recording, RowsAsRead::recordingFingerprint(bytes));
    });
    intact = intact && decoded;
    // Marks moved in the review are saved as a header and take precedence.
    quint64 header = InspectionStore::kAbsent;
    const StoreResult headerResult
        = store.readDocuments(test.rowId(), InspectionDataType::RecordingHeader, headers, &header);
    for (const QJsonObject &document : headers)
        readRecordingDocument(test, document, RecordingPart::Header);
    const StoreResult result = StoreResult::worse(store.outcome(intact, StoreResult::Damaged), headerResult);
    QVector<QJsonObject> scores;
    QVector<QJsonObject> measures;
    quint64 scored = InspectionStore::kAbsent;
    quint64 measured = InspectionStore::kAbsent;
    const StoreResult valuationsRead
        = StoreResult::worse(store.readDocuments(test.rowId(), InspectionDataType::BallValuation, scores, &scored),
                store.readDocuments(test.rowId(), InspectionDataType::MetricValuation, measures, &measured));
    if (valuations == Valuations::AsStored && valuationsRead == StoreResult::Ok)
        test.clearValuations();
    for (const QJsonObject &document : scores)
        loadBallValuation(&test, document);
    for (const QJsonObject &document : measures)
        loadMetricValuation(&test, document);
    const StoreResult all = StoreResult::worse(result, valuationsRead);
    // Only rows read whole are known as read.
    if (all == StoreResult::Ok) {
        noteStored(test.rowId(), InspectionDataType::Recording, recording);
        noteStored(test.rowId(), InspectionDataType::RecordingHeader, header);
        noteStored(test.rowId(), InspectionDataType::BallValuation, scored);
        noteStored(test.rowId(), InspectionDataType::MetricValuation, measured);
    }
    return all;
}

StoreResult Inspection::saveModifiedTests()
{
    StoreResult result = StoreResult::Ok;
    for (_Test &test : tests) {
        // Marks are moved only on a recording in memory.
        if (!test.labelsModified || pendingRecordings.contains(test.id) || !test.samplesLoaded())
            continue;
        const StoreResult saved = saveRecordingHeader(&test);
        if (saved == StoreResult::Ok)
            test.labelsModified = false;
        if (saved == StoreResult::Changed)
            m_marksRefused = test.id;
        else if (m_marksRefused == test.id)
            m_marksRefused = QUuid();
        if (saved != StoreResult::Ok && result == StoreResult::Ok)
            result = saved;
    }
    return result;
}

void Inspection::setRecordingPending(const QUuid &id, bool pending)
{
    pendingRecordings.removeAll(id);
    if (pending)
        pendingRecordings.append(id);
}

Inspection::_Test *Inspection::pendingTest()
{
    for (const QUuid &id : qAsConst(pendingRecordings)) {
        if (_Test *pending = test(indexOfTest(id)))
            return pending;
    }
    return nullptr;
}

StoreResult Inspection::holdsSubjectAsRead()
{
    InspectionStore store(path, InspectionStore::ExistingFile);
    if (!store.isOpen())
        return store.openFailure();
    return m_rows.check(store, path, {}, m_opened ? RowsAsRead::Subject::AsReadWithNoUnseenTest
                                                  : RowsAsRead::Subject::Unchecked,
                        subjectChanged());
}

StoreResult Inspection::deleteTest(const QUuid &id)
{
    InspectionStore store(path, InspectionStore::ExistingFile);
    if (!store.isOpen())
        return store.openFailure();
    const QString owner = rowIdOf(id);
    const int index = indexOfTest(id);
    const QString changed = index < 0 ? QString() : testChanged(tests[index]);
    return writeChecked(store,
                        {{owner, InspectionDataType::Struct, changed}, {owner, InspectionDataType::Recording, changed}},
                        [&] {
                            if (!store.deleteTest(owner))
                                return store.outcome(false, StoreResult::NotWritten);
                            noteGone(owner, {InspectionDataType::Struct, InspectionDataType::Recording,
                                             InspectionDataType::RecordingHeader, InspectionDataType::BallValuation,
                                             InspectionDataType::MetricValuation});
                            return StoreResult(StoreResult::Ok);
                        });
}

StoreResult Inspection::deleteTestData(const QUuid &id)
{
    InspectionStore store(path, InspectionStore::ExistingFile);
    if (!store.isOpen())
        return store.openFailure();
    const QString owner = rowIdOf(id);
    const int index = indexOfTest(id);
    const QString changed = index < 0 ? QString() : testChanged(tests[index]);
    return writeChecked(store, {{owner, InspectionDataType::Recording, changed}}, [&] {
        if (!store.deleteTestExcept(owner, InspectionDataType::Struct))
            return store.outcome(false, StoreResult::NotWritten);
        noteGone(owner, {InspectionDataType::Recording, InspectionDataType::RecordingHeader,
                         InspectionDataType::BallValuation, InspectionDataType::MetricValuation});
        return StoreResult(StoreResult::Ok);
    });
}

void Inspection::sortTestsByDate()
{
    const auto recordedFirst = std::stable_partition(tests.begin(), tests.end(),
                                                     [](const _Test &test) { return test.recorded; });
    std::stable_sort(tests.begin(), recordedFirst, [](const _Test &a, const _Test &b) {
        return a.DateTimeRecorded < b.DateTimeRecorded;
    });
}
