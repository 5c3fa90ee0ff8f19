// Saves and loads an examination of ten fully recorded tests, and beside it
// the floor: the same sample bytes as one plain BLOB per test through the
// same connection.
#include "BenchExamination.h"
#include "data/InspectionStore.h"
#include "data/LargeBlockHeap.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kTests = 10;
const int kTicks = BenchTestShape().ticks;
constexpr int kRuns = 3;
constexpr int kBlobKind = 1 << 20;  // a kind no record uses

QByteArray sampleBytes(const Inspection::_Test &test)
{
    QByteArray bytes;
    for (int code = 0; code < 13; ++code)
        bytes.append(reinterpret_cast<const char *>(test.samples(code)->constData()), kTicks * int(sizeof(qint16)));
    bytes.append(reinterpret_cast<const char *>(test.TimeMM.constData()), kTicks * int(sizeof(qint32)));
    return bytes;
}

void samplesFromBytes(const QByteArray &bytes, Inspection::_Test &test)
{
    const char *at = bytes.constData();
    for (int code = 0; code < 13; ++code, at += kTicks * sizeof(qint16)) {
        test.samples(code)->resize(kTicks);
        std::memcpy(test.samples(code)->data(), at, kTicks * sizeof(qint16));
    }
    test.TimeMM.resize(kTicks);
    std::memcpy(test.TimeMM.data(), at, kTicks * sizeof(qint32));
}

long peakMemoryKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

struct Figures {
    double save = 0, loadStructures = 0, loadRecordings = 0, blobWrite = 0, blobRead = 0;
};

Figures runOnce(const QVector<Inspection::_Test> &source, const QString &folder, int run)
{
    Figures figures;
    QElapsedTimer timer;
    const QString path = folder + QStringLiteral("/subject%1.qmz").arg(run);
    {
        Inspection inspection(path);
        inspection.tests = source;
        timer.start();
        for (Inspection::_Test &test : inspection.tests) {
            inspection.saveTestStruct(&test);
            inspection.saveRecording(&test);
        }
        figures.save = timer.nsecsElapsed() / 1e6;
    }
    {
        Inspection inspection;
        timer.start();
        inspection.load(path);
        figures.loadStructures = timer.nsecsElapsed() / 1e6;
        timer.start();
        for (Inspection::_Test &test : inspection.tests)
            inspection.loadRecording(&test);
        figures.loadRecordings = timer.nsecsElapsed() / 1e6;
        if (inspection.tests.size() != kTests || inspection.tests[3].samples(5)->size() != kTicks)
            qFatal("the examination did not come back whole");
    }

    const QString blobPath = folder + QStringLiteral("/blob%1.qmz").arg(run);
    Inspection(blobPath).saveTestStruct(nullptr);
    timer.start();
    for (const Inspection::_Test &test : source) {
        InspectionStore store(blobPath, InspectionStore::ExistingFile);
        store.writeRow(test.rowId(), kBlobKind, sampleBytes(test));
    }
    figures.blobWrite = timer.nsecsElapsed() / 1e6;
    QVector<Inspection::_Test> back(kTests);
    timer.start();
    for (int i = 0; i < kTests; ++i) {
        InspectionStore store(blobPath, InspectionStore::ExistingFile);
        QVector<InspectionStore::Row> rows;
        store.readRows(source[i].rowId(), kBlobKind, rows);
        samplesFromBytes(rows.value(0).data, back[i]);
    }
    figures.blobRead = timer.nsecsElapsed() / 1e6;
    return figures;
}

}  // namespace

int main(int argc, char *argv[])
{
    // As the program starts.
    LargeBlockHeap::keepLargeBlocks();
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const BenchTestShape shape;
    QVector<Inspection::_Test> source;
    for (int n = 0; n < kTests; ++n)
        source.append(recordedTest(n, shape));
    const long baseKb = peakMemoryKb();

    QVector<Figures> runs;
    for (int run = 0; run < kRuns; ++run)
        runs.append(runOnce(source, folder.path(), run));
    const auto best = [&runs](double Figures::*member) {
        double value = runs[0].*member;
        for (const Figures &f : runs)
            value = std::min(value, f.*member);
        return value;
    };
    const double save = best(&Figures::save), loadStructures = best(&Figures::loadStructures),
                 loadRecordings = best(&Figures::loadRecordings), blobWrite = best(&Figures::blobWrite),
                 blobRead = best(&Figures::blobRead);

    QTextStream out(stdout);
    out << "examination: " << kTests << " tests x " << kTicks << " ticks, 13 channels + TimeMM, "
        << shape.presentations * shape.questions << " marks each; file "
        << QFile(folder.path() + QStringLiteral("/subject0.qmz")).size() / (1024 * 1024) << " MB\n";
    out << QStringLiteral("save all:              %1 ms\n").arg(save, 0, 'f', 1);
    out << QStringLiteral("load structures:       %1 ms\n").arg(loadStructures, 0, 'f', 1);
    out << QStringLiteral("load all recordings:   %1 ms\n").arg(loadRecordings, 0, 'f', 1);
    out << QStringLiteral("plain BLOB write:      %1 ms  (save / floor = %2)\n")
               .arg(blobWrite, 0, 'f', 1).arg(save / blobWrite, 0, 'f', 1);
    out << QStringLiteral("plain BLOB read:       %1 ms  (load all / floor = %2)\n")
               .arg(blobRead, 0, 'f', 1).arg((loadStructures + loadRecordings) / blobRead, 0, 'f', 1);
    out << QStringLiteral("peak memory:           %1 MB (%2 MB before the runs, the examination itself included)\n")
               .arg(peakMemoryKb() / 1024.0, 0, 'f', 1).arg(baseKb / 1024.0, 0, 'f', 1);
    out << "best of " << kRuns << " runs\n";
    return 0;
}
