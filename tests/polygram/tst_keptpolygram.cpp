#include "data/ChannelBindings.h"
#include "polygram/KeptPolygram.h"
#include "polygram/PoligrammeView.h"
#include "polygram/RenderPath.h"
#include "polygram/CurveColumns.h"
#include "polygram/drawG.h"
#include "tests/polygram/PolygramFixture.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QOpenGLWidget>
#include <QPainter>

namespace {

const QSize kSize(900, 500);

int difference(QRgb a, QRgb b)
{
    return qMax(qMax(std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b))), std::abs(qBlue(a) - qBlue(b)));
}

// Whether each pixel of either image has its colour in the other within a pixel.
bool withinAPixel(const QImage &a, const QImage &b, bool inkOnly = false)
{
    const auto colour = [inkOnly](const QImage &image, int x, int y) {
        const QRgb c = image.pixel(x, y);
        return !inkOnly ? c : difference(c, qRgb(255, 255, 255)) > 40 ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
    };
    const auto covered = [&](const QImage &one, const QImage &other, int x, int y) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (other.rect().contains(x + dx, y + dy)
                    && difference(colour(one, x, y), colour(other, x + dx, y + dy)) <= 24)
                    return true;
        return false;
    };
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (!covered(a, b, x, y) || !covered(b, a, x, y))
                return false;
    return true;
}

}  // namespace

// The kept review picture against full passes, the curves' column reduction
// and the render path's choice.
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
    int sweep = 4000, n = 20000, highlight = -1;
    QColor background = Qt::white;
    const auto markBefore = [&](int ticks) {
        int i = 0;
        while (fixture.test.labels[i + 1].TickQStart < n - ticks)
            ++i;
        return i;
    };
    const QVector<QPair<const char *, std::function<void()>>> changes = {
        {"first picture", [] {}},
        {"a quarter page on", [&] { n += kSize.width(); }},
        {"a short step on", [&] { n += 4 * 37; }},
        {"a step back", [&] { n -= 4 * 300; }},
        {"a fraction of a pixel", [&] { n += 2; }},
        {"sweep change", [&] { sweep = 1000; }},
        {"a page on", [&] { n += kSize.width(); }},
        {"channel dragged", [&] { moveChannelOffset(fixture.test.channel(ChannelCode::GSR), -30); }},
        {"three pixels on", [&] { n += 3; }},
        {"mark moved", [&] { fixture.test.labels[markBefore(300)].TickQStart -= 20; }},
        {"mark removed", [&] { fixture.test.labels.remove(markBefore(600)); }},
        {"highlighted and greyed", [&] { highlight = 1, background = QColor(230, 230, 230); }},
        {"a pixel back", [&] { n -= 1; }},
    };
    for (const auto &change : changes) {
        change.second();
        drawG g(&fixture.test, sweep);
        g.highlightLabel = highlight;
        QImage picture = kept.picture(g, kSize, 1.0, n, background).toImage();
        QImage full(kSize, picture.format());
        QPainter painter(&full);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        painter.fillRect(full.rect(), background);
        g.drawPolygram(painter, full.rect(), n, 0);
        // A full pass starts its curves at the left edge, kept ones come from
        // further left; the far right is cut alike.
        for (int x : {0, 1, kSize.width() - 2, kSize.width() - 1})
            for (int y = 0; y < kSize.height(); ++y)
                picture.setPixel(x, y, full.pixel(x, y));
        QVERIFY2(withinAPixel(picture, full), change.first);
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
    const QRect area(QPoint(0, 0), kSize);
    const QVector<QPointF> points =
        drawG::buildCurvePoints(&fixture.test, area, PolygramFixture::kHour, 0.3f, ChannelCode::RG_LO, sweep, 0);
    const QVector<QPointF> reduced = CurveColumns::extremes(points);
    QVERIFY(reduced.size() < points.size());
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
    QVERIFY(withinAPixel(stroke(points), stroke(reduced), true));
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
