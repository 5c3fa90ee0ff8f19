// The overview strip over a one-hour test, 1880 x 60 pixels into an image: a
// scroll step (the position moves, the kept test is reused) beside the
// baseline of drawing the whole test afresh at every paint.
#include "polygram/ContextPoligrammePicture.h"
#include "tests/polygram/PolygramFixture.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

#include <algorithm>

namespace {

constexpr int kPaints = 100;
const QSize kSize(1880, 60);

// Median milliseconds of one paint; the picture is made afresh for each when asked.
double medianPaint(PolygramFixture &fixture, bool fresh)
{
    QImage image(kSize, QImage::Format_ARGB32_Premultiplied);
    ContextPoligrammePicture kept;
    kept.test = &fixture.test;
    QVector<double> times;
    for (int i = 0; i < kPaints; ++i) {
        ContextPoligrammePicture picture;
        picture.test = &fixture.test;
        ContextPoligrammePicture &painted = fresh ? picture : kept;
        painted.position = 20000 + 60 * i;
        QPainter painter(&image);
        QElapsedTimer timer;
        timer.start();
        painted.paint(painter, kSize);
        times.append(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    PolygramFixture fixture;
    fixture.fillOneHour();
    QTextStream out(stdout);
    out << QString::asprintf("scroll step, kept test: %7.2f ms\n", medianPaint(fixture, false));
    out << QString::asprintf("baseline, whole test:   %7.2f ms\n", medianPaint(fixture, true));
    return 0;
}
