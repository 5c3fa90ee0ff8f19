// Writes a short MPEG-4 video (FFmpeg's mpeg4 codec) in AVI: the program name over a gradient
// with a progress bar. The build uses it for the splash video and for the
// videos the player tests play.
//
// Usage: makesplash OUTPUT.avi [WIDTH HEIGHT SECONDS]

#include "recording/media/AviWriter.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kFramesPerSecond = 25;

struct Options
{
    const char *path = nullptr;
    int width = 640;
    int height = 360;
    int seconds = 3;
};

bool parseOptions(int argc, char *argv[], Options &options)
{
    if (argc != 2 && argc != 5)
        return false;
    options.path = argv[1];
    if (argc == 5) {
        options.width = std::atoi(argv[2]);
        options.height = std::atoi(argv[3]);
        options.seconds = std::atoi(argv[4]);
    }
    // 4:2:0 chroma needs even sizes.
    return options.width >= 16 && options.height >= 16 && options.width % 2 == 0
        && options.height % 2 == 0 && options.seconds >= 1;
}

// The gradient runs from left to right and stays still, so a reader of the
// video knows which colour to expect where; the bar shows the elapsed time.
QImage drawFrame(int width, int height, int index, int frameCount)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, width, 0);
    gradient.setColorAt(0, QColor(20, 40, 140));
    gradient.setColorAt(1, QColor(150, 200, 230));
    painter.fillRect(image.rect(), gradient);

    QFont font(QStringLiteral("Sans"));
    font.setPixelSize(height / 6);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Воркел"));

    const int barHeight = height / 30 + 2;
    const int barWidth = width * (index + 1) / frameCount;
    painter.fillRect(0, height - barHeight, barWidth, barHeight, QColor(240, 170, 40));
    return image;
}

bool writeVideo(const Options &options)
{
    AviWriter::Video video;
    video.width = options.width;
    video.height = options.height;
    video.bitRate = int64_t(options.width) * options.height * 4;
    video.gop = kFramesPerSecond;
    video.framesPerSecond = kFramesPerSecond;
    AviWriter writer;
    if (!writer.open(QString::fromLocal8Bit(options.path), video, false))
        return false;
    const int frameCount = options.seconds * kFramesPerSecond;
    for (int i = 0; i < frameCount; ++i) {
        const QImage image = drawFrame(options.width, options.height, i, frameCount);
        if (!writer.writeVideo(image.constBits(), int(image.bytesPerLine())))
            return false;
    }
    return writer.finish();
}

} // namespace

int main(int argc, char *argv[])
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: makesplash OUTPUT.avi [WIDTH HEIGHT SECONDS]\n"
                             "(even sizes of at least 16, at least one second)\n");
        return 2;
    }
    // Fonts need a GUI application, but the build machine may have no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (!writeVideo(options)) {
        std::remove(options.path);
        std::fprintf(stderr, "makesplash: cannot write %s\n", options.path);
        return 1;
    }
    return 0;
}
