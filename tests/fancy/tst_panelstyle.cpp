#include "fancy/PanelStyle.h"
#include "fancy/ShadowBlur.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QPainter>
#include <QPixmapCache>
#include <QStyleOption>
#include <QWidget>

using Fancy::PanelStyle;

namespace {

class PaintCounter : public QWidget
{
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *) override { ++paints; }
};

QImage transparentImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QIcon squareIcon(const QColor &colour, int side)
{
    QPixmap pixmap(side, side);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

QImage iconWithShadow(const QIcon &icon, QIcon::Mode mode, const QColor &shadow)
{
    QImage image = transparentImage(40, 40);
    QPainter painter(&image);
    PanelStyle::paintIconWithShadow(icon, QRect(0, 0, 40, 40), &painter, mode, 3, shadow, QPoint(1, -2));
    return image;
}

QImage arrowImage(QStyle::PrimitiveElement element, const QStyleOption &option, const QSize &size)
{
    QImage image = transparentImage(size.width(), size.height());
    QPainter painter(&image);
    PanelStyle::paintArrow(element, &painter, &option);
    return image;
}

// Columns holding any visible pixel, as the span [first, last]; (-1, -1) when empty.
QPair<int, int> paintedColumns(const QImage &image)
{
    int first = -1;
    int last = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (qAlpha(image.pixel(x, y)) > 0) {
                if (first < 0)
                    first = x;
                last = x;
            }
    return {first, last};
}

QPair<int, int> paintedRows(const QImage &image)
{
    return paintedColumns(image.transformed(QTransform().rotate(90)).mirrored(true, false));
}

QString hsv(const QColor &colour)
{
    return QStringLiteral("%1 %2 %3 %4")
        .arg(colour.hue())
        .arg(colour.saturation())
        .arg(colour.value())
        .arg(colour.alpha());
}

bool isCached(const QString &key)
{
    QPixmap pixmap;
    return QPixmapCache::find(key, &pixmap);
}

bool closeTo(const QColor &a, const QColor &b, int tolerance)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance;
}

} // namespace

class TestPanelStyle : public QObject
{
    Q_OBJECT

private slots:
    void init() { QPixmapCache::clear(); }

    // Must run first: nothing has picked a colour yet.
    void coloursReadAsBlackBeforeAnyPick()
    {
        QVERIFY(!PanelStyle::requestedPanelColor().isValid());
        const QColor colour = PanelStyle::panelColor(false);
        QCOMPARE(colour.hue(), 0);
        QCOMPARE(colour.saturation(), 0);
        QCOMPARE(colour.value(), 0);
        QCOMPARE(colour.rgb(), qRgb(0, 0, 0));
        for (bool light : {false, true}) {
            QCOMPARE(PanelStyle::panelHighlight(light).rgb(), qRgb(0, 0, 0));
            QCOMPARE(PanelStyle::panelShadow(light).rgb(), qRgb(0, 0, 0));
            QCOMPARE(PanelStyle::panelBorder(light).rgb(), qRgb(0, 0, 0));
        }
        QCOMPARE(PanelStyle::verticalGradientKey(QRect(0, 0, 100, 50), QRect(0, 0, 100, 40), false),
                 QStringLiteral("mh_vertical 100 50 100 40 -16777216"));
    }

    void pickedColourIsToneddownAndDerived()
    {
        PanelStyle::setPanelColor(QColor(255, 0, 0));
        QCOMPARE(PanelStyle::requestedPanelColor(), QColor(255, 0, 0));
        QCOMPARE(PanelStyle::panelColor(false), QColor::fromHsv(0, 178, 149, 255));
        QCOMPARE(PanelStyle::panelHighlight(false), QColor::fromHsv(0, 178, 172, 255));
        QCOMPARE(PanelStyle::panelShadow(false), QColor::fromHsv(0, 195, 104, 255));
        QCOMPARE(PanelStyle::panelBorder(false), QColor::fromHsv(0, 178, 74, 255));

        // Light: lighter(230) pushes the value past 255, so saturation gives way.
        QCOMPARE(hsv(PanelStyle::panelColor(true)), QStringLiteral("0 90 255 255"));
        QCOMPARE(PanelStyle::panelHighlight(true), QColor::fromHsv(0, 90, 255, 255));
        QCOMPARE(PanelStyle::panelShadow(true), QColor::fromHsv(0, 99, 178, 255));
        QCOMPARE(PanelStyle::panelBorder(true), QColor::fromHsv(0, 90, 127, 255));
    }

    void repaintsOnlyWhenTheEffectiveColourChanges()
    {
        PaintCounter window;
        window.resize(50, 50);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PanelStyle::setPanelColor(QColor::fromHsv(120, 255, 253));
        QTRY_VERIFY(window.paints > 0);
        QTest::qWait(20);
        const int paints = window.paints;

        // Value 254 gives the same derived colour as 253: only the request moves.
        PanelStyle::setPanelColor(QColor::fromHsv(120, 255, 254));
        QCOMPARE(PanelStyle::requestedPanelColor(), QColor::fromHsv(120, 255, 254));
        QTest::qWait(50);
        QCOMPARE(window.paints, paints);

        PanelStyle::setPanelColor(QColor::fromHsv(240, 255, 255));
        QTRY_VERIFY(window.paints > paints);
        QCOMPARE(PanelStyle::panelColor(false), QColor::fromHsv(240, 178, 149, 255));
    }

    void verticalGradientRunsFromShadowOnTheLeftToHighlightOnTheRight()
    {
        PanelStyle::setPanelColor(QColor(255, 0, 0));
        const QRect span(0, 0, 100, 50);
        QImage full = transparentImage(100, 50);
        {
            QPainter painter(&full);
            PanelStyle::paintVerticalGradient(&painter, span, span, false);
        }
        QVERIFY(isCached(QStringLiteral("mh_vertical 100 50 100 50 %1")
                                       .arg(int(PanelStyle::panelColor(false).rgb()))));
        QVERIFY(closeTo(full.pixelColor(1, 10), PanelStyle::panelShadow(false).darker(109), 3));
        QVERIFY(closeTo(full.pixelColor(97, 10), PanelStyle::panelHighlight(false).lighter(117), 3));
        // Light edge on the right, dark edge on the left.
        QVERIFY(full.pixelColor(98, 10).lightness() > full.pixelColor(97, 10).lightness());
        QVERIFY(full.pixelColor(0, 10).lightness() < full.pixelColor(1, 10).lightness());

        QImage clipped = transparentImage(100, 50);
        {
            QPainter painter(&clipped);
            PanelStyle::paintVerticalGradient(&painter, span, QRect(0, 0, 40, 50), false);
        }
        QCOMPARE(paintedColumns(clipped), qMakePair(0, 39));
        QVERIFY(closeTo(clipped.pixelColor(20, 10), full.pixelColor(20, 10), 1));
    }

    void iconLandsCentredWithItsShadowBelowLeft()
    {
        const QImage image = iconWithShadow(squareIcon(Qt::white, 10), QIcon::Normal, QColor(255, 0, 0, 130));
        // Rect centre (19, 19): the 10-pixel icon covers 15..24.
        QCOMPARE(image.pixel(15, 15), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(24, 24), qRgb(255, 255, 255));
        // The shadow spreads by the radius, 3, and no further.
        QCOMPARE(qAlpha(image.pixel(27, 20)), 0);
        QCOMPARE(qAlpha(image.pixel(10, 20)), 0);
        QCOMPARE(qAlpha(image.pixel(20, 13)), 0);
        QCOMPARE(qAlpha(image.pixel(20, 30)), 0);
        QVERIFY(qAlpha(image.pixel(20, 27)) > 0);
        // The shadow falls one pixel left and two down, in the shadow colour.
        const QColor below = image.pixelColor(20, 25);
        QVERIFY(below.alpha() > 0);
        QVERIFY(below.alpha() < 130);
        QCOMPARE(below.green(), 0);
        QVERIFY(image.pixelColor(14, 20).alpha() > 0);
    }

    void iconCacheIgnoresTheShadowColour()
    {
        const QIcon icon = squareIcon(Qt::white, 10);
        const QImage first = iconWithShadow(icon, QIcon::Normal, QColor(255, 0, 0, 130));
        const QImage second = iconWithShadow(icon, QIcon::Normal, QColor(0, 0, 255, 130));
        QCOMPARE(second, first);
        QVERIFY(isCached(QStringLiteral("icon %1 0 40").arg(icon.cacheKey())));

        // Another mode is another picture.
        QVERIFY(iconWithShadow(icon, QIcon::Disabled, QColor(0, 0, 255, 130)) != first);
        QVERIFY(isCached(QStringLiteral("icon %1 1 40").arg(icon.cacheKey())));
    }

    void disabledIconTurnsGray()
    {
        const QImage image = iconWithShadow(squareIcon(QColor(255, 0, 0), 10), QIcon::Disabled, QColor(0, 0, 0, 130));
        QCOMPARE(image.pixel(20, 20), qRgb(87, 87, 87));
        const QImage blue = iconWithShadow(squareIcon(QColor(0, 0, 255), 10), QIcon::Disabled, QColor(0, 0, 0, 130));
        QCOMPARE(blue.pixel(20, 20), qRgb(39, 39, 39));
    }

    void arrowIsASquareOfTheShorterSideCentred()
    {
        QStyleOption option;
        option.state = QStyle::State_Enabled;
        option.rect = QRect(0, 0, 20, 8);
        const QImage image = arrowImage(QStyle::PE_IndicatorArrowDown, option, QSize(20, 8));
        const QPair<int, int> columns = paintedColumns(image);
        QVERIFY(columns.first >= 6);
        QVERIFY(columns.second <= 13);
        QVERIFY(columns.first <= columns.second);
        QVERIFY(paintedRows(image).second <= 7);

        int brightest = 0;
        for (int x = 0; x < 20; ++x)
            for (int y = 0; y < 8; ++y)
                brightest = qMax(brightest, qRed(image.pixel(x, y)));
        QCOMPARE(brightest, 220);

        const QString key = QStringLiteral("arrow-$qt_ia-%1-%2-8-%3-1.000000")
                                .arg(int(option.state))
                                .arg(int(QStyle::PE_IndicatorArrowDown))
                                .arg(option.palette.cacheKey());
        QCOMPARE(PanelStyle::arrowKey(QStyle::PE_IndicatorArrowDown, &option, 8, 1), key);
        QVERIFY(isCached(key));
    }

    void disabledArrowUsesTheMidColour()
    {
        QStyleOption option;
        option.state = QStyle::State_None;
        option.rect = QRect(0, 0, 12, 12);
        option.palette.setColor(QPalette::Mid, QColor(0, 200, 0));
        const QImage image = arrowImage(QStyle::PE_IndicatorArrowUp, option, QSize(12, 12));
        bool sawMid = false;
        for (int x = 0; x < 12; ++x)
            for (int y = 0; y < 12; ++y) {
                const QRgb pixel = image.pixel(x, y);
                QCOMPARE(qRed(pixel), 0);
                sawMid = sawMid || pixel == qRgb(0, 200, 0);
            }
        QVERIFY(sawMid);
    }

    void arrowInAThinRectangleDrawsNothing()
    {
        QStyleOption option;
        option.state = QStyle::State_Enabled;
        option.rect = QRect(0, 0, 1, 8);
        const QImage image = arrowImage(QStyle::PE_IndicatorArrowDown, option, QSize(20, 8));
        QCOMPARE(paintedColumns(image), qMakePair(-1, -1));
        QVERIFY(!isCached(PanelStyle::arrowKey(QStyle::PE_IndicatorArrowDown, &option, 1, 1)));
    }

    void blurSpreadsAlphaSymmetricallyAndKeepsItsMass()
    {
        QImage dot = transparentImage(21, 21);
        dot.setPixel(10, 10, qRgba(255, 255, 255, 255));
        const QImage blurred = Fancy::blurredAlpha(dot, 4);
        int total = 0;
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 21; ++x) {
                const QRgb pixel = blurred.pixel(x, y);
                QCOMPARE(qRed(pixel) + qGreen(pixel) + qBlue(pixel), 0);
                QCOMPARE(qAlpha(pixel), qAlpha(blurred.pixel(20 - x, y)));
                QCOMPARE(qAlpha(pixel), qAlpha(blurred.pixel(x, 20 - y)));
                if (qAbs(x - 10) > 4 || qAbs(y - 10) > 4)
                    QCOMPARE(qAlpha(pixel), 0);
                total += qAlpha(pixel);
            }
        QVERIFY(qAlpha(blurred.pixel(10, 10)) < 255);
        QVERIFY(qAlpha(blurred.pixel(10, 10)) > qAlpha(blurred.pixel(12, 10)));
        QVERIFY(total > 150);
        QVERIFY(total <= 255);

        QCOMPARE(qAlpha(Fancy::blurredAlpha(dot, 0).pixel(10, 10)), 255);
        QImage solid = transparentImage(30, 30);
        solid.fill(qRgba(10, 20, 30, 255));
        QCOMPARE(qAlpha(Fancy::blurredAlpha(solid, 3).pixel(15, 15)), 255);
    }
};

VUG_TEST_MAIN(TestPanelStyle, QApplication)

#include "tst_panelstyle.moc"
