// Encoding speed of the media recorder: 60 s of noisy moving 640 x 480 frames
// with a tone, at each quality, on one thread; the baseline takes the same
// frames and sound through capture, copy and scaling with no encoder.

#include "recording/media/MMRecorder.h"
#include "tests/support/SyntheticCapture.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QVector>

#include <sys/resource.h>

#include <cstdio>

namespace {

constexpr int Seconds = 60;
constexpr int FramesPerSecond = 25;
constexpr int SamplesPerFrame = 22050 / FramesPerSecond;

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Figures {
    double wall = 0;
    double cpu = 0;
    qint64 bytes = 0;
};

Figures run(int quality, const QString &path, const QVector<QImage> &pictures)
{
    auto owned = std::make_unique<SyntheticCapture>();
    SyntheticCapture *capture = owned.get();
    MMRecorder recorder(quality, std::move(owned));
    recorder.prepare(path, QStringLiteral("bench"), QStringLiteral("bench"));
    const QAudioFormat format = SyntheticCapture::monoFormat();
    QElapsedTimer wall;
    wall.start();
    const double cpuStart = cpuSeconds();
    recorder.onStartedThread();
    for (int i = 0; i < Seconds * FramesPerSecond; ++i) {
        capture->present(pictures[i % pictures.size()]);
        capture->feed(SyntheticCapture::tone(SamplesPerFrame, 3000, qint64(i) * SamplesPerFrame, format));
        recorder.onAudioReadyRead();
    }
    recorder.onFinishedThread();
    Figures figures;
    figures.wall = wall.nsecsElapsed() / 1e9;
    figures.cpu = cpuSeconds() - cpuStart;
    figures.bytes = QFileInfo(path).size();
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    QVector<QImage> pictures;
    for (int i = 0; i < FramesPerSecond * 2; ++i)
        pictures.append(SyntheticCapture::movingPicture(i));

    const Figures baseline = run(3, QString(), pictures);
    std::printf("%d s of 640x480 frames with sound, one thread\n", Seconds);
    std::printf("baseline (capture, copy, scaling, no encoder): wall %.2f s, CPU %.1f ms per second recorded\n",
                baseline.wall, baseline.cpu * 1000 / Seconds);
    for (int quality = 0; quality < 3; ++quality) {
        const Figures figures = run(quality, dir.filePath(QStringLiteral("q%1.avi").arg(quality)), pictures);
        const double perFrameMs = (figures.cpu - baseline.cpu) * 1000 / (Seconds * FramesPerSecond);
        std::printf("quality %d: wall %.2f s (%.1fx real time), CPU %.1f ms per second recorded, "
                    "%.0f MB per hour, encoding %.2f ms per video frame (budget 40 ms)\n",
                    quality, figures.wall, Seconds / figures.wall, figures.cpu * 1000 / Seconds,
                    figures.bytes * 3600.0 / Seconds / 1e6, perFrameMs);
    }
    return 0;
}
