#include "fancy/CustomStyle.h"
#include "fancy/ImageGroupBoxOption.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QPainter>

using Fancy::ImageGroupBoxOption;

namespace {

const QRgb windowColour = qRgb(255, 0, 0);
const QRgb pictureColour = qRgb(0, 0, 255);
const QRgb titleColour = qRgb(0, 128, 0);

void fillGroupBox(QStyleOptionGroupBox &option, const QString &title)
{
    option.rect = QRect(0, 0, 200, 80);
    option.state = QStyle::State_Enabled;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.text = title;
    option.textAlignment = Qt::AlignLeft;
    option.lineWidth = 1;
    option.fontMetrics = QFontMetrics(QApplication::font());
    option.palette.setColor(QPalette::Window, QColor(windowColour));
    option.palette.setColor(QPalette::WindowText, QColor(titleColour));
    option.palette.setColor(QPalette::Dark, QColor(90, 90, 90));
    option.palette.setColor(QPalette::Light, QColor(90, 90, 90));
}

ImageGroupBoxOption pictureOption(const QString &title, int pictureWidth)
{
    ImageGroupBoxOption option;
    fillGroupBox(option, title);
    if (pictureWidth > 0) {
        option.picture = QPixmap(pictureWidth, 10);
        option.picture.fill(QColor(pictureColour));
    }
    option.pictureX = 8;
    option.pictureSpaceBefore = 2;
    option.pictureSpaceAfter = 4;
    return option;
}

QImage render(const QStyle &style, const QStyleOptionComplex &option)
{
    QImage image(200, 80, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    style.drawComplexControl(QStyle::CC_GroupBox, &option, &painter);
    return image;
}

int firstColumnWith(const QImage &image, QRgb colour)
{
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(x, y) == colour)
                return x;
    return -1;
}

} // namespace

class TestCustomStyle : public QObject
{
    Q_OBJECT

private slots:
    void pictureBlockIsFilledAndMovesTheTitle()
    {
        Fancy::_CustomStyle style;
        const QImage image = render(style, pictureOption(QStringLiteral("Title"), 16));
        // Block 8..29 wide, 10 high, in the window colour around the picture centred at 11..26.
        for (int y = 0; y < 10; ++y) {
            QCOMPARE(image.pixel(8, y), windowColour);
            QCOMPARE(image.pixel(10, y), windowColour);
            QCOMPARE(image.pixel(11, y), pictureColour);
            QCOMPARE(image.pixel(26, y), pictureColour);
            QCOMPARE(image.pixel(27, y), windowColour);
            QCOMPARE(image.pixel(29, y), windowColour);
            QVERIFY(image.pixel(7, y) != windowColour);
            QVERIFY(image.pixel(30, y) != windowColour);
        }
        QVERIFY(image.pixel(15, 10) != windowColour);

        const QImage plain = render(style, pictureOption(QStringLiteral("Title"), 0));
        const int titleLeft = firstColumnWith(plain, titleColour);
        QVERIFY(titleLeft >= 0);
        QCOMPARE(firstColumnWith(image, titleColour), titleLeft + 30);
    }

    void withoutPictureItDrawsLikeTheCommonStyle()
    {
        Fancy::_CustomStyle style;
        QCommonStyle common;
        QStyleOptionGroupBox plain;
        fillGroupBox(plain, QStringLiteral("Title"));
        QCOMPARE(render(style, pictureOption(QStringLiteral("Title"), 0)), render(common, plain));
    }

    // A plain group-box option has no picture fields; reading them would run past its end.
    void plainGroupBoxOptionTakesTheCommonPath()
    {
        Fancy::_CustomStyle style;
        QCommonStyle common;
        QStyleOptionGroupBox plain;
        fillGroupBox(plain, QStringLiteral("Title"));
        plain.subControls |= QStyle::SC_GroupBoxCheckBox;
        QCOMPARE(render(style, plain), render(common, plain));

        // A sliced copy of a picture option is a plain option again.
        const QStyleOptionGroupBox sliced = pictureOption(QStringLiteral("Title"), 16);
        QCOMPARE(sliced.version, int(QStyleOptionGroupBox::Version));
        QCOMPARE(render(style, sliced), render(common, sliced));
    }

    void emptyTitleLeavesTheFrameWhole()
    {
        Fancy::_CustomStyle style;
        const ImageGroupBoxOption option = pictureOption(QString(), 16);
        const QImage image = render(style, option);
        const QRect frame = style.subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame);
        const int top = frame.top();
        for (int x = frame.left() + 1; x < frame.right(); ++x) {
            const QRgb pixel = image.pixel(x, top);
            if (x >= 8 && x <= 29 && top < 10)
                QCOMPARE(pixel, x >= 11 && x <= 26 ? pictureColour : windowColour);
            else
                QVERIFY2(pixel != qRgb(255, 255, 255), qPrintable(QString::number(x)));
        }

        // A title breaks the frame line where it stands.
        const ImageGroupBoxOption titled = pictureOption(QStringLiteral("Title"), 16);
        const QImage titledImage = render(style, titled);
        const QRect titledFrame = style.subControlRect(QStyle::CC_GroupBox, &titled, QStyle::SC_GroupBoxFrame);
        bool broken = false;
        for (int x = 30; x < titledFrame.right(); ++x)
            broken = broken || titledImage.pixel(x, titledFrame.top()) == qRgb(255, 255, 255);
        QVERIFY(broken);
    }
};

VUG_TEST_MAIN(TestCustomStyle, QApplication)

#include "tst_customstyle.moc"
