#include "data/SharedHelpers.h"
#include "polygram/CurveColumns.h"
#include "polygram/drawG.h"
#include "tests/polygram/NaiveFilters.h"
#include "tests/polygram/PolygramFixture.h"
#include "tests/polygram/RecordingPaintDevice.h"
#include "tests/support/TestHome.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <atomic>
#include <random>
#include <thread>

namespace {

void setChannel(PolygramFixture &fixture, int code, const QVector<qint16> &samples, double offset, double amplify)
{
    *fixture.test.samples(code) = samples;
    fixture.test.channel(code).Offset = offset;
    fixture.test.channel(code).Amplify = amplify;
}

QVector<qint16> randomSamples(int n, int seed, int low = -32768, int high = 32767)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> value(low, high);
    QVector<qint16> samples(n);
    for (qint16 &sample : samples)
        sample = qint16(value(random));
    return samples;
}

QVector<qreal> ysOf(const QVector<QPointF> &points)
{
    QVector<qreal> ys;
    for (const QPointF &point : points)
        ys << point.y();
    return ys;
}

// The curve drawChannelCurve draws, through the recording device: its
// segments joined where they meet, with the pen of the first.
struct DrawnCurve {
    QPolygonF points;
    QPen pen;
};

DrawnCurve drawnCurve(drawG &painter, const QRect &area, int n, int code, bool highlight = false, bool fit = false)
{
    RecordingPaintDevice device;
    QPainter qp(&device);
    painter.drawChannelCurve(qp, area, n, 0, code, highlight, fit);
    qp.end();
    DrawnCurve curve;
    for (const RecordedLine &segment : device.lines()) {
        if (curve.points.isEmpty()) {
            curve.points << segment.line.p1();
            curve.pen = segment.pen;
        }
        if (segment.line.p1() != curve.points.last())
            return {};
        curve.points << segment.line.p2();
    }
    return curve;
}

// The light grey lines of one pen width: 1 the grid, 2 the ticks, 4 the borders.
QVector<QLineF> greyLines(const RecordingPaintDevice &device, qreal width)
{
    QVector<QLineF> found;
    for (const RecordedLine &line : device.linesOf(Qt::lightGray)) {
        if (line.pen.widthF() == width)
            found << line.line;
    }
    return found;
}

}  // namespace

class TestDrawGCurves : public QObject
{
    Q_OBJECT
private slots:
    void shortCurvesEndAtTheRightEdge();
    void hitTestAndDrawingScaleAlike();
    void filterChosenByCodeAndFlags_data();
    void filterChosenByCodeAndFlags();
    void filterEdgesStayOnTheZeroLine();
    void columnCurveKeepsEachColumnsExtremes_data();
    void columnCurveKeepsEachColumnsExtremes();
    void runningSumsEqualTheWindowSums_data();
    void runningSumsEqualTheWindowSums();
    void baselineSaturatesInsteadOfWrapping();
    void contrastAndInverse();
    void fitModeSpansTheWholeRange();
    void highlightedCurveIsLightAndThin();
    void directColumnsEqualThePaintersFill_data();
    void directColumnsEqualThePaintersFill();
    void timeCaptions();
    void firstGridLineOneSecondLeftOfTheEdge();
    void gridWithoutTicksHasNoVerticalLines();
    void bandAndLastBandRect();
    void bandWithoutFillHasOnlyItsMiddleLine();
    void alignmentBandIsTwoHundredPixelsHigh();
    void staticsSharedBetweenThreads();
};

void TestDrawGCurves::shortCurvesEndAtTheRightEdge()
{
    PolygramFixture fixture;
    setChannel(fixture, 0, QVector<qint16>(100, 0), 250, 500);
    const QRect area(0, 0, 1000, 500);

    QVector<QPointF> points = drawG::buildCurvePoints(&fixture.test, area, 100, 0, 0, 1000, 0);
    QCOMPARE(points.size(), 100);
    QCOMPARE(points.first().x(), 900.0);
    QCOMPARE(points.last().x(), 999.0);

    // Two ticks a pixel: half as wide, still ending at the edge; xShift moves it left.
    points = drawG::buildCurvePoints(&fixture.test, area, 100, 2.5f, 0, 2000, 0);
    QCOMPARE(points.first().x(), 947.5);
    QCOMPARE(points.last().x(), 997.0);

    // Past the recording's end the curve lies on the zero line.
    points = drawG::buildCurvePoints(&fixture.test, area, 150, 0, 0, 1000, 0);
    QCOMPARE(points.size(), 150);
    QCOMPARE(points.last().y(), 250.0);

    QVERIFY(drawG::buildCurvePoints(&fixture.test, area, 0, 0, 0, 1000, 0).isEmpty());
    drawG painter(&fixture.test, 1000);
    QVERIFY(drawnCurve(painter, area, 0, 0).points.isEmpty());
    QCOMPARE(drawnCurve(painter, area, 100, 0).points, QPolygonF(drawG::buildCurvePoints(&fixture.test, area, 100, 0, 0, 1000, 0)));
}

void TestDrawGCurves::hitTestAndDrawingScaleAlike()
{
    // The hit test divides by 4096, the drawing by 4094: half a pixel apart here.
    PolygramFixture fixture;
    setChannel(fixture, 2, {1024, 1024}, 0, 1000);
    const QRect area(0, 100, 1000, 1000);
    QCOMPARE(drawG::buildCurvePoints(&fixture.test, area, 2, 0, 2, 1000, 0).first().y(), 600.0);
    QCOMPARE(drawG::buildCurvePoints(&fixture.test, area, 2, 0, 2, 1000, 30).first().y(), 570.0);

    drawG painter(&fixture.test, 1000);
    QCOMPARE(drawnCurve(painter, area, 2, 2).points.first().y(), 599.0);
    painter.verticalShift = 30;
    QCOMPARE(drawnCurve(painter, area, 2, 2).points.first().y(), 569.0);
}

void TestDrawGCurves::filterChosenByCodeAndFlags_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("filter");
    QTest::addColumn<bool>("filter2");
    QTest::addColumn<int>("expected");  // 0 none, 1 baseline removal, 2 moving average

    QTest::newRow("pulse, filter 1") << 4 << true << false << 1;
    QTest::newRow("extra, filter 1") << 9 << true << false << 1;
    QTest::newRow("pressure, filter 1") << 7 << true << false << 1;
    QTest::newRow("pressure, both") << 7 << true << true << 1;
    QTest::newRow("pressure, filter 2") << 7 << false << true << 2;
    QTest::newRow("pressure, none") << 7 << false << false << 0;
    QTest::newRow("GSR, filter 1") << 0 << true << false << 0;
    QTest::newRow("pulse, filter 2") << 4 << false << true << 0;
}

void TestDrawGCurves::filterChosenByCodeAndFlags()
{
    QFETCH(int, code);
    QFETCH(bool, filter);
    QFETCH(bool, filter2);
    QFETCH(int, expected);

    const QVector<qint16> samples = randomSamples(400, code, -2000, 2000);
    QVector<qint16> filtered(samples.size(), 0);
    if (expected == 1)
        naiveRemoveBaseline(samples.constData(), filtered.data(), samples.size());
    else if (expected == 2)
        naiveMovingAverage(samples.constData(), filtered.data(), samples.size());
    else
        filtered = samples;

    // The whole recording, a stretch of its middle, its start and its end.
    const QVector<QPair<QRect, int>> views{{QRect(0, 0, 1000, 500), 400}, {QRect(0, 0, 100, 500), 300},
                                           {QRect(0, 0, 100, 500), 90}, {QRect(0, 0, 100, 500), 420}};
    PolygramFixture fixture;
    const auto curves = [&] {
        QVector<QVector<QPointF>> points;
        for (const auto &view : views)
            points << drawG::buildCurvePoints(&fixture.test, view.first, view.second, 0, code, 1000, 0);
        return points;
    };
    setChannel(fixture, code, samples, 250, 500);
    fixture.looks[code].bEnableFilter = filter;
    fixture.looks[code].bEnableFilter2 = filter2;
    const QVector<QVector<QPointF>> drawn = curves();

    setChannel(fixture, code, filtered, 250, 500);
    fixture.looks[code].bEnableFilter = fixture.looks[code].bEnableFilter2 = false;
    QCOMPARE(drawn, curves());
}

void TestDrawGCurves::columnCurveKeepsEachColumnsExtremes_data()
{
    QTest::addColumn<int>("timeScale");
    QTest::addColumn<double>("amplify");
    QTest::addColumn<bool>("amp2");
    QTest::addColumn<bool>("inverse");
    QTest::addColumn<float>("xShift");
    QTest::newRow("overview, 80 a pixel") << 80000 << 500.0 << false << false << 0.0f;
    QTest::newRow("2.5 a pixel, contrast, shifted") << 2500 << 500.0 << true << false << 0.4f;
    QTest::newRow("inverse, negative amplify") << 40000 << -300.0 << false << true << 0.0f;
    QTest::newRow("flat, no amplify") << 40000 << 0.0 << false << false << 0.0f;
    QTest::newRow("heights shared by many samples") << 40000 << 5.0 << false << true << 0.0f;
}

void TestDrawGCurves::columnCurveKeepsEachColumnsExtremes()
{
    QFETCH(int, timeScale);
    QFETCH(double, amplify);
    QFETCH(bool, amp2);
    QFETCH(bool, inverse);
    QFETCH(float, xShift);
    PolygramFixture fixture;
    setChannel(fixture, 7, randomSamples(20000, timeScale, -3000, 3000), 250, amplify);
    fixture.looks[7].bAmp2 = amp2;
    fixture.looks[7].bInverse = inverse;
    fixture.looks[7].bEnableFilter = true;
    const QRect area(3, 10, 500, 300);
    QCOMPARE(CurveColumns::extremes(&fixture.test, area, 20000, xShift, 7, timeScale, 0, 4096, false),
             CurveColumns::extremes(drawG::buildCurvePoints(&fixture.test, area, 20000, xShift, 7, timeScale, 0)));
}

void TestDrawGCurves::filterEdgesStayOnTheZeroLine()
{
    PolygramFixture fixture;
    setChannel(fixture, 7, QVector<qint16>(300, 1000), 100, 500);
    const QRect area(0, 0, 1000, 500);
    const qreal zeroLine = 400;

    fixture.looks[7].bEnableFilter = true;
    QVector<qreal> ys = ysOf(drawG::buildCurvePoints(&fixture.test, area, 300, 0, 7, 1000, 0));
    QCOMPARE(ys.mid(0, 15), QVector<qreal>(15, zeroLine));
    QVERIFY(!ys.mid(15).contains(zeroLine));

    fixture.looks[7].bEnableFilter = false;
    fixture.looks[7].bEnableFilter2 = true;
    ys = ysOf(drawG::buildCurvePoints(&fixture.test, area, 300, 0, 7, 1000, 0));
    QCOMPARE(ys.mid(0, 50), QVector<qreal>(50, zeroLine));
    QCOMPARE(ys.mid(250), QVector<qreal>(50, zeroLine));
    QVERIFY(!ys.mid(50, 200).contains(zeroLine));
}

void TestDrawGCurves::runningSumsEqualTheWindowSums_data()
{
    QTest::addColumn<QVector<qint16>>("samples");
    for (int n : {0, 1, 14, 15, 16, 29, 30, 31, 45, 99, 100, 101, 102, 5000})
        QTest::addRow("random %d", n) << randomSamples(n, n);
    QTest::newRow("full scale up") << QVector<qint16>(3000, 32767);
    QTest::newRow("full scale down") << QVector<qint16>(3000, -32768);
    QVector<qint16> alternating(3001);
    for (int i = 0; i < alternating.size(); ++i)
        alternating[i] = (i / 7) % 2 ? 32767 : -32768;
    QTest::newRow("full scale runs") << alternating;
    QTest::newRow("an hour") << randomSamples(72000, 5);
}

void TestDrawGCurves::runningSumsEqualTheWindowSums()
{
    QFETCH(QVector<qint16>, samples);
    const int n = samples.size();
    // Values after the end that would change every sum reading them.
    QVector<qint16> source = samples;
    source.append(QVector<qint16>(200, 30000));
    const QVector<qint16> untouched(n, 7777);

    QVector<qint16> expected = untouched;
    QVector<qint16> actual = untouched;
    naiveRemoveBaseline(source.constData(), expected.data(), n);
    drawG::removeBaseline(source.constData(), actual.data(), n);
    QCOMPARE(actual, expected);
    QCOMPARE(actual.mid(0, 15), untouched.mid(0, 15));

    expected = actual = untouched;
    naiveMovingAverage(source.constData(), expected.data(), n);
    drawG::movingAverage(source.constData(), actual.data(), n);
    QCOMPARE(actual, expected);
    QCOMPARE(actual.mid(0, 50), untouched.mid(0, 50));
    QCOMPARE(actual.mid(qMax(0, n - 50)), untouched.mid(qMax(0, n - 50)));
}

void TestDrawGCurves::baselineSaturatesInsteadOfWrapping()
{
    // A full-scale peak in a low stretch of a high recording lies far above
    // the int16 range once the mean is added back.
    QVector<qint16> samples(3000, 32767);
    for (int i = 1000; i < 1100; ++i)
        samples[i] = -32768;
    samples[1050] = 32767;
    QVector<qint16> peak(3000, 0);
    drawG::removeBaseline(samples.constData(), peak.data(), samples.size());
    QCOMPARE(peak[1050], qint16(32767));

    for (qint16 &sample : samples)
        sample = qint16(-1 - sample);
    drawG::removeBaseline(samples.constData(), peak.data(), samples.size());
    QCOMPARE(peak[1050], qint16(-32768));
}

void TestDrawGCurves::contrastAndInverse()
{
    // Amplify 2048 on 1000 pixels makes the hit test's divisor exactly 1.
    PolygramFixture fixture;
    setChannel(fixture, 3, {2047, 1024}, 125, 2048);
    const QRect area(0, 0, 1000, 1000);
    const auto ys = [&] { return ysOf(drawG::buildCurvePoints(&fixture.test, area, 2, 0, 3, 1000, 0)); };

    QCOMPARE(ys(), (QVector<qreal>{-1297, -274}));
    fixture.looks[3].bAmp2 = true;
    QCOMPARE(ys(), (QVector<qreal>{-1297, 237}));
    fixture.looks[3].bInverse = true;
    QCOMPARE(ys(), (QVector<qreal>{2797, 1262}));
}

void TestDrawGCurves::fitModeSpansTheWholeRange()
{
    PolygramFixture fixture;
    setChannel(fixture, 5, {32767, 0, -32768}, 400, 3);
    fixture.looks[5].bAmp2 = true;
    drawG painter(&fixture.test, 1000);
    painter.verticalShift = 77;
    const QRect area(0, 10, 1000, 600);

    QCOMPARE(ysOf(drawnCurve(painter, area, 3, 5, false, true).points), (QVector<qreal>{10, 310, 610}));
    fixture.looks[5].bInverse = true;
    QCOMPARE(ysOf(drawnCurve(painter, area, 3, 5, false, true).points), (QVector<qreal>{609, 310, 10}));
}

void TestDrawGCurves::highlightedCurveIsLightAndThin()
{
    PolygramFixture fixture;
    setChannel(fixture, 0, QVector<qint16>(10, 0), 250, 500);
    drawG painter(&fixture.test, 1000);
    const QRect area(0, 0, 1000, 500);

    const QPen normal = drawnCurve(painter, area, 10, 0).pen;
    QCOMPARE(normal.color(), fixture.looks[0].rgbColor);
    QCOMPARE(normal.widthF(), qreal(fixture.looks[0].nPenWidth));
    QCOMPARE(normal.capStyle(), Qt::SquareCap);
    QCOMPARE(normal.joinStyle(), Qt::BevelJoin);

    const QPen light = drawnCurve(painter, area, 10, 0, true).pen;
    QCOMPARE(light.color().hslHue(), normal.color().hslHue());
    QCOMPARE(light.color().lightness(), 180);
    QCOMPARE(light.widthF(), 1.0);
}

void TestDrawGCurves::timeCaptions()
{
    PolygramFixture fixture;
    drawG painter(&fixture.test, 1000);
    const QRect area(0, 30, 1000, 500);
    const QFontMetrics metrics(drawG::axisFont.value());
    const auto captionsAt = [&](float pixel, int timeScale) {
        painter.timeScale = timeScale;
        RecordingPaintDevice device;
        QPainter qp(&device);
        painter.drawTimeCaptions(qp, area, pixel, 300);
        qp.end();
        return device.textStrings();
    };

    QCOMPARE(captionsAt(0, 1000), (QStringList{"00:00", "00:00"}));
    QCOMPARE(captionsAt(200, 1000), (QStringList{"00:10", "00:10"}));
    QCOMPARE(captionsAt(72000, 1000), (QStringList{"00:00", "00:00"}));
    QCOMPARE(captionsAt(200, 4000), (QStringList{"00:40", "00:40"}));
    QCOMPARE(captionsAt(-1, 1000), QStringList());

    painter.timeScale = 1000;
    RecordingPaintDevice device;
    QPainter qp(&device);
    painter.drawTimeCaptions(qp, area, 200, 300);
    qp.end();
    const qreal left = 300 - metrics.horizontalAdvance(QStringLiteral("00:10")) * 0.5;
    // Each line wholly in its strip, clear of the tick marks.
    QCOMPARE(device.texts()[0].pos, QPointF(left, 30 - 10 - metrics.descent()));
    QCOMPARE(device.texts()[1].pos, QPointF(left, 529 + 10 + metrics.ascent()));
    QCOMPARE(drawG::captionStripHeight(), metrics.height() + 10);
    QCOMPARE(device.texts()[0].color, QColor(127, 127, 127));
    const QVector<QLineF> ticks = greyLines(device, 2);
    QCOMPARE(ticks.size(), 4);
    QCOMPARE(ticks[0], QLineF(296, 24, 305, 24));
    QCOMPARE(ticks[1], QLineF(300, 24, 300, 27));
    QCOMPARE(ticks[3], QLineF(300, 535, 300, 532));
}

void TestDrawGCurves::firstGridLineOneSecondLeftOfTheEdge()
{
    PolygramFixture fixture;
    drawG painter(&fixture.test, 1000);
    const QRect area(0, 30, 1000, 500);
    RecordingPaintDevice device;
    QPainter qp(&device);
    painter.drawTimeGrid(qp, area, 2000, 0);
    qp.end();

    const QVector<QLineF> grid = greyLines(device, 1);
    QCOMPARE(grid.first(), QLineF(980, 30, 980, 529));
    QCOMPARE(grid[49], QLineF(0, 30, 0, 529));
    // Horizontal lines from the top every 20 pixels, clamped into the area.
    QCOMPARE(grid[50], QLineF(0, 30, 999, 30));
    QCOMPARE(grid[51], QLineF(0, 49, 999, 49));
    QCOMPARE(grid.last(), QLineF(0, 529, 999, 529));
    QCOMPARE(grid.size(), 50 + 26);

    // Captions every 200 pixels from the right edge's tick down to x = -100.
    QStringList expected;
    for (const char *caption : {"01:40", "01:30", "01:20", "01:10", "01:00", "00:50"})
        expected << caption << caption;
    QCOMPARE(device.textStrings(), expected);

    QCOMPARE(greyLines(device, 4), (QVector<QLineF>{QLineF(-20, 30, 1000, 30), QLineF(-20, 529, 1000, 529)}));
}

void TestDrawGCurves::gridWithoutTicksHasNoVerticalLines()
{
    PolygramFixture fixture;
    drawG painter(&fixture.test, 1000);
    RecordingPaintDevice device;
    QPainter qp(&device);
    painter.drawTimeGrid(qp, QRect(0, 30, 1000, 500), 0, 0);
    qp.end();
    for (const QLineF &line : greyLines(device, 1))
        QCOMPARE(line.dy(), 0.0);
    QCOMPARE(device.textStrings(), (QStringList{"00:00", "00:00"}));
}

void TestDrawGCurves::bandAndLastBandRect()
{
    // amp = 1023.5 makes k exactly 4: the band reaches 511.75 pixels each way.
    PolygramFixture fixture;
    fixture.test.channel(4).Offset = -100;
    fixture.test.channel(4).Amplify = 1023.5;
    drawG painter(&fixture.test, 1000);
    const int strip = drawG::captionStripHeight();
    const QRect area(0, strip, 1000, 500);
    const auto drawBand = [&](bool noFill, bool sixteenBit) {
        auto device = std::make_unique<RecordingPaintDevice>();
        QPainter qp(device.get());
        qp.setRenderHint(QPainter::Antialiasing);
        painter.drawChannelBand(qp, area, 4, noFill, sixteenBit);
        qp.end();
        return device;
    };

    auto device = drawBand(false, false);
    const QRect band(QPoint(0, strip + 88), QPoint(999, strip + 1110));
    QCOMPARE(drawG::lastBandRect.value(), band);
    QCOMPARE(device->rectsFilledWith(fixture.looks[4].rgbTubeColor).first().rect, QRectF(band));
    const QVector<RecordedLine> lines = device->linesOf(Qt::darkGray);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0].line, QLineF(0, strip + 599, 999, strip + 599));
    QCOMPARE(lines[0].pen.dashPattern(), (QVector<qreal>{1, 4, 3, 4, 9, 4, 27, 4, 9, 4}));
    QCOMPARE(lines[1].line.y1(), qreal(strip + 88));
    QCOMPARE(lines[2].line.y1(), qreal(strip + 1110));
    QCOMPARE(lines[2].pen.dashPattern(), (QVector<qreal>{9, 4, 9, 4}));
    QVERIFY(device->renderHints().testFlag(QPainter::Antialiasing));

    // Contrast widens the range to 32752, and so does a sixteen-bit unit's gain.
    fixture.looks[4].bAmp2 = true;
    drawBand(false, false);
    QCOMPARE(drawG::lastBandRect.value().height(), 16376);
    fixture.looks[4].bAmp2 = false;
    drawBand(false, true);
    QCOMPARE(drawG::lastBandRect.value().height(), 16376);
}

void TestDrawGCurves::bandWithoutFillHasOnlyItsMiddleLine()
{
    PolygramFixture fixture;
    fixture.test.channel(4).Offset = -100;
    fixture.test.channel(4).Amplify = 1023.5;
    drawG painter(&fixture.test, 1000);
    drawG::lastBandRect = QRect();
    RecordingPaintDevice device;
    QPainter qp(&device);
    painter.drawChannelBand(qp, QRect(0, 0, 1000, 500), 4, true, false);
    qp.end();
    QVERIFY(device.rects().isEmpty());
    QCOMPARE(device.lines().size(), 1);
    QCOMPARE(drawG::lastBandRect.value().height(), 1023);
}

void TestDrawGCurves::alignmentBandIsTwoHundredPixelsHigh()
{
    PolygramFixture fixture;
    drawG painter(&fixture.test, 1000);
    for (int height : {300, 1000}) {
        RecordingPaintDevice device;
        QPainter qp(&device);
        painter.drawAlignmentBackground(qp, QRect(0, 0, 800, height), 2);
        qp.end();
        const int mid = height / 2;
        const QVector<RecordedRect> fills = device.rectsFilledWith(withLightness(fixture.looks[2].rgbColor, 220));
        QCOMPARE(fills.size(), 1);
        QCOMPARE(fills.first().rect, QRectF(0, mid - 100, 800, 200));
        QVector<qreal> ys;
        for (const RecordedLine &line : device.linesOf(Qt::darkGray))
            ys << line.line.y1();
        QCOMPARE(ys, (QVector<qreal>{qreal(mid), qreal(mid - 100), qreal(mid + 100)}));
    }
}

void TestDrawGCurves::staticsSharedBetweenThreads()
{
    // A painter built on one thread replaces the font while another reads it;
    // band rectangles are read whole, never half replaced.
    PolygramFixture fixture;
    std::atomic<bool> torn{false};
    const auto work = [&](int seed) {
        for (int i = 0; i < 20000; ++i) {
            drawG painter(&fixture.test, 1000);
            const int k = seed * 100000 + i;
            drawG::lastBandRect = QRect(k, k, k, k);
            const QRect read = drawG::lastBandRect;
            if (read.left() != read.top() || read.width() != read.left())
                torn = true;
            if (QFontMetrics(drawG::axisFont.value()).height() <= 0)
                torn = true;
        }
    };
    std::thread first(work, 1);
    std::thread second(work, 2);
    first.join();
    second.join();
    QVERIFY(!torn);
}

void TestDrawGCurves::directColumnsEqualThePaintersFill_data()
{
    QTest::addColumn<QVector<QPointF>>("points");
    QTest::addColumn<qreal>("width");
    QTest::addColumn<QPoint>("shift");
    QTest::newRow("flat") << QVector<QPointF>{{0.5, 20}, {63.5, 20}} << 3.0 << QPoint();
    QTest::newRow("steep") << QVector<QPointF>{{10, 2}, {11, 38}, {12, 3}, {30, 39}} << 2.0 << QPoint();
    QTest::newRow("past the edges") << QVector<QPointF>{{-5, -10}, {20, 50}, {70, 10}} << 3.0 << QPoint();
    QTest::newRow("moved") << QVector<QPointF>{{0, 5}, {40, 30}, {80, 12}} << 4.0 << QPoint(-20, 3);
}

// Unclipped images are written directly; a clip sends the same columns
// through the painter.
void TestDrawGCurves::directColumnsEqualThePaintersFill()
{
    QFETCH(QVector<QPointF>, points);
    QFETCH(qreal, width);
    QFETCH(QPoint, shift);
    QImage pictures[2];
    for (bool clipped : {false, true}) {
        QImage &image = pictures[clipped];
        image = QImage(64, 40, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(shift);
        if (clipped)
            painter.setClipRect(QRect(-shift, image.size()));
        CurveColumns::fill(painter, CurveColumns::wideColumns(points, width), QColor(192, 64, 0));
    }
    QCOMPARE(pictures[0], pictures[1]);
    QImage blank(pictures[0].size(), pictures[0].format());
    blank.fill(Qt::white);
    QVERIFY(pictures[0] != blank);
}

VUG_TEST_MAIN(TestDrawGCurves, QGuiApplication)
#include "tst_drawgcurves.moc"
