// The checked saves of a subject read by the review: moved marks and a
// recording saved again, in subjects of 8 hour-long tests and of 512 tests of
// three minutes, beside the floor: plain SQLite reading the header row and
// writing it as the save wrote it, in one transaction, on a copy of the file
// that has come the same way (a row written with its own bytes dirties no
// page and would be a floor no save could meet). Rounds interleaved; medians.
#include "BenchExamination.h"
#include "bench/BenchFloor.h"
#include "data/InspectionStore.h"
#include "data/LargeBlockHeap.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <sqlite3.h>

namespace {

constexpr int kRounds = 15;

struct Subject {
    int tests;
    int ticks;
};
const Subject kSubjects[] = {{8, 72000}, {512, 3 * 60 * 20}};

QString makeSubject(const QString &folder, const Subject &subject)
{
    BenchTestShape shape;
    shape.ticks = subject.ticks;
    shape.presentations = subject.ticks >= 72000 ? 60 : 3;
    Inspection inspection(folder + QStringLiteral("/subject%1.qmz").arg(subject.tests));
    for (int n = 0; n < subject.tests; ++n) {
        Inspection::_Test test = recordedTest(n, shape);
        if (inspection.saveTestStruct(&test, false) != StoreResult::Ok
            || inspection.saveRecording(&test) != StoreResult::Ok)
            qFatal("the subject file was not written");
    }
    return inspection.path;
}

double floorSeconds(const QString &path, const QString &owner, const QByteArray &header)
{
    QElapsedTimer timer;
    timer.start();
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        qFatal("the floor's file did not open");
    const QByteArray id = owner.toUtf8();
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_stmt *read = nullptr;
    sqlite3_prepare_v2(db, "SELECT data FROM inspection WHERE test_id=?1 AND data_type=32", -1, &read, nullptr);
    sqlite3_bind_text(read, 1, id.constData(), id.size(), SQLITE_STATIC);
    volatile int bytes = 0;
    while (sqlite3_step(read) == SQLITE_ROW)
        bytes = bytes + sqlite3_column_bytes(read, 0);
    sqlite3_finalize(read);
    sqlite3_stmt *write = nullptr;
    sqlite3_prepare_v2(db, "UPDATE inspection SET data=?2 WHERE test_id=?1 AND data_type=32", -1, &write, nullptr);
    sqlite3_bind_text(write, 1, id.constData(), id.size(), SQLITE_STATIC);
    sqlite3_bind_blob(write, 2, header.constData(), header.size(), SQLITE_STATIC);
    if (sqlite3_step(write) != SQLITE_DONE || sqlite3_changes(db) != 1)
        qFatal("the floor's row was not written: %s", sqlite3_errmsg(db));
    sqlite3_finalize(write);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return timer.nsecsElapsed() / 1e9;
}

QByteArray storedHeader(const QString &path, const QString &owner)
{
    InspectionStore store(path, InspectionStore::ExistingFile);
    QVector<InspectionStore::Row> rows;
    if (!store.readFirstRow(owner, 32, rows) || rows.isEmpty())
        qFatal("no header row was written");
    return rows.first().data;
}

template<typename Save>
double timed(Save save)
{
    QElapsedTimer timer;
    timer.start();
    if (save() != StoreResult::Ok)
        qFatal("a save was refused");
    return timer.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char *argv[])
{
    LargeBlockHeap::keepLargeBlocks();
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    QTextStream out(stdout);
    for (const Subject &subject : kSubjects) {
        const QString path = makeSubject(folder.path(), subject);
        Inspection review;
        if (review.load(path) != StoreResult::Ok || review.loadMarks() != StoreResult::Ok)
            qFatal("the subject was not read");
        Inspection::_Test &test = review.tests[review.tests.size() / 2];
        if (review.loadRecording(&test) != StoreResult::Ok)
            qFatal("the recording was not read");
        // The first mark save puts the header row in; the rounds replace it.
        const QString floorCopy = path + QStringLiteral(".floor");
        if (review.saveRecordingHeader(&test) != StoreResult::Ok || !QFile::copy(path, floorCopy))
            qFatal("the floor's copy was not made");
        QVector<double> marks, recordings, floor;
        for (int round = 0; round < kRounds; ++round) {
            test.labels[round % test.labels.size()].TickAEnd += 1;
            marks.append(timed([&] { return review.saveRecordingHeader(&test); }));
            floor.append(floorSeconds(floorCopy, test.rowId(), storedHeader(path, test.rowId())));
            if (round < 5)
                recordings.append(timed([&] { return review.saveRecording(&test); }));
        }
        const double mark = BenchFloor::median(marks) * 1e3, base = BenchFloor::median(floor) * 1e3;
        out << subject.tests << " tests x " << subject.ticks << " ticks:\n";
        out << QStringLiteral("  mark save:        %1 ms  (save / floor = %2)\n")
                   .arg(mark, 0, 'f', 2).arg(mark / base, 0, 'f', 2);
        out << QStringLiteral("  floor:            %1 ms\n").arg(base, 0, 'f', 2);
        out << QStringLiteral("  recording saved again: %1 ms\n")
                   .arg(BenchFloor::median(recordings) * 1e3, 0, 'f', 1);
    }
    out << "medians of " << kRounds << " rounds (recording: 5)\n";
    return 0;
}
