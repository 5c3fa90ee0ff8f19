#include "data/ChannelBindings.h"
#include "polygram/KeptPolygram.h"
#include "polygram/PoligrammeView.h"
#include "polygram/RenderPath.h"
#include "polygram/drawG.h"
#include "tests/polygram/PolygramFixture.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QOpenGLWidget>
#include <QPainter>

namespace {

const QSize kSize(900, 500);

int channelDifference(QRgb a, QRgb b)
{
    return qMax(qMax(std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b))), std::abs(qBlue(a) - qBlue(b)));
}

// Black where a stroke covers a pixel at all, else white.
QImage inkOf(const QImage &image)
{
    QImage ink(image.size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink.setPixel(x, y, channelDifference(image.pixel(x, y), qRgb(255, 255, 255)) > 40 ? 0 : 0xffffffff);
    return ink;
}

// Whether every pixel of a that differs from b has its colour in b within a
// pixel: what antialiasing seams may change.
bool withinAPixel(const QImage &a, const QImage &b)
{
    const int tolerance = 24;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb colour = a.pixel(x, y);
            if (channelDifference(colour, b.pixel(x, y)) <= tolerance)
                continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx)
                    near = b.rect().contains(x + dx, y + dy)
                           && channelDifference(colour, b.pixel(x + dx, y + dy)) <= tolerance;
            if (!near) {
                qWarning("differs at %d, %d", x, y);
                return false;
            }
        }
    }
    return true;
}

// The picture with the columns at the edges of the strip drawn last taken
// from full: a curve clipped there is antialiased a little differently, and a
// full pass starts its curves at the left edge where kept ones come from
// further left.
QImage withoutSeams(QImage picture, const QImage &full, const QRect &strip)
{
    if (strip.isEmpty())
        return picture;
    for (int x : {0, 1, full.width() - 2, full.width() - 1})
        for (int y = 0; x >= 0 && x < full.width() && y < full.height(); ++y)
            picture.setPixel(x, y, full.pixel(x, y));
    return picture;
}

QImage fullPass(drawG &g, int n, const QColor &background)
{
    QImage image(kSize, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.fillRect(image.rect(), background);
    g.drawPolygram(painter, image.rect(), n, 0);
    return image;
}

}  // namespace

// The kept review picture against full passes, the column reduction of the
// curves and the render path's choice.
class TestKeptPolygram : public QObject
{
    Q_OBJECT

private slots:
    void stepsMatchAFullPass();
    void columnReductionStaysWithinAPixel_data();
    void columnReductionStaysWithinAPixel();
    void forcedSoftwarePathMakesNoGLWidget();
};

void TestKeptPolygram::stepsMatchAFullPass()
{
    PolygramFixture fixture;
    fixture.fillOneHour();
    KeptPolygram kept;
    int sweep = 4000;
    int n = 20000;
    int highlight = -1;
    QColor background = Qt::white;
    const auto markBefore = [&](int ticks) {
        int i = 0;
        while (fixture.test.labels[i + 1].TickQStart < n - ticks)
            ++i;
        return i;
    };
    // Each change, then whether the kept picture still equals a fresh one.
    const QVector<QPair<const char *, std::function<void()>>> changes = {
        {"first picture", [] {}},
        {"a quarter page on", [&] { n += kSize.width(); }},
        {"a short step on", [&] { n += 4 * 37; }},
        {"a step back", [&] { n -= 4 * 300; }},
        {"a step of a fraction of a pixel", [&] { n += 2; }},
        {"sweep change", [&] { sweep = 1000; }},
        {"a page on", [&] { n += kSize.width(); }},
        {"ten pixels on", [&] { n += 10; }},
        {"channel dragged", [&] { moveChannelOffset(fixture.test.channel(ChannelCode::GSR), -30); }},
        {"three pixels on", [&] { n += 3; }},
        {"mark moved", [&] { fixture.test.labels[markBefore(300)].TickQStart -= 20; }},
        {"mark removed", [&] { fixture.test.labels.remove(markBefore(600)); }},
        {"highlighted and greyed", [&] { highlight = 1; background = QColor(230, 230, 230); }},
        {"a pixel back", [&] { n -= 1; }},
    };
    for (const auto &change : changes) {
        change.second();
        drawG g(&fixture.test, sweep);
        g.highlightLabel = highlight;
        const QImage picture = kept.picture(g, kSize, 1.0, n, background).toImage();
        const QImage full = fullPass(g, n, background).convertToFormat(picture.format());
        const QImage seamless = withoutSeams(picture, full, kept.drawnStrip());
        QVERIFY2(withinAPixel(seamless, full) && withinAPixel(full, seamless), change.first);
    }
}

void TestKeptPolygram::columnReductionStaysWithinAPixel_data()
{
    QTest::addColumn<int>("sweep");
    QTest::addColumn<bool>("antialiased");
    QTest::newRow("live and review, 4 a pixel") << 4000 << true;
    QTest::newRow("2.5 a pixel, aliased") << 2500 << false;
    QTest::newRow("overview strip, 80 a pixel") << 80000 << true;
}

void TestKeptPolygram::columnReductionStaysWithinAPixel()
{
    QFETCH(int, sweep);
    QFETCH(bool, antialiased);
    PolygramFixture fixture;
    fixture.fillOneHour();
    const QVector<QPointF> points = drawG::buildCurvePoints(&fixture.test, QRect(QPoint(0, 0), kSize),
                                                            PolygramFixture::kHour, 0.3f, ChannelCode::RG_LO, sweep, 0);
    const QVector<QPointF> reduced = drawG::columnExtremes(points);
    QVERIFY(sweep < 2000 || reduced.size() < points.size());
    const auto stroke = [antialiased](const QVector<QPointF> &line) {
        QImage image(kSize, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, antialiased);
        painter.setPen(QPen(Qt::darkBlue, 1));
        painter.drawPolyline(line);
        return image;
    };
    // Overlapping antialiased strokes darken each other: the shape is compared.
    QVERIFY(withinAPixel(inkOf(stroke(points)), inkOf(stroke(reduced))));
    QVERIFY(withinAPixel(inkOf(stroke(reduced)), inkOf(stroke(points))));
}

void TestKeptPolygram::forcedSoftwarePathMakesNoGLWidget()
{
    for (const char *value : {"1", "0"}) {
        qputenv("VUG_SOFTWARE_GL", value);
        RenderPath::decide();
        QCOMPARE(RenderPath::software(), value == QByteArray("1"));
        QVERIFY(RenderPath::description().contains(QLatin1String("VUG_SOFTWARE_GL")));
        PoligrammeView view;
        QCOMPARE(view.findChildren<QOpenGLWidget *>().isEmpty(), RenderPath::software());
    }
}

VUG_TEST_MAIN(TestKeptPolygram, QApplication)
#include "tst_keptpolygram.moc"
