#include "data/ModeDigitKey.h"
#include "tests/support/TestHome.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QtTest>

// The keys of the mode digits and of points scoring, by physical key (X11 key
// codes), by keysym, and by Qt key when an event carries no native codes.

namespace {

QKeyEvent press(int key, quint32 scanCode = 0, quint32 keysym = 0, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                const QString &text = QString())
{
    return QKeyEvent(QEvent::KeyPress, key, modifiers, scanCode, keysym, 0, text);
}

int ballKey(QKeyEvent event)
{
    return ballKeyOf(&event);
}

int modeDigit(QKeyEvent event)
{
    return modeDigitOfKey(&event);
}

}  // namespace

class TestModeDigitKey : public QObject
{
    Q_OBJECT

private slots:
    void modeDigitsByPhysicalKey()
    {
        QCOMPARE(modeDigit(press(Qt::Key_3)), 2);
        QCOMPARE(modeDigit(press(0x0448, 11, 0x6d8)), 1);  // a Cyrillic layout's key on the digit 2 position
        QCOMPARE(modeDigit(press(Qt::Key_5, 0, 0, Qt::KeypadModifier)), -1);
        QCOMPARE(modeDigit(press(Qt::Key_6)), -1);
    }

    void scoringKeysWithNativeCodes()
    {
        QCOMPARE(ballKey(press(Qt::Key_1, 10, 0x31)), int(BallKeyDigit1));
        QCOMPARE(ballKey(press(Qt::Key_3, 12, 0x33)), int(BallKeyDigit3));
        QCOMPARE(ballKey(press(Qt::Key_0, 19, 0x30)), int(BallKeyDigit0));
        QCOMPARE(ballKey(press(Qt::Key_Space, 65, 0x20)), int(BallKeySpace));
        // A layout whose digits need Shift: the digit row still scores.
        QCOMPARE(ballKey(press(Qt::Key_Ampersand, 10, 0x26, Qt::NoModifier, "&")), int(BallKeyDigit1));
        // The key left of 1 in a Russian layout.
        QCOMPARE(ballKey(press(0x401, 49, 0x6a3, Qt::NoModifier, QStringLiteral("ё"))), int(BallKeyWeight));
        QCOMPARE(ballKey(press(Qt::Key_QuoteLeft, 49, 0x60)), int(BallKeyWeight));
        // The digit 4 and keypad digits never score.
        QCOMPARE(ballKey(press(Qt::Key_4, 13, 0x34)), int(BallKeyNone));
        QCOMPARE(ballKey(press(Qt::Key_1, 87, 0xffb1, Qt::KeypadModifier)), int(BallKeyNone));
        QCOMPARE(ballKey(press(Qt::Key_End, 87, 0xff9c)), int(BallKeyNone));
        // An unknown key position whose keysym is a digit.
        QCOMPARE(ballKey(press(Qt::Key_2, 200, 0x32)), int(BallKeyDigit2));
    }

    void scoringKeysWithoutNativeCodes()
    {
        QCOMPARE(ballKey(press(Qt::Key_0)), int(BallKeyDigit0));
        QCOMPARE(ballKey(press(Qt::Key_2)), int(BallKeyDigit2));
        QCOMPARE(ballKey(press(Qt::Key_Space)), int(BallKeySpace));
        QCOMPARE(ballKey(press(Qt::Key_QuoteLeft)), int(BallKeyWeight));
        QCOMPARE(ballKey(press(Qt::Key_2, 0, 0, Qt::KeypadModifier)), int(BallKeyNone));
        QCOMPARE(ballKey(press(Qt::Key_Up)), int(BallKeyNone));
    }
};

VUG_TEST_MAIN(TestModeDigitKey, QGuiApplication)
#include "tst_modedigitkey.moc"
