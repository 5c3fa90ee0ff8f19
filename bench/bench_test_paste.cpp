// Tests pasted into a subject file from the clipboard format: 32 000 tests
// beside 500 in the same run, each into a fresh subject file of one test.
#include "bench/BenchClock.h"
#include "bench/BenchHome.h"
#include "data/BinaryJson.h"
#include "data/Inspection.h"
#include "subjects/SubjectClipboard.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QMimeData>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRounds = 3;

QMimeData *payload(int tests)
{
    QJsonArray array;
    for (int n = 0; n < tests; ++n) {
        Inspection::_Test test(QStringLiteral("Тест %1").arg(n));
        QJsonObject structure;
        test.toJson(structure);
        array.append(structure);
    }
    auto *data = new QMimeData;
    data->setData(SubjectClipboard::subjectFormat, BinaryJson::encode({{QStringLiteral("tests"), array}}));
    return data;
}

void paste(const QString &home, int tests)
{
    QScopedPointer<QMimeData> data(payload(tests));
    double bestCpu = 1e9;
    double bestWall = 1e9;
    int added = 0;
    for (int round = 0; round < kRounds; ++round) {
        const QString subject = home + QStringLiteral("/Обследуемый %1.qmz").arg(round);
        QFile::remove(subject);
        Inspection::_Test own(QStringLiteral("Свой"));
        Inspection(subject).saveTestStruct(&own, false);
        const double cpu = processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        SubjectClipboard::pasteTests(data.data(), subject, &added);
        bestCpu = std::min(bestCpu, processCpuSeconds() - cpu);
        bestWall = std::min(bestWall, wall.nsecsElapsed() / 1e9);
    }
    std::printf("%6d tests, payload %7.2f MB: %6d added, cpu %7.3f s, wall %7.3f s\n", tests,
                data->data(SubjectClipboard::subjectFormat).size() / 1048576.0, added, bestCpu, bestWall);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char *argv[])
{
    BenchHome home;
    QApplication app(argc, argv);
    paste(home.path(), 500);
    paste(home.path(), 32000);
    return 0;
}
