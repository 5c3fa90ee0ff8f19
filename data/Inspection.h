#pragma once

#include "InspectionAnalysisInterval.h"
#include "InspectionBallValuation.h"
#include "InspectionChannel.h"
#include "InspectionDataType.h"
#include "InspectionLabel.h"
#include "InspectionMetricParam.h"
#include "InspectionMetricValuation.h"
#include "InspectionOrder.h"
#include "InspectionPerson.h"
#include "InspectionTest.h"
#include "InspectionTheme.h"
#include "InspectionUndoHistory.h"
#include "PhotoReader.h"
#include "RowsAsRead.h"
#include "StoreResult.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QJsonObject>
#include <QMap>
#include <QPair>
#include <QString>
#include <QUuid>
#include <QVector>

#include <functional>

class BinaryJsonObject;
class InspectionStore;

// The examination of one subject: the tests of one subject file, with their
// storage and the undo history of their structures.
class Inspection
{
public:
    using _Test = InspectionTest;
    using _Theme = InspectionTheme;
    using _Order = InspectionOrder;
    using _Label = InspectionLabel;
    using _Channel = InspectionChannel;
    using _AnalysisInterval = InspectionAnalysisInterval;
    using _BallValuation = InspectionBallValuation;
    using _MetricParam = InspectionMetricParam;
    using _MetricValuation = InspectionMetricValuation;
    using _UndoHistory = InspectionUndoHistory;
    using _Person = InspectionPerson;
    // An attached file: the name shown in the questionnaire, and the content.
    using AttachedFile = QPair<QString, QByteArray>;

    Inspection();
    explicit Inspection(const QString &file);
    // Saves the recording headers of tests whose marks were moved; one that
    // cannot be saved is logged, for no one is left to ask.
    ~Inspection();

    QVector<_Test> tests;
    QString path;
    QString preTestText;
    QVector<_MetricParam> metricParams;
    QMap<QUuid, _UndoHistory> undoHistory;
    QVector<QUuid> pendingRecordings;

    // The test at an index, or null when the index names none (indexes arrive through signals).
    _Test *test(int index) { return index >= 0 && index < tests.size() ? &tests[index] : nullptr; }
    // The test of that id, or null: what a window finds again after a question,
    // for the subject may have been read anew meanwhile.
    _Test *testWithId(const QUuid &id) { return test(indexOfTest(id)); }
    int indexOfTest(const QUuid &id) const;
    void appendTest(const _Test &test) { tests.append(test); }
    // Forgets the subject: path, tests, metric parameters, pre-test text,
    // undo history and pending recordings.
    void clear();
    // Whether the subject was read from path: every save then goes into the
    // file as it is, never one made anew.
    bool isOpened() const { return m_opened; }
    // The subject read anew from its file, with the marks of its recorded
    // tests, as another program may have left it. Marks moved and not yet
    // saved stay, but for those of the test dropped: their save is checked
    // against the recording they were moved on.
    StoreResult reread(const QUuid &dropped = QUuid());
    // Each test's structure as last read or saved (its undo state in force);
    // a test never saved is gone. For a file that cannot be read anew.
    void revertUnsaved();

    // --- subject file ---
    // Replaces the examination by the tests stored in file.
    StoreResult load(const QString &file);
    // The same with the questionnaire and the pre-test text, all in one
    // opening of the file; those two are read as far as they can be.
    StoreResult loadSubject(const QString &file, _Person &person);
    // Whether a write may make the subject file, or only goes into one that is there.
    enum class FileUse { MayCreate, MustExist };
    // Every save of a row this examination read checks first, in the same
    // transaction, that the row is still as read or last written here;
    // where another program changed it, nothing is written and the result
    // is Changed, its cause naming the test or record.
    // Writes the test's structure row, creating the file and its table when
    // missing (unless use says the file must exist, or the subject was read
    // from it); with no test only the file and table are made.
    StoreResult saveTestStruct(_Test *test, bool pushUndo = true, FileUse use = FileUse::MayCreate);
    // Writes the structure rows of tests the file does not hold yet (new
    // identifiers), creating the file and its table when missing (unless the
    // subject was read from it): all in one transaction, so every test is
    // written or none.
    StoreResult saveNewTestStructs(QVector<_Test> &newTests);
    StoreResult saveRecording(_Test *test);
    StoreResult saveRecordingHeader(_Test *test);
    // Whether the subject file holds a recording of the test, whoever wrote it;
    // false as well when the file cannot be read.
    bool holdsRecording(const _Test &test);
    // Fills the test's recording, marks, channels and interval from its rows,
    // and merges in its points scores and measured metric values.
    // Reading a whole recording leaves freed blocks in the heap: the window
    // that asked hands them back once it is done (LargeBlockHeap::returnFreed).
    StoreResult loadRecording(_Test *test, bool marksOnly = false);
    // The test's marks and scores as the file holds them now, for a window
    // whose save was refused: scores, weights, left-out presentations and
    // metric values the file no longer holds go from memory too. Where the
    // file still holds every test read here, its questionnaire is read anew
    // with them, so the next save goes in.
    StoreResult rereadTest(_Test *test);
    // The marks and scores of every recorded test that has neither marks nor
    // samples in memory, in one opening of the file; samples stay unread.
    StoreResult loadMarks();
    // The whole recording of a recorded test whose samples are not in memory.
    StoreResult loadSamples(_Test *test);
    // Tests sharing one id, as a damaged copy may hold them: the k-th of them
    // takes the k-th recording row stored under that id.
    StoreResult loadRecordingsInTurn(const QVector<_Test *> &sharing);
    // Marks moved in the review, as headers; a test whose recording is
    // pending is left for its whole save. A test stays modified until saved.
    StoreResult saveModifiedTests();
    // The test whose moved marks were refused last, until they are saved; null otherwise.
    QUuid marksRefused() const { return m_marksRefused; }
    // --- recordings whose save failed: kept in memory until they reach a file ---
    void setRecordingPending(const QUuid &id, bool pending);
    bool hasPendingRecording() const { return !pendingRecordings.isEmpty(); }
    // Ok when the file holds the subject read and no test unseen here.
    StoreResult holdsSubjectAsRead();
    // The first pending test, or null.
    _Test *pendingTest();
    StoreResult deleteTest(const QUuid &id);
    // Every row of the test except its structure.
    StoreResult deleteTestData(const QUuid &id);
    // Recorded tests first by recording date-time, then the others; stable.
    void sortTestsByDate();

    // --- scores ---
    // Writes the test's points scores, weights and disabled presentations.
    StoreResult saveBallValuation(_Test *test);
    // Merges one stored points document into the test.
    static void loadBallValuation(_Test *test, const QJsonObject &document);
    // Writes metricParams as the examination's one parameter row.
    StoreResult saveMetricParams();
    // Replaces metricParams by the stored list; empty when there is none or
    // the file does not open. Read after a refused save, it notes the
    // questionnaire anew as rereadTest does.
    StoreResult loadMetricParams();
    StoreResult saveMetricValuation(_Test *test);
    // metricParams and the measured values of the changed tests in one
    // transaction: all of them are written or none.
    StoreResult saveMetricParamsAndValuations(const QVector<_Test *> &changed);
    // Merges one stored metric document into the test.
    static void loadMetricValuation(_Test *test, const QJsonObject &document);

    // --- subject records; none of them creates a missing subject file ---
    // Fills the questionnaire from the file; unchanged when it holds none.
    StoreResult loadPerson(_Person &person);
    StoreResult savePerson(const _Person &person);
    // A photo that does not decode is a null image at its place, and so is one
    // too large to decode; results, when given, tells which (PhotoReader). With
    // a valid bound each photo is decoded scaled down to fit within it.
    QVector<QImage> loadPhotos(const QSize &bound = QSize(), QVector<PhotoReader::Result> *results = nullptr);
    // Replaces every stored photo, all at once or, on failure, not at all.
    StoreResult savePhotos(const QVector<QImage> &photos);
    // The bytes a photo is stored as.
    static QByteArray photoRecord(const QImage &photo);
    // The stored photos' bytes, decodable or not.
    QVector<QByteArray> loadPhotoRecords();
    // Replaces every stored photo by these bytes, all at once or not at all.
    StoreResult savePhotoRecords(const QVector<QByteArray> &records);
    // Names and contents paired by position, as far as both exist.
    QVector<AttachedFile> loadFiles();
    // Replaces every attached file, all at once or, on failure, not at all.
    // Names are stored as given, path separators included.
    StoreResult saveFiles(const QVector<AttachedFile> &files);
    // The questionnaire, photos, pre-test text (preTestText) and attached
    // files in one transaction, checked against all four as read: all of
    // them are written or none.
    StoreResult saveQuestionnaire(const _Person &person, const QVector<QByteArray> &photos,
                                  const QVector<AttachedFile> &files);
    // Replaces preTestText by the stored text; empty when there is none.
    StoreResult loadPreTestConversation();
    StoreResult savePreTestConversation();

    // --- undo history of test structures ---
    void pushUndoState(_Test *test);
    StoreResult stepUndo(_Test *test, int delta);
    bool canUndo(const _Test *test) const;
    bool canRedo(const _Test *test) const;

private:
    using RowCheck = RowsAsRead::Check;
    bool mayCreate(FileUse use) const { return use == FileUse::MayCreate && !m_opened; }
    void noteStored(const QString &owner, int kind, quint64 fingerprint) { m_rows.note(owner, kind, fingerprint); }
    // The writes in one transaction, once the file holds the subject read
    // and every row checked is as this examination last saw it.
    StoreResult writeChecked(InspectionStore &store, const QVector<RowCheck> &checks,
                             const std::function<StoreResult()> &write,
                             RowsAsRead::Subject subject = RowsAsRead::Subject::AsRead);
    QString testChanged(const _Test &test) const;
    RowsAsRead::SubjectChanged subjectChanged() const;
    static QString questionnaireChanged();
    // Rows of the owner this examination removed, known as gone.
    void noteGone(const QString &owner, std::initializer_list<int> kinds);
    // A test's marks moved and not yet saved, onto the test as read anew.
    void keepMovedMarks(const _Test &kept, Inspection &fresh) const;
    // What a save onto a test's scores or marks depends on: the test's
    // structure and recording as read, and the row itself.
    QVector<RowCheck> scoredChecks(const _Test &test, int kind) const;
    StoreResult writeStruct(InspectionStore &store, _Test &test, QJsonObject &structure);
    enum class RecordingPart { Marks, Header, Full };
    StoreResult saveRecordingRow(_Test *test, int kind);
    // The stored form of a recording row; empty when too large for the format.
    static QByteArray recordingBytes(_Test &test, bool withSamples);
    // The recording document without its marks and samples.
    static QJsonObject recordingDocument(_Test &test);
    static void readRecordingDocument(_Test &test, const QJsonObject &document, RecordingPart part);
    // False when the row is damaged; the test is then untouched.
    static bool readRecordingRow(_Test &test, StoredBytes &bytes, RecordingPart part);
    // The members of a recording document that hold its marks.
    static BinaryJsonObject marksOf(const BinaryJsonObject &document);
    // Valuations read merge into those in memory, or replace them.
    enum class Valuations { Merged, AsStored };
    // The test's recording rows of that part with its headers and valuations.
    StoreResult readRecording(InspectionStore &store, _Test &test, RecordingPart part,
                              Valuations valuations = Valuations::Merged);
    // A questionnaire another program changed is noted anew where the file
    // still holds every test read here: the same subject, whose next save goes in.
    StoreResult rereadQuestionnaireOfSameSubject(InspectionStore &store);
    // Opens the file for load, lets `more` read from it, then reads the tests.
    StoreResult loadWith(const QString &file, const std::function<void(InspectionStore &)> &more);
    StoreResult readTests(InspectionStore &store);
    StoreResult readPerson(InspectionStore &store, _Person &person);
    StoreResult readPreTestConversation(InspectionStore &store);
    StoreResult readFirstDocument(InspectionStore &store, const QString &testId, int kind, QJsonObject &document);
    // A document under its owner's row in an existing subject file, once
    // that row is as this examination last saw it.
    StoreResult writeDocument(const QString &testId, int kind, const QJsonObject &document,
                              const QVector<RowCheck> &checks);
    StoreResult writeDocument(const QString &testId, int kind, const QJsonObject &document, const QString &changed)
    {
        return writeDocument(testId, kind, document, {{testId, kind, changed}});
    }
    // The document written and known as stored, unchecked.
    StoreResult writeNotedDocument(InspectionStore &store, const QString &testId, int kind,
                                   const QJsonObject &document);
    // The test's document of a kind, as the member builds it, checked against
    // what scores depend on and the rows also named.
    StoreResult writeTestDocument(_Test *test, int kind, void (_Test::*build)(QJsonObject &) const,
                                  const QVector<RowCheck> &alsoChecked = {});
    void pushUndoObject(const QUuid &id, const QJsonObject &structure);
    QString rowIdOf(const QUuid &id) const;

    // What the rows of the subject held as this examination read or last
    // wrote them; rows not in it are written unchecked.
    RowsAsRead m_rows;
    QUuid m_marksRefused;
    bool m_opened = false;
};
