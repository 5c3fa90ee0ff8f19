#include "data/SharedHelpers.h"
#include "data/WarningTone.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QAudioDeviceInfo>
#include <QAudioOutput>
#include <QMainWindow>
#include <QtMath>

#include <memory>

namespace {

class DerivedMainWindow : public QMainWindow
{
};

QStringList messages;

void collectMessage(QtMsgType, const QMessageLogContext &, const QString &text) { messages << text; }

}  // namespace

class TestSharedHelpers : public QObject
{
    Q_OBJECT
private slots:
    void romanNumerals();
    void romanNumeralsOutsideTheRange();
    void countsOfTestsAgree();
    void lightnessKeepsHueAndSaturation();
    void findsTheMainWindowAmongTopLevels();
    void toneIsAnAudibleBeep();
    void toneWithoutDeviceIsQuiet();
};

void TestSharedHelpers::romanNumerals()
{
    // Written out by hand: tens only with X, no L.
    const QStringList expected{
        "I",      "II",      "III",      "IV",     "V",     "VI",     "VII",     "VIII",     "IX",     "X",
        "XI",     "XII",     "XIII",     "XIV",    "XV",    "XVI",    "XVII",    "XVIII",    "XIX",    "XX",
        "XXI",    "XXII",    "XXIII",    "XXIV",   "XXV",   "XXVI",   "XXVII",   "XXVIII",   "XXIX",   "XXX",
        "XXXI",   "XXXII",   "XXXIII",   "XXXIV",  "XXXV",  "XXXVI",  "XXXVII",  "XXXVIII",  "XXXIX",  "XXXX",
        "XXXXI",  "XXXXII",  "XXXXIII",  "XXXXIV", "XXXXV", "XXXXVI", "XXXXVII", "XXXXVIII", "XXXXIX", "XXXXX"};
    for (int n = 1; n <= 50; ++n)
        QCOMPARE(romanNumeral(n), expected[n - 1]);
}

void TestSharedHelpers::romanNumeralsOutsideTheRange()
{
    for (int n : {0, -3, 51, 100, INT_MIN, INT_MAX})
        QVERIFY(romanNumeral(n).isEmpty());
}

void TestSharedHelpers::countsOfTestsAgree()
{
    for (const int n : {1, 21, 31, 101, 1001})
        QCOMPARE(inTests(n), QStringLiteral("в %1 тесте").arg(n));
    for (const int n : {2, 4, 5, 11, 12, 14, 20, 25, 111, 112})
        QCOMPARE(inTests(n), QStringLiteral("в %1 тестах").arg(n));
}

void TestSharedHelpers::lightnessKeepsHueAndSaturation()
{
    const QColor pink = withLightness(QColor(255, 0, 0, 40), 220);
    QCOMPARE(pink.hslHue(), 0);
    QCOMPARE(pink.hslSaturation(), 255);
    QCOMPARE(pink.lightness(), 220);
    QCOMPARE(pink.alpha(), 255);
    // l 220/255, s 1: red full, green and blue 2l - 1 of the range, about 185.
    QCOMPARE(pink.red(), 255);
    QVERIFY(qAbs(pink.green() - 185) <= 1 && pink.green() == pink.blue());

    const QColor teal = withLightness(QColor::fromHsl(180, 100, 50), 120);
    QCOMPARE(teal.hslHue(), 180);
    QCOMPARE(teal.hslSaturation(), 100);
    QCOMPARE(teal.lightness(), 120);

    const QColor grey = withLightness(QColor(128, 128, 128), 30);
    QCOMPARE(grey.hslSaturation(), 0);
    QCOMPARE(grey.lightness(), 30);
    QCOMPARE(grey.red(), grey.blue());

    // Out of range: the nearest valid lightness, still a valid colour.
    QCOMPARE(withLightness(Qt::blue, 300).rgba(), QColor(Qt::white).rgba());
    QCOMPARE(withLightness(Qt::blue, -5).rgba(), QColor(Qt::black).rgba());
}

void TestSharedHelpers::findsTheMainWindowAmongTopLevels()
{
    QCOMPARE(findMainWindow(), nullptr);
    auto plain = std::make_unique<QWidget>();
    QCOMPARE(findMainWindow(), nullptr);
    auto main = std::make_unique<DerivedMainWindow>();
    QCOMPARE(findMainWindow(), main.get());
    main.reset();
    QCOMPARE(findMainWindow(), nullptr);
}

void TestSharedHelpers::toneIsAnAudibleBeep()
{
    const QByteArray tone = warningToneSamples();
    QCOMPARE(tone.size(), 160);
    QCOMPARE(qint8(tone[0]), qint8(0));
    int peak = 0;
    for (int k = 0; k < tone.size(); ++k) {
        const int v = qint8(tone[k]);
        // 16 samples per period (500 Hz at 8 kHz): sample k is sample k + 16.
        if (k + 16 < tone.size())
            QCOMPARE(qint8(tone[k + 16]), qint8(v));
        // Positive half period first, negative second.
        const int phase = k % 16;
        if (phase > 0 && phase < 8)
            QVERIFY(v > 0);
        if (phase > 8)
            QVERIFY(v < 0);
        peak = qMax(peak, qAbs(v));
    }
    QCOMPARE(qint8(tone[4]), qint8(peak));  // the crest is a quarter period in
    QVERIFY2(peak >= 100 && peak <= 127, qPrintable(QString::number(peak)));

    // For a device that takes only unsigned samples: the same wave about 128.
    const QByteArray unsignedTone = warningToneSamples(QAudioFormat::UnSignedInt);
    QCOMPARE(unsignedTone.size(), 160);
    for (int k = 0; k < tone.size(); ++k)
        QCOMPARE(int(quint8(unsignedTone[k])), qint8(tone[k]) + 128);
}

void TestSharedHelpers::toneWithoutDeviceIsQuiet()
{
    // The sound system's own start-up notes (such as a missing sound server)
    // come with the first device query; let them pass before listening.
    if (!QAudioDeviceInfo::defaultOutputDevice().isNull())
        QSKIP("a sound device is present; this checks the quiet path without one");
    QObject parent;
    messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectMessage);
    playTone(&parent);
    playTone(nullptr);
    QCoreApplication::processEvents();
    qInstallMessageHandler(previous);
    QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
    QVERIFY(parent.findChildren<QAudioOutput *>().isEmpty());
}

VUG_TEST_MAIN(TestSharedHelpers, QApplication)
#include "tst_sharedhelpers.moc"
