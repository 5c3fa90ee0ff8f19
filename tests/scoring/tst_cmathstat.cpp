#include "StatTables.h"
#include "bench/BenchExamination.h"
#include "tests/support/TestHome.h"

#include <cmath>

// The statistical scoring's fit on its edges, and the feature table built from
// examinations. The fit's values are checked against numpy in
// tst_cmathstatreference.

namespace {

using Row = CMathStat::Row;
constexpr int m = DiscriminantResult::featureCount;
constexpr int kPresentations = 4;
constexpr int kQuestions = 3;

// Three questions, the middle one control, four presentations in 6000 ticks,
// every mark followed by more than the 15 s analysis length.
BenchTestShape smallShape()
{
    BenchTestShape shape;
    shape.ticks = 6000;
    shape.questions = kQuestions;
    shape.presentations = kPresentations;
    shape.kind = [](int q) { return q == 1 ? int(QuestionKind::Control) : int(QuestionKind::Neutral); };
    shape.sample = reactingSample;
    shape.interval = {15.0, 0.0, 15.0};
    return shape;
}

Inspection::_Order planEntry(int group, int theme)
{
    Inspection::_Order entry;
    entry.Group = qint16(group);
    entry.Theme = qint16(theme);
    return entry;
}

// A plan naming every presentation: its own entry (Theme -1), then one per question.
void planPresentations(Inspection::_Test &test)
{
    test.orders = {planEntry(-1, -1)};
    for (int group = 1; group <= kPresentations; ++group) {
        test.orders.append(planEntry(group, -1));
        for (int q = 0; q < kQuestions; ++q)
            test.orders.append(planEntry(group, q));
    }
}

void addTest(Inspection &inspection, int n, const BenchTestShape &shape = smallShape())
{
    inspection.appendTest(recordedTest(n, shape));
    planPresentations(inspection.tests.last());
}

void addTests(Inspection &inspection, int count, const BenchTestShape &shape = smallShape())
{
    for (int n = 0; n < count; ++n)
        addTest(inspection, n, shape);
}

bool allFinite(const DiscriminantResult &fitted)
{
    const auto finite = [](double v) { return std::isfinite(v); };
    return std::isfinite(fitted.rTotal) && std::isfinite(fitted.tTotal) && std::isfinite(fitted.quality)
        && std::all_of(fitted.featureR.cbegin(), fitted.featureR.cend(), finite)
        && std::all_of(fitted.featureT.cbegin(), fitted.featureT.cend(), finite)
        && std::all_of(fitted.weights.cbegin(), fitted.weights.cend(), finite)
        && std::all_of(fitted.scores.cbegin(), fitted.scores.cend(), finite);
}

DiscriminantResult fitted(const StatTable &table, int mask = -1)
{
    DiscriminantResult result;
    if (!result.discriminate(table.rows, table.entries, DiscriminantResult::Mask(quint32(mask))))
        qWarning("the fit failed");
    return result;
}

void compareScores(const QVector<double> &actual, const QVector<double> &expected, double tolerance = 1e-9)
{
    QCOMPARE(actual.size(), expected.size());
    for (int i = 0; i < actual.size(); ++i)
        QVERIFY2(std::abs(actual[i] - expected[i]) <= tolerance,
                 qPrintable(QString("score %1: %2, expected %3").arg(i).arg(actual[i]).arg(expected[i])));
}

const QVector<int> mixedKinds{0, 1, 0, 2, 1, 0};

}  // namespace

class TestCMathStat : public QObject
{
    Q_OBJECT
private slots:
    // the fit
    void unfittableExaminationsScoreZero();
    void failedRefitClearsCounts();
    void constantFeatureAddsNothing();
    void identicalFeaturesGiveNoNaN();
    void negativeCorrelationFlipsScores();
    void noUsableFeatureScoresZero();
    void testQuestionsScoredNotFitted();
    void featureEqualToClassRanksFirst();
    void iterateRejectsPresentations();
    void resetMaskDropsLowT();
    // reading the scores
    void valueAtBeyondRecordedIsZero();
    void questMeanSkipsMarkedPresentations();
    // the feature table
    void numbersPresentationsAcrossTests();
    void marksOutOfOrderKeepTheirRows();
    void testWithoutChannelGivesNoEntries();
    void kindsFromStatesAndTypes();
    void loadsSamplesOnlyWhenMissing();
};

void TestCMathStat::unfittableExaminationsScoreZero()
{
    using Kinds = int (*)(int);
    // Control questions only; control and test questions.
    const Kinds kinds[] = {[](int) { return 1; }, [](int q) { return q == 1 ? 1 : 2; }};
    for (Kinds kind : kinds) {
        BenchTestShape shape = smallShape();
        shape.kind = kind;
        Inspection inspection;
        addTests(inspection, 1, shape);
        CMathStat stat;
        stat.calcAll(&inspection);
        QCOMPARE(stat.entries.size(), kPresentations * kQuestions);
        QVERIFY(!stat.calcDiscriminant(false, false));
        QVERIFY(stat.scores.isEmpty());
        QCOMPARE(stat.controlCount, 0);
        QCOMPARE(stat.excludedCount, 0);
        QCOMPARE(stat.quality, 0.0);
        QCOMPARE(stat.valueAt(0, 0, 1), 0.0);
        QCOMPARE(stat.questMean(0, 1), 0.0);
    }
    CMathStat empty;
    QVERIFY(!empty.calcDiscriminant(false, false));
    QCOMPARE(empty.count, 0);
}

void TestCMathStat::failedRefitClearsCounts()
{
    const StatTable table = syntheticTable(1, 10, mixedKinds, plantedShift());
    CMathStat stat = statOf(table);
    QVERIFY(stat.calcDiscriminant(false, false));
    QCOMPARE(stat.controlCount, 20);
    QCOMPARE(stat.excludedCount, 10);
    for (StatEntry &entry : stat.entries)
        entry.kind = entry.kind == StatEntry::Control ? StatEntry::Control : StatEntry::Excluded;
    QVERIFY(!stat.calcDiscriminant(false, false));
    QCOMPARE(stat.controlCount, 0);
    QCOMPARE(stat.excludedCount, 0);
    QCOMPARE(stat.scores.size(), table.rows.size());
}

// Against the same table without the feature: no trace of it in the fit.
void TestCMathStat::constantFeatureAddsNothing()
{
    StatTable table = syntheticTable(2, 12, mixedKinds, plantedShift(), true);
    for (Row &row : table.rows)
        row[6] = 0.1;  // summed three or six times and divided back, not quite 0.1
    const DiscriminantResult with = fitted(table);
    const DiscriminantResult without = fitted(table, ~(1 << 6));
    QCOMPARE(with.featureR[6], 0.0);
    QCOMPARE(with.featureT[6], 0.0);
    QCOMPARE(with.weights[6], 0.0);
    QCOMPARE(with.rTotal, without.rTotal);
    compareScores(with.scores, without.scores, 0.0);
}

// The leading feature twice: the copy's weight is 0/0, taken as 0.
void TestCMathStat::identicalFeaturesGiveNoNaN()
{
    StatTable table = syntheticTable(3, 15, mixedKinds, plantedShift());
    for (Row &row : table.rows)
        row[1] = row[0];
    const DiscriminantResult twice = fitted(table);
    QVERIFY(allFinite(twice));
    QCOMPARE(twice.order[0], 0);
    QCOMPARE(twice.order[1], 1);
    QCOMPARE(twice.weights[1], 0.0);
    const DiscriminantResult once = fitted(table, ~(1 << 1));
    QVERIFY(std::abs(twice.rTotal - once.rTotal) < 1e-9);
    compareScores(twice.scores, once.scores);
}

void TestCMathStat::negativeCorrelationFlipsScores()
{
    const StatTable table = syntheticTable(4, 15, mixedKinds, plantedShift());
    StatTable negated = table;
    for (Row &row : negated.rows)
        std::transform(row.cbegin(), row.cend(), row.begin(), [](double v) { return -v; });
    const DiscriminantResult up = fitted(table);
    const DiscriminantResult down = fitted(negated);
    QVERIFY(up.rTotal > 0.5);
    QVERIFY(std::abs(down.rTotal + up.rTotal) < 1e-12);
    // The composite turned over, and the scores turned back.
    compareScores(down.scores, up.scores);
    QCOMPARE(down.quality, up.quality);
}

void TestCMathStat::noUsableFeatureScoresZero()
{
    const StatTable table = syntheticTable(5, 10, mixedKinds, plantedShift());
    const DiscriminantResult none = fitted(table, 0);
    QCOMPARE(none.rTotal, 0.0);
    QCOMPARE(none.quality, 0.0);
    QCOMPARE(none.scores.size(), table.rows.size());
    QVERIFY(std::all_of(none.scores.cbegin(), none.scores.cend(), [](double s) { return s == 0.0; }));
}

// Presentations of test questions only change nothing of the fit, and are scored.
void TestCMathStat::testQuestionsScoredNotFitted()
{
    const StatTable table = syntheticTable(6, 15, {0, 1, 0, 1}, plantedShift());
    StatTable more = table;
    const StatTable tests = syntheticTable(7, 5, {2, 2, 2}, plantedShift());
    for (int i = 0; i < tests.rows.size(); ++i) {
        StatEntry entry = tests.entries[i];
        entry.globalGroup += 100;
        more.entries.append(entry);
        more.rows.append(tests.rows[i]);
    }
    const DiscriminantResult plain = fitted(table);
    const DiscriminantResult withTests = fitted(more);
    QCOMPARE(withTests.excludedCount, tests.rows.size());
    QCOMPARE(withTests.controlCount, plain.controlCount);
    QVERIFY(std::abs(withTests.rTotal - plain.rTotal) < 1e-12);
    for (int j = 0; j < m; ++j) {
        QVERIFY(std::abs(withTests.featureR[size_t(j)] - plain.featureR[size_t(j)]) < 1e-12);
        QVERIFY(std::abs(withTests.weights[size_t(j)] - plain.weights[size_t(j)]) < 1e-9);
    }
    QCOMPARE(withTests.scores.size(), more.rows.size());
    for (int i = table.rows.size(); i < more.rows.size(); ++i)
        QVERIFY(withTests.scores[i] != 0.0);
}

void TestCMathStat::featureEqualToClassRanksFirst()
{
    StatTable table = syntheticTable(8, 20, {0, 1, 0, 0}, plantedShift());
    for (int i = 0; i < table.rows.size(); ++i)
        table.rows[i][9] = table.entries[i].kind == StatEntry::Control ? 1.0 : 0.0;
    const DiscriminantResult result = fitted(table);
    QVERIFY(std::abs(result.featureR[9] - 1.0) < 1e-12);
    QCOMPARE(result.order[0], 9);
    QVERIFY(std::abs(result.featureT[9] - 1.0 / std::sqrt(3.0 / 16.0) / 0.10000000000000005) < 1e-9);
    QVERIFY(std::abs(result.rTotal - 1.0) < 1e-9);
    // Every control entry above every other.
    double lowestControl = 1e9, highestOther = -1e9;
    for (int i = 0; i < table.rows.size(); ++i) {
        if (table.entries[i].kind == StatEntry::Control)
            lowestControl = std::min(lowestControl, result.scores[i]);
        else
            highestOther = std::max(highestOther, result.scores[i]);
    }
    QVERIFY(lowestControl > highestOther);
}

// Presentation 2's control question reacts least: rejected, its plan entries
// marked, and the fit repeated without it.
void TestCMathStat::iterateRejectsPresentations()
{
    Inspection inspection;
    addTests(inspection, 1);
    Inspection::_Test &test = inspection.tests[0];
    CMathStat stat;
    stat.inspection = &inspection;
    const double feature0[kPresentations][kQuestions] = {{0, 2, 1}, {1, 0, 2}, {1, 3, 0}, {0, 2, 1.5}};
    for (int p = 0; p < kPresentations; ++p) {
        for (int q = 0; q < kQuestions; ++q) {
            StatEntry entry;
            entry.kind = q == 1 ? StatEntry::Control : StatEntry::Neutral;
            entry.globalGroup = entry.group = p + 1;
            entry.quest = q;
            entry.testId = test.id;
            stat.entries.append(entry);
            stat.rows.append(Row{feature0[p][q]});
        }
    }
    QVERIFY(stat.calcDiscriminant(false, false));
    const QVector<double> once = stat.scores;
    const double rOnce = stat.correlations[1];
    QVERIFY(once[4] < 0.0 && once[1] > 0.0 && once[7] > 0.0);
    QCOMPARE(test.findOrder(2, -1)->State, 0);

    QVERIFY(stat.calcDiscriminant(true, false));
    QCOMPARE(test.findOrder(2, -1)->State, 32);
    for (int q = 0; q < kQuestions; ++q) {
        QCOMPARE(test.findOrder(2, q)->State, 4);
        QCOMPARE(test.findOrder(1, q)->State, 0);
        QCOMPARE(stat.entries[3 + q].kind, qint32(StatEntry::Excluded));
    }
    QCOMPARE(test.findOrder(1, -1)->State, 0);
    QCOMPARE(stat.excludedCount, 3);
    QCOMPARE(stat.controlCount, 3);
    QVERIFY(stat.correlations[1] > rOnce);
}

void TestCMathStat::resetMaskDropsLowT()
{
    const StatTable table = syntheticTable(9, 20, mixedKinds, plantedShift());
    CMathStat full = statOf(table);
    QVERIFY(full.calcDiscriminant(false, false));
    int kept = 0;
    for (int j = 0; j < m; ++j) {
        if (full.tValues[j + 1] >= 0.2 * full.quality)
            kept |= 1 << j;
    }
    QVERIFY(kept != 0 && kept != 0x3FFF);

    CMathStat narrowed = full;
    narrowed.featureMask = 0x0F0F;  // the option starts over from every feature
    QVERIFY(narrowed.calcDiscriminant(false, true));
    QCOMPARE(narrowed.featureMask, kept);
    for (int j = 0; j < m; ++j) {
        if (!(kept & (1 << j)))
            QCOMPARE(narrowed.tValues[j + 1], 0.0);
    }
    QCOMPARE(narrowed.scores, fitted(table, kept).scores);
}

void TestCMathStat::valueAtBeyondRecordedIsZero()
{
    Inspection inspection;
    addTests(inspection, 1);
    CMathStat stat;
    stat.calcAll(&inspection);
    QVERIFY(stat.valueAt(0, 0, 1) != 0.0);
    QCOMPARE(stat.valueAt(0, kPresentations - 1, 1), stat.scores[(kPresentations - 1) * kQuestions + 1]);
    QCOMPARE(stat.valueAt(0, kPresentations, 1), 0.0);
    QCOMPARE(stat.valueAt(0, 0, kQuestions), 0.0);
    QCOMPARE(stat.valueAt(1, 0, 1), 0.0);
}

void TestCMathStat::questMeanSkipsMarkedPresentations()
{
    Inspection inspection;
    addTests(inspection, 2);
    Inspection::_Test &second = inspection.tests[1];
    second.findOrder(1, -1)->State = 16;
    second.findOrder(3, -1)->State = 32 | 1;
    second.valuationBall_GroupsDisabled = {4};  // disabled in the points window
    CMathStat stat;
    stat.calcAll(&inspection);
    for (int q = 0; q < kQuestions; ++q) {
        double all = 0.0;
        for (int p = 0; p < kPresentations; ++p)
            all += stat.valueAt(0, p, q);
        QVERIFY(std::abs(stat.questMean(0, q) - all / kPresentations) < 1e-12);
        QVERIFY(stat.valueAt(1, 3, q) != 0.0);
        const double kept = stat.valueAt(1, 1, q);
        QVERIFY(std::abs(stat.questMean(1, q) - kept) < 1e-12);
    }
    for (int group = 2; group <= kPresentations; group += 2)
        second.findOrder(group, -1)->State = 16;
    QCOMPARE(stat.questMean(1, 1), 0.0);
    QVERIFY(stat.questMean(0, 1) != 0.0);
}

void TestCMathStat::numbersPresentationsAcrossTests()
{
    Inspection inspection;
    addTest(inspection, 0);
    inspection.appendTest(Inspection::_Test(QStringLiteral("не записан")));
    addTest(inspection, 1);
    CMathStat stat;
    stat.inspection = &inspection;
    QVERIFY(stat.runEtica(false, CMathStat::PulseFromPG));
    QCOMPARE(stat.entries.size(), 2 * kPresentations * kQuestions);
    QCOMPARE(stat.rows.size(), stat.entries.size());
    for (int i = 0; i < stat.entries.size(); ++i) {
        const StatEntry &entry = stat.entries[i];
        const int t = i < kPresentations * kQuestions ? 0 : 2;
        const Inspection::_Label &label = inspection.tests[t].labels[i % (kPresentations * kQuestions)];
        QCOMPARE(entry.testId, inspection.tests[t].id);
        QCOMPARE(entry.group, qint32(label.Group));
        QCOMPARE(entry.quest, qint32(label.Theme));
        QCOMPARE(entry.globalGroup, entry.group + (t ? kPresentations : 0));
        QCOMPARE(entry.kind, qint32(label.Theme == 1 ? StatEntry::Control : StatEntry::Neutral));
        QVERIFY(stat.rows[i][13] != 0.0);
    }
}

// Marks out of time order in the list: each row stays with its own mark.
void TestCMathStat::marksOutOfOrderKeepTheirRows()
{
    Inspection ordered;
    addTests(ordered, 1);
    Inspection shuffled;
    addTests(shuffled, 1);
    QVector<Inspection::_Label> &labels = shuffled.tests[0].labels;
    std::reverse(labels.begin() + 2, labels.end() - 3);
    std::swap(labels[0], labels[7]);
    CMathStat a, b;
    a.inspection = &ordered;
    b.inspection = &shuffled;
    QVERIFY(a.runEtica(false, 0) && b.runEtica(false, 0));
    QCOMPARE(b.entries.size(), a.entries.size());
    for (int k = 0; k < labels.size(); ++k) {
        QCOMPARE(b.entries[k].group, qint32(labels[k].Group));
        QCOMPARE(b.entries[k].quest, qint32(labels[k].Theme));
        const int same = a.findEntry(ordered.tests[0].id, labels[k].Group, labels[k].Theme);
        QVERIFY(b.rows[k] == a.rows[same]);
        QVERIFY(b.rows[k][13] != 0.0);
    }
}

void TestCMathStat::testWithoutChannelGivesNoEntries()
{
    Inspection inspection;
    addTests(inspection, 2);
    inspection.tests[0].dataPG.clear();
    CMathStat stat;
    stat.calcAll(&inspection);
    QCOMPARE(stat.entries.size(), kPresentations * kQuestions);
    QCOMPARE(stat.entries[0].testId, inspection.tests[1].id);
    QCOMPARE(stat.entries[0].globalGroup, 1);
    QVERIFY(!stat.scores.isEmpty());
    QCOMPARE(stat.questMean(0, 1), 0.0);
    QCOMPARE(stat.valueAt(0, 0, 1), 0.0);
    QVERIFY(stat.questMean(1, 1) != 0.0);

    // АД stands in for the pulse when asked for and recorded; ВДХ for the breathing.
    QVERIFY(stat.runEtica(false, CMathStat::PulseFromAD));
    QCOMPARE(stat.entries.size(), 2 * kPresentations * kQuestions);
    inspection.tests[0].dataRG_LO.clear();
    inspection.tests[1].dataAD.clear();
    QVERIFY(stat.runEtica(true, CMathStat::PulseFromAD));
    QCOMPARE(stat.entries.size(), 2 * kPresentations * kQuestions);
    QVERIFY(stat.runEtica(false, CMathStat::PulseFromAD));
    QCOMPARE(stat.entries.size(), kPresentations * kQuestions);
}

void TestCMathStat::kindsFromStatesAndTypes()
{
    Inspection inspection;
    BenchTestShape shape = smallShape();
    shape.kind = [](int q) { return q == 0 ? int(QuestionKind::Test) : q == 1 ? 1 : int(QuestionKind::IntR); };
    addTests(inspection, 1, shape);
    Inspection::_Test &test = inspection.tests[0];
    test.findOrder(1, 0)->State = 2;
    test.findOrder(1, 1)->State = 4;
    test.findOrder(1, 2)->State = 8;
    test.findOrder(2, 0)->State = 16;
    test.orders.erase(std::find_if(test.orders.begin(), test.orders.end(),
                                   [](const Inspection::_Order &entry) { return entry.Group == 3 && entry.Theme == 1; }));
    CMathStat stat;
    stat.inspection = &inspection;
    QVERIFY(stat.runEtica(false, 0));
    const auto kind = [&stat, &test](int group, int quest) {
        return stat.entries.value(stat.findEntry(test.id, group, quest)).kind;
    };
    QCOMPARE(kind(1, 0), 1);
    QCOMPARE(kind(1, 1), 2);
    QCOMPARE(kind(1, 2), 0);
    QCOMPARE(kind(2, 0), 2);
    QCOMPARE(kind(2, 1), 1);
    QCOMPARE(kind(2, 2), 2);  // an R question's Type is test
    QCOMPARE(kind(3, 1), 1);
}

// Samples that are not in memory are read from the subject file; a test
// whose samples are there is left as it is.
void TestCMathStat::loadsSamplesOnlyWhenMissing()
{
    QTemporaryDir folder;
    const QString path = folder.filePath("subject.qmz");
    {
        Inspection source(path);
        addTests(source, 2);
        for (Inspection::_Test &test : source.tests) {
            QCOMPARE(source.saveTestStruct(&test, false), StoreResult::Ok);
            QCOMPARE(source.saveRecording(&test), StoreResult::Ok);
        }
    }
    Inspection inspection;
    QCOMPARE(inspection.load(path), StoreResult::Ok);
    QCOMPARE(inspection.tests.size(), 2);
    Inspection::_Test &first = inspection.tests[0];
    Inspection::_Test &second = inspection.tests[1];
    QVERIFY(first.recorded && !first.samplesLoaded() && first.labels.isEmpty());
    QCOMPARE(inspection.loadRecording(&first), StoreResult::Ok);
    first.dataGSR.fill(1000);  // differs from the file: a reload would show
    QVERIFY(!second.samplesLoaded());

    CMathStat stat;
    stat.calcAll(&inspection);
    QCOMPARE(stat.entries.size(), 2 * kPresentations * kQuestions);
    QVERIFY(std::all_of(first.dataGSR.cbegin(), first.dataGSR.cend(), [](qint16 v) { return v == 1000; }));
    QCOMPARE(second.dataPG.size(), 6000);
    QCOMPARE(second.labels.size(), kPresentations * kQuestions);
    QCOMPARE(stat.rows[0][12], 0.0);  // a flat skin-galvanic level
    QVERIFY(stat.rows[kPresentations * kQuestions][12] != 0.0);

    second.dataGSR.fill(500);
    stat.calcAll(&inspection);
    QCOMPARE(second.dataGSR.value(0), qint16(500));
}

VUG_TEST_MAIN(TestCMathStat, QCoreApplication)
#include "tst_cmathstat.moc"
