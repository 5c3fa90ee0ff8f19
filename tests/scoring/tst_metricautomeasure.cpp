#include "scoring/metric/DefMertValuation.h"
#include "scoring/metric/MetricAutoMeasure.h"
#include "tests/support/JsonArrays.h"

#include "data/SignalAnalysis.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <functional>
#include <random>

// The automatic measurement on synthetic recordings with known answers, and on
// seeded noisy ones record by record against signalanalysis_reference.py.

namespace {

const QUuid kVorkel16(QStringLiteral("{05209770-FCC0-4EBD-99C3-0A64CAFB2B1E}"));

struct Mark {
    int group;
    int theme;
    int start;
    int end;
};

Inspection::_Test recording(int ticks, const QVector<Mark> &marks, int iaSeconds)
{
    Inspection::_Test test(QStringLiteral("auto"));
    for (int code = 0; code < 13; ++code)
        test.samples(code)->fill(0, ticks);
    for (const Mark &m : marks) {
        Inspection::_Label label;
        label.Group = qint16(m.group);
        label.Theme = qint16(m.theme);
        label.TickQStart = m.start;
        label.TickQEnd = m.end;
        test.labels.append(label);
    }
    test.ia.nIALength = iaSeconds + 0.7;  // whole seconds count
    return test;
}

void fillChannel(Inspection::_Test &test, int code, const std::function<double(int)> &signal)
{
    QVector<qint16> &samples = *test.samples(code);
    for (int i = 0; i < samples.size(); ++i)
        samples[i] = qint16(std::lround(signal(i)));
}

double sine(int i, double period, double amplitude)
{
    return amplitude * std::sin(2 * M_PI * i / period);
}

Inspection::_MetricParam catalogueEntry(const QString &name)
{
    DefMertValuation catalogue;
    catalogue.fillStandard();
    for (Inspection::_MetricParam entry : catalogue.entries) {
        if (entry.Name == name) {
            entry.bEnable = true;
            return entry;
        }
    }
    qFatal("no catalogue entry %s", qPrintable(name));
    return {};
}

QVector<Inspection::_MetricParam> wholeCatalogue()
{
    DefMertValuation catalogue;
    catalogue.fillStandard();
    for (Inspection::_MetricParam &entry : catalogue.entries)
        entry.bEnable = true;
    return catalogue.entries;
}

Inspection::_MetricValuation measured(const Inspection::_Test &test, int group, int theme, const QUuid &uid)
{
    return test.valuationMetric.value(group).value(theme).value(uid);
}

bool isZero(const Inspection::_MetricValuation &record)
{
    return record.ptStart_x == 0 && record.ptStart_y == 0 && record.ptEnd_x == 0 && record.ptEnd_y == 0 &&
           record.nValue == 0 && record.uidParam != QUuid();
}

QString corners(const Inspection::_MetricValuation &r)
{
    return QStringLiteral("(%1, %2) (%3, %4) %5")
        .arg(r.ptStart_x)
        .arg(r.ptStart_y)
        .arg(r.ptEnd_x)
        .arg(r.ptEnd_y)
        .arg(r.nValue);
}

// The reference script's records of every catalogue entry on the recording.
QJsonArray referenceRecords(const Inspection::_Test &test, const QVector<Inspection::_MetricParam> &params)
{
    QJsonObject channels;
    for (int code = 0; code < 13; ++code)
        channels.insert(QString::number(code), toJsonArray(*test.samples(code)));
    QJsonArray marks;
    for (const Inspection::_Label &label : test.labels)
        marks.append(QJsonArray{label.Group, label.Theme, label.TickQStart, label.TickQEnd});
    QJsonArray list;
    for (const Inspection::_MetricParam &param : params)
        list.append(QJsonObject{{"uid", param.uid.toString()}, {"channel", param.nKodChannel}, {"name", param.Name}});
    const QJsonObject input{{"sixteen", test.idsensor == kVorkel16},
                            {"ia", test.ia.lengthTicks()},
                            {"marks", marks},
                            {"channels", channels},
                            {"params", list}};
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("recording.json")));
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(input).toJson(QJsonDocument::Compact)) < 0)
        return {};
    file.close();
    QProcess reference;
    reference.start(VUG_PYTHON, {VUG_SIGNAL_REFERENCE, file.fileName()});
    if (!reference.waitForFinished(300000) || reference.exitCode() != 0) {
        qWarning() << reference.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(reference.readAllStandardOutput()).array();
}

// Pulse, breathing and skin-galvanic curves with noise, drift and reactions
// after each question, on every channel the catalogue measures.
Inspection::_Test noisyRecording(unsigned seed, double scale)
{
    QVector<Mark> marks;
    int tick = 6;  // the first window starts at the recording's start
    for (int k = 0; k < 9; ++k) {
        marks.append({1 + k / 3, k % 3, tick, tick + 60 + 7 * k});
        tick += 330 + 20 * (k % 4);
    }
    const int ticks = marks.last().end + 90;  // the last window runs past the end
    Inspection::_Test test = recording(ticks, marks, 10);
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 1.0);
    const auto reaction = [&marks](int i) {
        double r = 0;
        for (const Mark &m : marks) {
            if (i >= m.end && i < m.end + 120)
                r = std::sin(M_PI * (i - m.end) / 120.0);
        }
        return r;
    };
    for (int code : {4, 7, 9}) {
        double phase = 0;
        const double period = 17.0 + 2 * code % 5;
        fillChannel(test, code, [&](int i) {
            phase += 1.0 / (period + 3 * std::sin(i / 90.0) - 2 * reaction(i));
            return scale * ((400 - 150 * reaction(i)) * std::sin(2 * M_PI * phase) + 0.05 * i - 200 +
                            15 * noise(random));
        });
    }
    for (int code : {2, 3}) {
        double phase = 0;
        fillChannel(test, code, [&](int i) {
            phase += 1.0 / (70 + 10 * std::sin(i / 300.0) + 25 * reaction(i));
            return scale * ((600 - 300 * reaction(i)) * std::sin(2 * M_PI * phase) - 0.04 * i + 20 * noise(random));
        });
    }
    fillChannel(test, 0, [&](int i) {
        return scale * (300 + 0.03 * i + 350 * reaction(i) + 40 * std::sin(i / 13.0) + 6 * noise(random));
    });
    if (scale > 1)
        test.idsensor = kVorkel16;
    return test;
}

// A 12-bit series times 16, as a 16-bit unit records it.
Inspection::_Test sixteenBitCopy(const Inspection::_Test &test)
{
    Inspection::_Test copy = test;
    for (int code = 0; code < 13; ++code) {
        for (qint16 &sample : *copy.samples(code))
            sample = qint16(sample * 16);
    }
    copy.idsensor = kVorkel16;
    return copy;
}

QVector<int> numpyLengths(const QVector<qint16> &samples, const QVector<QPair<int, int>> &windows)
{
    QStringList pairs;
    for (const auto &w : windows)
        pairs << QStringLiteral("(%1,%2)").arg(w.first).arg(w.second);
    const QString script =
        QStringLiteral("import json,sys,numpy as np\n"
                       "x=np.array(json.load(sys.stdin),dtype=np.int64)\n"
                       "print(json.dumps([int(np.abs(np.diff(x[o-1:o+n])).sum()) for o,n in [%1]]))")
            .arg(pairs.join(','));
    QProcess numpy;
    numpy.start(VUG_PYTHON, {QStringLiteral("-c"), script});
    numpy.write(QJsonDocument(toJsonArray(samples)).toJson(QJsonDocument::Compact));
    numpy.closeWriteChannel();
    if (!numpy.waitForFinished(60000) || numpy.exitCode() != 0)
        return {};
    QVector<int> sums;
    for (const QJsonValue &value : QJsonDocument::fromJson(numpy.readAllStandardOutput()).array())
        sums.append(value.toInt());
    return sums;
}

}  // namespace

class TestMetricAutoMeasure : public QObject
{
    Q_OBJECT
private slots:
    void helpers()
    {
        QCOMPARE(MetricAutoMeasure::firstBetween({3, 8, 12}, 10, 4), 1);
        QCOMPARE(MetricAutoMeasure::firstBetween({3, 8, 12}, 8, 12), -1);
        const QVector<qint16> s{5, 9, 1, 9, 1};
        QCOMPARE(MetricAutoMeasure::argMax({0, 1, 2, 3}, s, 0), 1);
        QCOMPARE(MetricAutoMeasure::argMin({1, 2, 3, 4}, s, 0), 1);
        QCOMPARE(MetricAutoMeasure::argMax({}, s, 0), -1);
        // Peaks at 1, 5, 9 over valleys at 3, 7: only peak 5 is interior; its
        // falls are 20 and 50, and only those below the limit count.
        const QVector<qint16> swing{0, 100, 0, 80, 0, 100, 0, 50, 0, 100};
        const auto found = MetricAutoMeasure::weakestSwing(swing, 0, {1, 5, 9}, {3, 7}, 10000);
        QCOMPARE(found.p, 1);
        QCOMPARE(found.q, 0);
        QCOMPARE(MetricAutoMeasure::weakestSwing(swing, 0, {1, 5, 9}, {3, 7}, 20).p, -1);
    }

    void skinGalvanicAmplitudes()
    {
        // A dip before a wave of 800 peaking 60 samples into the window, a
        // lower level after it; a single spike at the second mark's start.
        Inspection::_Test test = recording(1400, {{1, 0, 100, 200}, {1, 1, 700, 800}}, 10);
        fillChannel(test, 0, [](int i) {
            if (i >= 110 && i < 115)
                return 440.0;
            if (i >= 140 && i <= 180)
                return 1300.0 - 20.0 * std::abs(i - 160);
            if (i > 250 && i < 700)
                return 300.0;
            return i == 700 ? 1500.0 : 500.0;
        });
        const QStringList modes{QStringLiteral("режим-1"), QStringLiteral("режим-2"), QStringLiteral("режим-3")};
        const int expected[] = {80, 86, 100};
        const double low[] = {500, 440, 300};
        for (int m = 0; m < 3; ++m) {
            const Inspection::_MetricParam param = catalogueEntry(QStringLiteral("Канал КГР\nАмплитуда\n") + modes[m]);
            MetricAutoMeasure::calcParamsGSR(test, param);
            const auto r = measured(test, 1, 0, param.uid);
            QCOMPARE(corners(r), QStringLiteral("(60, 1300) (60, %1) %2").arg(low[m]).arg(expected[m]));
            QVERIFY2(isZero(measured(test, 1, 1, param.uid)), qPrintable(corners(measured(test, 1, 1, param.uid))));
        }
        // Another family's identifier on the channel gives zero records.
        Inspection::_MetricParam foreign = catalogueEntry(QStringLiteral("Канал ПГ\nСпад\nрежим 1"));
        foreign.nKodChannel = 0;
        MetricAutoMeasure::calcParamsGSR(test, foreign);
        QVERIFY(isZero(measured(test, 1, 0, foreign.uid)));
    }

    void pulseRatesFallsRisesAndWeakestSwing()
    {
        Inspection::_Test test = recording(1200, {{1, 0, 100, 300}, {1, 1, 600, 800}}, 5);
        // 60 per minute before 500, 90 per minute (three beats in 40 samples) after.
        fillChannel(test, 4, [](int i) { return i < 500 ? sine(i, 20, 800) : sine(i, 40.0 / 3, 800); });
        const auto rate = [&](const QString &cycles, int group, int theme) {
            const Inspection::_MetricParam param = catalogueEntry(QStringLiteral("Канал ПГ\nЧСС\n") + cycles);
            MetricAutoMeasure::calcParamsPulse(test, param);
            return measured(test, group, theme, param.uid);
        };
        const auto sixty = rate(QStringLiteral("5 цикл"), 1, 0);
        QCOMPARE(sixty.nValue, 60);
        QCOMPARE(sixty.ptEnd_x - sixty.ptStart_x, 100.0);
        QCOMPARE(sixty.ptStart_y, sixty.ptEnd_y);
        QCOMPARE(sixty.ptStart_y, double((*test.samples(4))[100 + int(sixty.ptStart_x)]));
        const auto ninety = rate(QStringLiteral("15 цикл"), 1, 1);
        // 1200 / (200 / 15) is 90 but the shared rate routine truncates 89.999… in doubles.
        QCOMPARE(ninety.nValue, 89);
        QCOMPARE(ninety.ptEnd_x - ninety.ptStart_x, 200.0);
        // 20 cycles need 21 peaks: the 300 samples of the first window hold 16.
        QVERIFY(isZero(rate(QStringLiteral("20 цикл"), 1, 0)));
        // An identifier of the blood-pressure family on this channel is no rate of it.
        Inspection::_MetricParam foreign = catalogueEntry(QStringLiteral("Канал АД\nЧСС\n5 цикл"));
        foreign.nKodChannel = 4;
        MetricAutoMeasure::calcParamsPulse(test, foreign);
        QVERIFY(isZero(measured(test, 1, 0, foreign.uid)));

        // A rising baseline: the highest valley is the window's last, the
        // first is the lowest. On the extra channel one weak beat at 220.
        Inspection::_Test drift = recording(700, {{1, 0, 100, 300}}, 5);
        fillChannel(drift, 7, [](int i) { return sine(i, 20, 800) + 2.0 * i; });
        fillChannel(drift, 4, [](int i) { return sine(i, 20, 800) + 2.0 * i; });
        fillChannel(drift, 9, [](int i) { return sine(i, 20, i >= 210 && i < 230 ? 100 : 800) + 2.0 * i; });
        const auto measure = [&](const QString &name) {
            Inspection::_MetricParam param = catalogueEntry(name);
            MetricAutoMeasure::calcParamsPulse(drift, param);
            return measured(drift, 1, 0, param.uid);
        };
        const auto fall1 = measure(QStringLiteral("Канал ПГ\nСпад\nрежим 1"));
        const auto fall2 = measure(QStringLiteral("Канал ПГ\nСпад\nрежим 2"));
        const auto rise1 = measure(QStringLiteral("Канал АД\nПодъем\nрежим 1"));
        const auto rise2 = measure(QStringLiteral("Канал АД\nПодъем\nрежим 2"));
        const auto weakest = measure(QStringLiteral("Канал ПГ(доп)\nАмплитуда\nmin"));
        // Valleys every 20 samples from about 15 to 295 in the 300-sample window.
        QVERIFY2(fall1.ptStart_x > 270 && fall1.ptStart_x == fall1.ptEnd_x, qPrintable(corners(fall1)));
        QCOMPARE(fall1.nValue, int(std::abs(fall1.ptStart_y - fall1.ptEnd_y)) / 10);
        QVERIFY2(std::abs(fall1.nValue - 2 * (fall1.ptStart_x - 15) / 10) <= 5, qPrintable(corners(fall1)));
        QCOMPARE(corners(fall2), corners(fall1));
        QCOMPARE(rise1.ptStart_y, fall1.ptEnd_y);
        QCOMPARE(rise1.ptEnd_y, fall1.ptStart_y);
        QCOMPARE(rise2.nValue, rise1.nValue);
        // The weak beat: a swing of about 2 × 100 plus the drift, at its peak.
        QVERIFY2(weakest.ptStart_x + 100 >= 210 && weakest.ptStart_x + 100 < 230, qPrintable(corners(weakest)));
        QCOMPARE(weakest.ptStart_x, weakest.ptEnd_x);
        QVERIFY2(weakest.nValue >= 17 && weakest.nValue <= 24, qPrintable(corners(weakest)));
    }

    void breathingPeriodsAndLengths()
    {
        // Breathing of 3 s (60 samples); the second mark's window holds two peaks only.
        Inspection::_Test test = recording(2000, {{1, 0, 200, 300}, {1, 1, 1500, 1540}}, 10);
        fillChannel(test, 3, [](int i) { return i < 1605 ? sine(i, 60, 1000) : -1000.0; });
        const auto measure = [&](const QString &name, int theme) {
            Inspection::_MetricParam param = catalogueEntry(QStringLiteral("Канал ВД\n") + name);
            MetricAutoMeasure::calcParamsBreath(test, param);
            return measured(test, 1, theme, param.uid);
        };
        const auto two = measure(QStringLiteral("Период (начало вопроса)\n2 цикла"), 0);
        QCOMPARE(two.nValue, 120);
        QCOMPARE(two.ptEnd_x - two.ptStart_x, 120.0);
        QCOMPARE(two.ptStart_y, two.ptEnd_y);
        QCOMPARE(measure(QStringLiteral("Период (начало вопроса)\n2.5 цикла"), 0).nValue, 150);
        QCOMPARE(measure(QStringLiteral("Период (начало вопроса)\n3 цикла"), 0).nValue, 180);
        const auto fromEnd = measure(QStringLiteral("Период (конец вопроса)\n2 цикла"), 0);
        QCOMPARE(fromEnd.nValue, 120);
        QVERIFY(fromEnd.ptStart_x >= 100);  // counted from the question's start mark
        QVERIFY2(isZero(measure(QStringLiteral("Период (начало вопроса)\n2 цикла"), 1)),
                 qPrintable(corners(measure(QStringLiteral("Период (начало вопроса)\n2 цикла"), 1))));

        const auto fromStart = measure(QStringLiteral("Длина (начало вопроса)\n7 сек"), 0);
        const auto afterEnd = measure(QStringLiteral("Длина (конец вопроса)\n12 сек"), 0);
        QCOMPARE(corners(fromStart).section(' ', 0, 3),
                 QStringLiteral("(0, %1) (140, %1)").arg((*test.samples(3))[200]));
        QCOMPARE(corners(afterEnd).section(' ', 0, 3),
                 QStringLiteral("(100, %1) (340, %1)").arg((*test.samples(3))[300]));
        const QVector<int> sums = numpyLengths(*test.samples(3), {{200, 140}, {300, 240}});
        QCOMPARE(sums.size(), 2);
        QCOMPARE(fromStart.nValue, sums[0]);
        QCOMPARE(afterEnd.nValue, sums[1]);
        // 30 s after the last question's end lies past the recording.
        QVERIFY(isZero(measure(QStringLiteral("Длина (конец вопроса)\n30 сек"), 1)));
        // An identifier of no breathing family.
        Inspection::_MetricParam foreign = catalogueEntry(QStringLiteral("Канал АД\nЧСС\n5 цикл"));
        foreign.nKodChannel = 3;
        MetricAutoMeasure::calcParamsBreath(test, foreign);
        QVERIFY(isZero(measured(test, 1, 0, foreign.uid)));
    }

    void onlyEnabledAutomaticParametersOfMeasuredChannels()
    {
        Inspection::_Test test = noisyRecording(3, 1.0);
        MetricAutoMeasure::Params params;
        params << catalogueEntry(QStringLiteral("Канал КГР\nАмплитуда\nрежим-1"));
        Inspection::_MetricParam disabled = catalogueEntry(QStringLiteral("Канал ПГ\nСпад\nрежим 1"));
        disabled.bEnable = false;
        Inspection::_MetricParam manual = catalogueEntry(QStringLiteral("Канал ПГ\nСпад\nрежим 2"));
        manual.bAuto = false;
        params << disabled << manual;
        for (int code = 0; code < 13; ++code) {
            Inspection::_MetricParam other = catalogueEntry(QStringLiteral("Канал КГР\nАмплитуда\nрежим-1"));
            other.uid = QUuid::createUuid();
            other.nKodChannel = qint16(code);
            params << other;
        }
        // A hand measurement is replaced; one of a disabled parameter stays.
        const QUuid gsr = params.first().uid;
        test.valuationMetric[1][0][gsr].nValue = 12345;
        test.valuationMetric[1][0][disabled.uid].nValue = 777;
        MetricAutoMeasure::measureTest(params, test);
        QVERIFY(measured(test, 1, 0, gsr).nValue != 12345);
        QCOMPARE(measured(test, 1, 0, gsr).uidParam, gsr);
        QCOMPARE(measured(test, 1, 0, disabled.uid).nValue, 777);
        QVERIFY(!test.valuationMetric[1][1].contains(disabled.uid));
        QVERIFY(!test.valuationMetric[1][1].contains(manual.uid));
        QSet<int> measuredCodes;
        for (const Inspection::_MetricParam &param : params.mid(3)) {
            if (test.valuationMetric[1][1].contains(param.uid))
                measuredCodes.insert(param.nKodChannel);
        }
        QCOMPARE(measuredCodes, (QSet<int>{0, 2, 3, 4, 7, 9}));
        // One record per mark for each measured parameter.
        int records = 0;
        for (const auto &group : test.valuationMetric) {
            for (const auto &quest : group)
                records += quest.contains(gsr) ? 1 : 0;
        }
        QCOMPARE(records, test.labels.size());
    }

    void sixteenBitRecordingsMeasureTheSameWindows()
    {
        const Inspection::_Test twelve = noisyRecording(5, 1.0);
        Inspection::_Test a = twelve;
        Inspection::_Test b = sixteenBitCopy(twelve);
        const auto params = wholeCatalogue();
        MetricAutoMeasure::measureTest(params, a);
        MetricAutoMeasure::measureTest(params, b);
        int nonZero = 0;
        for (const Inspection::_MetricParam &param : params) {
            const QString sub = param.Name.section('\n', 1, 1);
            for (const Inspection::_Label &mark : twelve.labels) {
                const auto r12 = measured(a, mark.Group, mark.Theme, param.uid);
                const auto r16 = measured(b, mark.Group, mark.Theme, param.uid);
                const QString where = param.Name + ' ' + corners(r12) + " / " + corners(r16);
                QVERIFY2(r12.ptStart_x == r16.ptStart_x && r12.ptEnd_x == r16.ptEnd_x, qPrintable(where));
                QVERIFY2(16 * r12.ptStart_y == r16.ptStart_y && 16 * r12.ptEnd_y == r16.ptEnd_y, qPrintable(where));
                int expected = pointDistance({r16.ptStart_x, r16.ptStart_y}, {r16.ptEnd_x, r16.ptEnd_y});
                if (sub == QStringLiteral("ЧСС"))
                    expected = r12.nValue;
                else if (sub.startsWith(QStringLiteral("Длина")))
                    expected = 16 * r12.nValue;
                QVERIFY2(r16.nValue == (isZero(r16) ? 0 : expected), qPrintable(where));
                nonZero += r12.nValue != 0;
            }
        }
        QVERIFY(nonZero > 700);
    }

    void agreesWithTheReference_data()
    {
        QTest::addColumn<uint>("seed");
        QTest::addColumn<double>("scale");
        QTest::newRow("12-bit") << 11u << 1.0;
        QTest::newRow("12-bit, other noise") << 12u << 1.0;
        QTest::newRow("16-bit") << 13u << 14.0;
    }

    void agreesWithTheReference()
    {
        QFETCH(uint, seed);
        QFETCH(double, scale);
        Inspection::_Test test = noisyRecording(seed, scale);
        auto params = wholeCatalogue();
        MetricAutoMeasure::measureTest(params, test);
        const QJsonArray expected = referenceRecords(test, params);
        QCOMPARE(expected.size(), params.size() * test.labels.size());
        int nonZero = 0;
        for (const QJsonValue &value : expected) {
            const QJsonArray e = value.toArray();
            const QUuid uid(e[0].toString());
            const auto r = measured(test, e[1].toInt(), e[2].toInt(), uid);
            const QString want = QStringLiteral("(%1, %2) (%3, %4) %5")
                                     .arg(e[3].toDouble())
                                     .arg(e[4].toDouble())
                                     .arg(e[5].toDouble())
                                     .arg(e[6].toDouble())
                                     .arg(e[7].toInt());
            const QString where = DefMertValuation::find(params, uid)->Name +
                                  QStringLiteral(" mark %1/%2: ").arg(e[1].toInt()).arg(e[2].toInt());
            QVERIFY2(corners(r) == want, qPrintable(where + corners(r) + " != " + want));
            nonZero += r.nValue != 0;
        }
        // Most parameters find their windows on these curves.
        QVERIFY2(nonZero > expected.size() / 2, qPrintable(QString::number(nonZero)));
    }
};

QTEST_GUILESS_MAIN(TestMetricAutoMeasure)
#include "tst_metricautomeasure.moc"
