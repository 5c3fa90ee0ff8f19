#include "polygram/ContextPoligrammePicture.h"
#include "tests/polygram/PolygramFixture.h"
#include "tests/support/TestHome.h"

#include <QGuiApplication>
#include <QPainter>

namespace {

QImage paintedStrip(ContextPoligrammePicture &picture, const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::red);
    QPainter painter(&image);
    picture.paint(painter, size);
    return image;
}

// White with the grey frame from (1, 0) to (w - 1, h - 2), set pixel by pixel.
QImage emptyStrip(const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    const QRgb grey = QColor(Qt::gray).rgb();
    const int right = size.width() - 1;
    const int bottom = size.height() - 2;
    for (int x = 1; x <= right; ++x) {
        image.setPixel(x, 0, grey);
        image.setPixel(x, bottom, grey);
    }
    for (int y = 0; y <= bottom; ++y) {
        image.setPixel(1, y, grey);
        image.setPixel(right, y, grey);
    }
    return image;
}

}  // namespace

class TestContextPicture : public QObject
{
    Q_OBJECT

private slots:
    void boxGeometry_data()
    {
        QTest::addColumn<int>("samples");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("sweep");
        QTest::addColumn<int>("extent");
        QTest::addColumn<int>("position");
        QTest::addColumn<QRect>("box");
        // q = 72 ticks a pixel, 1000 ticks shown: 13 pixels ending at 500.
        QTest::newRow("middle") << 72000 << QSize(1000, 60) << 1000 << 0 << 36000
                                << QRect(QPoint(487, 5), QPoint(499, 54));
        // q = 38.3, (1880 - 17) × 2 = 3726 ticks shown: 97 pixels; the end
        // tick over q is just below 1880.
        QTest::newRow("end, sweep 2000") << 72000 << QSize(1880, 80) << 2000 << 17 << 72000
                                         << QRect(QPoint(1782, 5), QPoint(1878, 74));
        QTest::newRow("start") << 72000 << QSize(1000, 60) << 1000 << 0 << 0
                               << QRect(QPoint(2, 5), QPoint(14, 54));
        QTest::newRow("short test") << 100 << QSize(1000, 60) << 1000 << 0 << 50
                                    << QRect(QPoint(2, 5), QPoint(10001, 54));
        QTest::newRow("far position") << 72000 << QSize(1000, 60) << 1000 << 0 << 2000000000
                                      << QRect(QPoint(27777764, 5), QPoint(27777776, 54));
    }

    void boxGeometry()
    {
        QFETCH(int, samples);
        QFETCH(QSize, size);
        QFETCH(int, sweep);
        QFETCH(int, extent);
        QFETCH(int, position);
        QFETCH(QRect, box);
        Inspection::_Test test;
        test.dataGSR.resize(samples);
        ContextPoligrammePicture picture;
        picture.test = &test;
        picture.sweep = sweep;
        picture.scrollBarExtent = extent;
        picture.position = position;
        QCOMPARE(picture.visibleBox(size), box);
    }

    void noBoxWithoutSamples()
    {
        ContextPoligrammePicture picture;
        QVERIFY(picture.visibleBox(QSize(500, 50)).isEmpty());
        Inspection::_Test test;
        picture.test = &test;
        QVERIFY(picture.visibleBox(QSize(500, 50)).isEmpty());
    }

    void timeScaleIsNeverZero()
    {
        Inspection::_Test test;
        ContextPoligrammePicture picture;
        picture.test = &test;
        QCOMPARE(picture.timeScale(1880), 1);
        test.dataGSR.resize(1);
        QCOMPARE(picture.timeScale(1880), 1);
        test.dataGSR.resize(72000);
        QCOMPARE(picture.timeScale(1880), 38297);
        QCOMPARE(picture.tickAt(940, 1880), 36000);
    }

    void onlyBackgroundAndFrame()
    {
        const QSize size(400, 50);
        ContextPoligrammePicture picture;
        QCOMPARE(paintedStrip(picture, size), emptyStrip(size));

        PolygramFixture fixture;
        fixture.fillOneHour();
        picture.test = &fixture.test;
        QCOMPARE(paintedStrip(picture, QSize(99, 50)), emptyStrip(QSize(99, 50)));
        QVERIFY(paintedStrip(picture, QSize(100, 50)) != emptyStrip(QSize(100, 50)));

        Inspection::_Test empty;
        picture.test = &empty;
        QCOMPARE(paintedStrip(picture, size), emptyStrip(size));
    }

    void oneSampleDrawsWithoutFault()
    {
        PolygramFixture fixture;
        for (int code = 0; code < ChannelCode::Count; ++code)
            fixture.test.samples(code)->fill(100, 1);
        ContextPoligrammePicture picture;
        picture.test = &fixture.test;
        const QImage image = paintedStrip(picture, QSize(1880, 60));
        // The box starts at 2 and covers the rest of the strip.
        QCOMPARE(image.pixelColor(2, 30), QColor(Qt::black));
    }

    void boxIsOutlinedAndShaded()
    {
        PolygramFixture fixture;
        fixture.fillOneHour();
        ContextPoligrammePicture picture;
        picture.test = &fixture.test;
        picture.position = 36000;
        const QSize size(1000, 60);
        const QImage image = paintedStrip(picture, size);
        const QRect box = picture.visibleBox(size);
        for (int x = box.left(); x <= box.right(); ++x) {
            QCOMPARE(image.pixelColor(x, box.top()), QColor(Qt::black));
            QCOMPARE(image.pixelColor(x, box.bottom()), QColor(Qt::black));
        }
        for (int y = box.top(); y <= box.bottom(); ++y) {
            QCOMPARE(image.pixelColor(box.left(), y), QColor(Qt::black));
            QCOMPARE(image.pixelColor(box.right(), y), QColor(Qt::black));
        }
        // Inside, grey at half opacity over what the strip shows elsewhere.
        picture.position = 0;
        const QImage without = paintedStrip(picture, size);
        for (int y = box.top() + 1; y < box.bottom(); y += 7) {
            const QColor under = without.pixelColor(box.center().x(), y);
            const QColor shaded = image.pixelColor(box.center().x(), y);
            QVERIFY(qAbs(shaded.red() - (under.red() + 128) / 2) <= 2);
            QVERIFY(qAbs(shaded.blue() - (under.blue() + 128) / 2) <= 2);
        }
    }

    void keptPictureEqualsAFreshOne()
    {
        PolygramFixture fixture;
        fixture.fillOneHour();
        const QSize size(1200, 70);
        ContextPoligrammePicture kept;
        kept.test = &fixture.test;
        const QImage first = paintedStrip(kept, size);
        for (int position = 1000; position <= 30000; position += 7000) {
            kept.position = position;
            paintedStrip(kept, size);
        }
        const auto fresh = [&] {
            ContextPoligrammePicture picture;
            picture.test = &fixture.test;
            picture.position = kept.position;
            return paintedStrip(picture, size);
        };
        QCOMPARE(paintedStrip(kept, size), fresh());

        const QImage beforeMove = paintedStrip(kept, size);
        QVERIFY(!fixture.test.labelsNULL.isEmpty());
        fixture.test.labelsNULL[0].TickQStart += 3000;
        fixture.test.labelsNULL[0].TickQEnd += 3000;
        const QImage moved = paintedStrip(kept, size);
        QVERIFY(moved != beforeMove);
        QCOMPARE(moved, fresh());

        fixture.test.channel(ChannelCode::PG).Offset += 60;
        const QImage shifted = paintedStrip(kept, size);
        QVERIFY(shifted != moved);
        QCOMPARE(shifted, fresh());

        QVERIFY(paintedStrip(kept, QSize(900, 70)) != first);
        QCOMPARE(paintedStrip(kept, size), fresh());
    }
};

VUG_TEST_MAIN(TestContextPicture, QGuiApplication)
#include "tst_contextpicture.moc"
