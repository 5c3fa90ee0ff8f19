// Draws the end of a one-hour polygram at the narrowest and widest sweep into
// PNG files of the build tree, for a look by eye, and checks they hold it all.
#include "polygram/drawG.h"
#include "tests/polygram/PolygramFixture.h"
#include "tests/support/TestHome.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

namespace {

QImage polygramImage(PolygramFixture &fixture, int sweep)
{
    QImage image(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter qp(&image);
    drawG painter(&fixture.test, sweep);
    painter.setRenderHints(qp);
    // As a view draws it: the channels' bands under the polygram.
    const int strip = drawG::captionStripHeight();
    const QRect polygramArea(0, strip, image.width(), image.height() - 2 * strip);
    for (int code = 0; code < ChannelCode::Count; ++code)
        painter.drawChannelBand(qp, polygramArea, code, false, false);
    painter.drawPolygram(qp, image.rect(), PolygramFixture::kHour, 0);
    return image;
}

int pixelsOf(const QImage &image, const QColor &color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            count += line[x] == color.rgba();
    }
    return count;
}

}  // namespace

class TestPolygramArtefacts : public QObject
{
    Q_OBJECT
private slots:
    void oneHourPolygram_data();
    void oneHourPolygram();
};

void TestPolygramArtefacts::oneHourPolygram_data()
{
    QTest::addColumn<int>("sweep");
    QTest::newRow("1000") << 1000;
    QTest::newRow("4000") << 4000;
}

void TestPolygramArtefacts::oneHourPolygram()
{
    QFETCH(int, sweep);
    PolygramFixture fixture;
    fixture.fillOneHour();
    const QImage image = polygramImage(fixture, sweep);

    QVERIFY(QDir().mkpath(QStringLiteral(VUG_ARTEFACT_DIR)));
    const QString path = QStringLiteral(VUG_ARTEFACT_DIR "/polygram-one-hour-sweep-%1.png").arg(sweep);
    QVERIFY(image.save(path));
    qInfo("%s", qPrintable(path));

    QVERIFY(pixelsOf(image, QColor(127, 127, 127)) > 1000);  // question intervals
    QVERIFY(pixelsOf(image, QColor(255, 255, 128)) > 1000);  // answer intervals
    for (int code : {ChannelCode::GSR, ChannelCode::RG_LO, ChannelCode::PG, ChannelCode::AD})
        QVERIFY2(pixelsOf(image, fixture.looks[code].rgbColor) > 500, qPrintable(QString::number(code)));
}

VUG_TEST_MAIN(TestPolygramArtefacts, QGuiApplication)
#include "tst_polygramartefacts.moc"
