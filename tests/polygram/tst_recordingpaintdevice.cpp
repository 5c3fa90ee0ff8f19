#include "tests/polygram/RecordingPaintDevice.h"
#include "tests/support/TestHome.h"

#include <QGuiApplication>
#include <QPainter>

class TestRecordingPaintDevice : public QObject
{
    Q_OBJECT
private slots:
    void textOfMixedScriptsIsOneText();
    void rotatedTextIsOneText();
    void separateTextsStaySeparate();
    void primitivesInDevicePixels();
};

void TestRecordingPaintDevice::textOfMixedScriptsIsOneText()
{
    RecordingPaintDevice device(QSize(200, 100));
    QPainter painter(&device);
    painter.setPen(Qt::red);
    painter.drawText(QPointF(10, 20), QStringLiteral("III.05К   Вы"));
    painter.end();

    QCOMPARE(device.textStrings(), QStringList{QStringLiteral("III.05К   Вы")});
    QCOMPARE(device.texts().first().pos, QPointF(10, 20));
    QCOMPARE(device.texts().first().color, QColor(Qt::red));
}

void TestRecordingPaintDevice::rotatedTextIsOneText()
{
    RecordingPaintDevice device(QSize(200, 100));
    QPainter painter(&device);
    painter.translate(50, 90);
    painter.rotate(-90);
    painter.drawText(QPointF(10, 15), QStringLiteral("II.03П   Вы взяли?"));
    painter.end();

    QCOMPARE(device.textStrings(), QStringList{QStringLiteral("II.03П   Вы взяли?")});
    QCOMPARE(device.texts().first().pos, QPointF(65, 80));
}

void TestRecordingPaintDevice::separateTextsStaySeparate()
{
    RecordingPaintDevice device(QSize(200, 100));
    QPainter painter(&device);
    painter.drawText(QPointF(10, 20), QStringLiteral("a"));
    painter.drawText(QPointF(10, 40), QStringLiteral("b"));
    painter.end();

    QCOMPARE(device.textStrings(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
}

void TestRecordingPaintDevice::primitivesInDevicePixels()
{
    RecordingPaintDevice device(QSize(200, 100));
    QPainter painter(&device);
    painter.translate(5, 7);
    painter.fillRect(QRect(0, 0, 10, 20), QColor(1, 2, 3));
    painter.setPen(QColor(4, 5, 6));
    painter.drawLine(0, 0, 30, 0);
    const QPointF points[] = {{0, 0}, {1, 2}, {2, 4}};
    painter.drawPolyline(points, 3);
    painter.end();

    QCOMPARE(device.rectsFilledWith(QColor(1, 2, 3)).size(), 1);
    QCOMPARE(device.rectsFilledWith(QColor(1, 2, 3)).first().rect, QRectF(5, 7, 10, 20));
    QCOMPARE(device.linesOf(QColor(4, 5, 6)).first().line, QLineF(5, 7, 35, 7));
    QCOMPARE(device.polylinesOf(QColor(4, 5, 6)).first().points, QPolygonF({{5, 7}, {6, 9}, {7, 11}}));
    QVERIFY(!device.polylinesOf(QColor(4, 5, 6)).first().closed);
}

VUG_TEST_MAIN(TestRecordingPaintDevice, QGuiApplication)
#include "tst_recordingpaintdevice.moc"
