// The structure of a subject file of many tests loaded (Inspection::load),
// every fourth test recorded, beside its floor: SQLite reading every row of
// the same file. Sizes interleaved over three rounds; medians.
#include "bench/BenchFloor.h"
#include "bench/BenchHome.h"
#include "data/Inspection.h"
#include "data/InspectionStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

constexpr int kRounds = 3;
const int kSizes[] = {500, 2000, 8000, 32000};
// A recording row's size matters not: loading the structure never reads it.
const QByteArray kRecording(4096, 'r');

QString makeSubject(const QString &home, int tests)
{
    const QString path = home + QStringLiteral("/Обследуемый %1.qmz").arg(tests);
    Inspection inspection(path);
    QVector<Inspection::_Test> all;
    for (int n = 0; n < tests; ++n)
        all.append(Inspection::_Test(QStringLiteral("Тест %1").arg(n)));
    if (inspection.saveNewTestStructs(all) != StoreResult::Ok)
        qFatal("the subject file was not written");
    InspectionStore store(path, InspectionStore::ExistingFile);
    store.inTransaction([&] {
        for (int n = 0; n < tests; n += 4)
            store.insertRow(all[n].rowId(), InspectionDataType::Recording, kRecording);
        return true;
    });
    return path;
}

double loadSeconds(const QString &path, int tests)
{
    Inspection inspection;
    QElapsedTimer timer;
    timer.start();
    inspection.load(path);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (inspection.tests.size() != tests || !inspection.tests.first().recorded)
        qFatal("the structure did not come back whole");
    return seconds;
}

}  // namespace

int main(int argc, char *argv[])
{
    BenchHome home;
    QCoreApplication app(argc, argv);
    QVector<QString> paths;
    for (int tests : kSizes)
        paths.append(makeSubject(home.path(), tests));
    QVector<QVector<double>> loads(paths.size()), floors(paths.size());
    for (int round = 0; round < kRounds; ++round) {
        for (int i = 0; i < paths.size(); ++i) {
            loads[i].append(loadSeconds(paths[i], kSizes[i]));
            floors[i].append(BenchFloor::readSeconds(paths[i], "SELECT test_id, data_type, data FROM inspection"));
        }
    }
    std::printf("%6s %10s %10s %7s %14s\n", "tests", "load s", "floor s", "ratio", "per test us");
    const double perTestSmall = BenchFloor::median(loads[0]) / kSizes[0];
    for (int i = 0; i < paths.size(); ++i) {
        const double load = BenchFloor::median(loads[i]);
        const double floor = BenchFloor::median(floors[i]);
        std::printf("%6d %10.3f %10.3f %6.1fx %9.1f (%.2fx of %d)\n", kSizes[i], load, floor, load / floor,
                    load / kSizes[i] * 1e6, load / kSizes[i] / perTestSmall, kSizes[0]);
    }
    std::printf("medians of %d interleaved rounds\n", kRounds);
    return 0;
}
