// Export and import of a subject with a 1 GiB video (half random, half
// repetitive) through the ".dqmz" package, beside zlib level 1 compression and
// decompression of the same bytes: time and peak resident memory of each,
// every step in a process of its own so the peaks do not mix.
#include "data/Inspection.h"
#include "subjects/SubjectPackage.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>
#include <zlib.h>

namespace {

const qint64 kChunk = 1 << 20;
const QString kVideo = QStringLiteral("/store/__1__/Иванов.01022024101010.avi");

void prepare(const QString &dir, qint64 size)
{
    QDir().mkpath(dir + QStringLiteral("/store/__1__"));
    QDir().mkpath(dir + QStringLiteral("/out"));
    QDir().mkpath(dir + QStringLiteral("/target"));
    Inspection subject(dir + QStringLiteral("/store/Иванов.qmz"));
    subject.saveTestStruct(nullptr);
    QFile video(dir + kVideo);
    video.open(QIODevice::WriteOnly);
    QByteArray chunk(int(kChunk), Qt::Uninitialized);
    QRandomGenerator random(42);
    for (qint64 written = 0; written < size; written += kChunk) {
        if (written < size / 2)
            random.fillRange(reinterpret_cast<quint32 *>(chunk.data()), int(kChunk / 4));
        else
            for (int i = 0; i < chunk.size(); ++i)
                chunk[i] = char("frame header and a little movement "[i % 35] + (i / 4096) % 3);
        video.write(chunk);
    }
}

// zlib itself, streaming in the same chunks: the floor.
void zlibPass(const QString &from, const QString &to, bool compress)
{
    QFile in(from);
    QFile out(to);
    in.open(QIODevice::ReadOnly);
    out.open(QIODevice::WriteOnly);
    z_stream z{};
    compress ? deflateInit(&z, 1) : inflateInit(&z);
    QByteArray input(int(kChunk), Qt::Uninitialized);
    QByteArray output(int(kChunk), Qt::Uninitialized);
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        const qint64 got = qMax<qint64>(0, in.read(input.data(), kChunk));
        z.next_in = reinterpret_cast<Bytef *>(input.data());
        z.avail_in = uInt(got);
        do {
            z.next_out = reinterpret_cast<Bytef *>(output.data());
            z.avail_out = uInt(kChunk);
            status = compress ? deflate(&z, got == 0 ? Z_FINISH : Z_NO_FLUSH) : inflate(&z, Z_NO_FLUSH);
            out.write(output.constData(), kChunk - z.avail_out);
        } while (z.avail_out == 0);
        if (got == 0 && !compress)
            break;
    }
    compress ? deflateEnd(&z) : inflateEnd(&z);
}

int runStep(const QString &step, const QString &dir)
{
    QElapsedTimer clock;
    clock.start();
    if (step == QLatin1String("export")) {
        SubjectPackage::exportSubject(dir + QStringLiteral("/store/Иванов.qmz"), dir + QStringLiteral("/out"),
                                      [](const QString &) { return true; });
    } else if (step == QLatin1String("import")) {
        const auto result = SubjectPackage::importPackage(dir + QStringLiteral("/out/Иванов.dqmz"),
                                                          dir + QStringLiteral("/target"),
                                                          [](const QString &) { return true; });
        if (result.imported.size() != 2)
            return 1;
    } else if (step == QLatin1String("deflate")) {
        zlibPass(dir + kVideo, dir + QStringLiteral("/video.z"), true);
    } else {
        zlibPass(dir + QStringLiteral("/video.z"), dir + QStringLiteral("/video.raw"), false);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.2f %ld\n", clock.nsecsElapsed() / 1e9, usage.ru_maxrss / 1024);
    return 0;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3)
        return runStep(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    const qint64 size = argc > 1 ? QByteArray(argv[1]).toLongLong() << 20 : Q_INT64_C(1) << 30;
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/bench-package-XXXXXX"));
    prepare(dir.path(), size);
    std::printf("video %lld MiB, half random, half repetitive\n", size >> 20);
    for (const char *step : {"deflate", "export", "inflate", "import"}) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QLatin1String(step), dir.path()});
        child.waitForFinished(-1);
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        std::printf("%-8s %8s s, peak %5s MiB resident\n", step, figures.value(0).constData(),
                    figures.value(1).constData());
    }
    return 0;
}
