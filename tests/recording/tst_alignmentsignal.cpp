#include "recording/AlignmentSignal.h"

#include <QtTest>

#include <cmath>
#include <complex>

// The alignment's per-frame arithmetic, frame by frame, without a thread or window.
class TestAlignmentSignal : public QObject
{
    Q_OBJECT

private:
    using Spectrum = std::array<std::complex<double>, 16>;

    // Direct DFT; sign -1 forward, +1 inverse, scaled by the factor given.
    static Spectrum directDft(const float re[16], const float im[16], int sign, double scale)
    {
        Spectrum out;
        for (int k = 0; k < 16; ++k) {
            std::complex<double> sum;
            for (int t = 0; t < 16; ++t)
                sum += std::complex<double>(re[t], im[t]) * std::polar(1.0, sign * 2.0 * M_PI * k * t / 16.0);
            out[k] = sum * scale;
        }
        return out;
    }

    static void compare(const float re[16], const float im[16], const Spectrum &expected)
    {
        for (int k = 0; k < 16; ++k) {
            QVERIFY2(std::abs(re[k] - expected[k].real()) < 1e-3, qPrintable(QString::number(k)));
            QVERIFY2(std::abs(im[k] - expected[k].imag()) < 1e-3, qPrintable(QString::number(k)));
        }
    }

private slots:
    void fft16MatchesDirectDft_data()
    {
        QTest::addColumn<int>("flag");
        QTest::addColumn<int>("sign");
        QTest::addColumn<double>("scale");
        QTest::newRow("forward unscaled") << -1 << -1 << 1.0;
        QTest::newRow("inverse scaled") << 1 << 1 << 1.0 / 16;
        QTest::newRow("other flag forward scaled") << 0 << -1 << 1.0 / 16;
        QTest::newRow("flag 2 forward scaled") << 2 << -1 << 1.0 / 16;
    }

    void fft16MatchesDirectDft()
    {
        QFETCH(int, flag);
        QFETCH(int, sign);
        QFETCH(double, scale);
        float re[16], im[16];
        for (int i = 0; i < 16; ++i) {
            re[i] = float(std::sin(i * 0.7) * 100 + i * i);
            im[i] = float(i % 3 - 1) * 5.0f;
        }
        const Spectrum expected = directDft(re, im, sign, scale);
        QVERIFY(AlignmentSignal::fft16(re, im, flag));
        compare(re, im, expected);
    }

    // An impulse at t lands as the pure tone of frequency t: this pins the
    // bit-reversal order of every output index.
    void fft16OrdersEveryBin()
    {
        for (int t = 0; t < 16; ++t) {
            float re[16] = {}, im[16] = {};
            re[t] = 1.0f;
            const Spectrum expected = directDft(re, im, -1, 1.0);
            AlignmentSignal::fft16(re, im, -1);
            compare(re, im, expected);
        }
    }

    void spectrumCodesShowRawThenSixteenFrameMean_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("ПГ") << 4;
        QTest::newRow("Доп. канал") << 9;
    }

    void spectrumCodesShowRawThenSixteenFrameMean()
    {
        QFETCH(int, code);
        AlignmentSignal signal(100);
        signal.start({code});
        auto value = [](int n) { return qint16(1000 + 37 * n + (n % 2 ? 50 : -50)); };
        for (int n = 0; n < 60; ++n) {
            signal.addValue(n, code, value(n));
            if (n <= 16) {
                QCOMPARE(signal.baseline(code).at(n), value(n));
                QCOMPARE(signal.deviation(code).at(n), value(n));
                continue;
            }
            double mean = 0;
            for (int i = n - 16; i < n; ++i)
                mean += value(i);
            mean /= 16;
            QVERIFY2(std::abs(signal.baseline(code).at(n) - std::trunc(mean)) <= 1, qPrintable(QString::number(n)));
            QVERIFY2(std::abs(signal.deviation(code).at(n) - std::trunc(value(n - 1) - mean)) <= 1,
                     qPrintable(QString::number(n)));
        }
    }

    void otherCodesTakeTheRingMean()
    {
        AlignmentSignal signal(600);
        signal.start({0, 7});
        for (int n = 0; n < 600; ++n) {
            signal.addValue(n, 0, 1000);
            signal.addValue(n, 7, qint16(n % 2 ? -300 : 300));
            const int filled = qMin(n + 1, AlignmentSignal::RingLength);
            const double mean = 1000.0 * filled / AlignmentSignal::RingLength;
            QCOMPARE(signal.baseline(0).at(n), qint16(std::trunc(mean)));
            QCOMPARE(signal.deviation(0).at(n), qint16(std::trunc(1000 - mean)));
        }
        QCOMPARE(signal.baseline(0).at(248), qint16(996));
        QCOMPARE(signal.baseline(0).at(249), qint16(1000));
        QCOMPARE(signal.deviation(0).at(599), qint16(0));
        QCOMPARE(signal.baseline(7).at(599), qint16(0));
        QCOMPARE(signal.deviation(7).at(599), qint16(-300));
    }

    void onlyDeliveredCodesWithinTheLimitAreKept()
    {
        AlignmentSignal signal(10);
        signal.start({2});
        QVERIFY(signal.delivers(2));
        QVERIFY(!signal.delivers(3));
        QVERIFY(signal.baseline(3).isEmpty());
        signal.addValue(3, 3, 5);
        signal.addValue(10, 2, 5);
        QCOMPARE(signal.baseline(2).size(), 10);
        QCOMPARE(signal.deviation(2).count(qint16(0)), 10);
    }

    void extremeSwingIsClippedNotWrapped()
    {
        AlignmentSignal signal(300);
        signal.start({0});
        for (int n = 0; n < 250; ++n)
            signal.addValue(n, 0, -32768);
        signal.addValue(250, 0, 32767);
        QCOMPARE(signal.deviation(0).at(250), qint16(32767));
    }
};

QTEST_APPLESS_MAIN(TestAlignmentSignal)
#include "tst_alignmentsignal.moc"
