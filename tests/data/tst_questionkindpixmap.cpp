#include "data/QuestionKindPixmap.h"
#include "resources/VugResources.h"
#include "tests/support/TestHome.h"

#include <QGuiApplication>
#include <QPainter>

namespace {

// The background with a letter drawn in the given font, as the picture should look.
QImage expectedPicture(const QString &letter, const QFont &font)
{
    initVugResources();
    QPixmap pixmap(VugImages::path(QStringLiteral("addQuest_Ru.png")));
    QPainter painter(&pixmap);
    painter.setFont(font);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, letter);
    painter.end();
    return pixmap.toImage();
}

QFont pointFont(double points)
{
    QFont font = QGuiApplication::font();
    font.setPointSizeF(points);
    return font;
}

QFont pixelFont(int pixels)
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(pixels);
    return font;
}

}  // namespace

class TestQuestionKindPixmap : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QGuiApplication::setFont(m_appFont); }
    void letterOfEveryKind_data();
    void letterOfEveryKind();
    void fontGivenInPixels();

private:
    QFont m_appFont = QGuiApplication::font();
};

void TestQuestionKindPixmap::letterOfEveryKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("letter");
    QTest::newRow("null") << 10000 << QStringLiteral("0");
    QTest::newRow("neutral") << 0 << QStringLiteral("Н");
    QTest::newRow("control") << 1 << QStringLiteral("К");
    QTest::newRow("test") << 2 << QStringLiteral("П");
    QTest::newRow("unknown") << 55 << QStringLiteral("?");
}

void TestQuestionKindPixmap::letterOfEveryKind()
{
    QFETCH(int, kind);
    QFETCH(QString, letter);
    QGuiApplication::setFont(pointFont(7.5));
    const QImage picture = addQuestionPixmap(kind).toImage();
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.size(), QSize(48, 48));
    QCOMPARE(picture, expectedPicture(letter, pointFont(15)));
    QVERIFY(picture != expectedPicture(letter, pointFont(7.5)));
    QVERIFY(picture != expectedPicture(QString(), pointFont(15)));
}

void TestQuestionKindPixmap::fontGivenInPixels()
{
    QGuiApplication::setFont(pixelFont(11));
    QCOMPARE(addQuestionPixmap(2).toImage(), expectedPicture(QStringLiteral("П"), pixelFont(22)));
    QVERIFY(addQuestionPixmap(2).toImage() != expectedPicture(QStringLiteral("П"), pixelFont(11)));
}

VUG_TEST_MAIN(TestQuestionKindPixmap, QGuiApplication)
#include "tst_questionkindpixmap.moc"
