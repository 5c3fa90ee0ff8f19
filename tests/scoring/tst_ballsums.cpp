#include "BallReference.h"
#include "data/BallValuationSums.h"
#include "data/InspectionTest.h"
#include "tests/data/BallFixtures.h"
#include "tests/support/JsonArrays.h"
#include "tests/support/TestHome.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

#include <random>

// The three points sums against ballsums_reference.py beside this file, which
// computes them from the rules on its own (numpy.float32 for the weighted sum).

using namespace BallFixtures;

namespace {

const QVector<int> kQuests = {-2, -1, 0, 1, 2, 3, 4};
const QVector<int> kGroups = {-2, -1, 0, 1, 2, 3, 4, 5};
const QVector<int> kChannels = {-1, 0, 1, 2, 3};
constexpr int kTable = 5;  // questions 0..4 and presentations 1..5 of the weighted table

struct Case {
    QString name;
    InspectionTest test;
};

void setWeights(InspectionTest &test, float gsr, float pg, float rg)
{
    test.valuationBall_ChannelK[0] = gsr;
    test.valuationBall_ChannelK[1] = pg;
    test.valuationBall_ChannelK[2] = rg;
}

InspectionTest partExample()
{
    InspectionTest test;
    setWeights(test, 1.0f, 0.0f, 0.5f);
    putBall(test.valuationBall_012, ball(1, 0, 2, 3, -2));
    return test;
}

// Scores spread over three presentations and questions, one presentation disabled or not.
InspectionTest spread(bool disableSecond)
{
    InspectionTest test;
    setWeights(test, 1.5f, 0.5f, 2.0f);
    for (int group = 1; group <= 3; ++group)
        for (int quest = 0; quest < 4; ++quest)
            putBall(test.valuationBall_012,
                    ball(group, quest, group - quest, quest * 2 - 3, 3 - group, (group + quest) % 3 != 0));
    if (disableSecond)
        test.valuationBall_GroupsDisabled = {2, 7};
    return test;
}

// Entries under keys that disagree with their own fields: the fields decide,
// also for the disabled test and for several entries naming the same place.
InspectionTest misfiled()
{
    InspectionTest test;
    setWeights(test, 0.5f, 1.0f, 3.0f);
    test.valuationBall_012[1][0] = ball(2, 1, 3, -1, 2);
    test.valuationBall_012[1][1] = ball(2, 1, -2, 2, 1);
    test.valuationBall_012[2][5] = ball(1, 3, 1, 1, 1);
    test.valuationBall_012[3][0] = ball(4, 0, 2, 2, -3);  // lies under 3, names disabled 4
    test.valuationBall_012[4][2] = ball(3, 2, -1, 3, 2);  // lies under disabled 4, names 3
    test.valuationBall_GroupsDisabled = {4};
    return test;
}

InspectionTest negativeQuestions()
{
    InspectionTest test;
    putBall(test.valuationBall_012, ball(1, -1, 5, 6, 7));
    putBall(test.valuationBall_012, ball(1, -2, -3, 2, 1));
    putBall(test.valuationBall_012, ball(2, -1, 1, 1, 1));
    putBall(test.valuationBall_012, ball(2, 0, 2, -2, 3));
    return test;
}

InspectionTest notInUse()
{
    InspectionTest test = spread(false);
    for (auto &questions : test.valuationBall_012)
        for (InspectionBallValuation &e : questions)
            e.bEnable = false;
    return test;
}

InspectionTest zeroWeights()
{
    InspectionTest test = spread(false);
    setWeights(test, 0.0f, 0.0f, 0.0f);
    return test;
}

// Many large scores naming one place, weights that floats hold inexactly:
// the order and precision of the weighted sum show in its last bits.
InspectionTest rounding()
{
    InspectionTest test;
    setWeights(test, 0.1f, 0.7f, 1.3f);
    std::mt19937 random(31);
    std::uniform_int_distribution<int> score(-100000, 100000);
    for (int key = 0; key < 40; ++key)
        test.valuationBall_012[key % 5][key] = ball(1 + key % 2, key % 3, score(random), score(random), score(random));
    return test;
}

// Integer sums past the 32-bit range wrap.
InspectionTest wrapping()
{
    InspectionTest test;
    putBall(test.valuationBall_012, ball(1, 0, 2147483000, -2147483000, 1));
    putBall(test.valuationBall_012, ball(2, 0, 2147483000, -2147483000, 1));
    return test;
}

QVector<Case> cases()
{
    return {{"empty", InspectionTest()},
            {"example", partExample()},
            {"spread", spread(false)},
            {"spread, presentation 2 disabled", spread(true)},
            {"keys disagree with entries", misfiled()},
            {"negative question indexes", negativeQuestions()},
            {"entries not in use", notInUse()},
            {"zero weights", zeroWeights()},
            {"single-precision rounding", rounding()},
            {"32-bit wrap", wrapping()}};
}

QJsonArray runReference(const QVector<Case> &all)
{
    QJsonArray input;
    for (const Case &c : all) {
        QJsonObject object = BallReference::caseOf(c.test, c.test.valuationBall_012);
        object.insert("quests", toJsonArray(kQuests));
        object.insert("groups", toJsonArray(kGroups));
        object.insert("channels", toJsonArray(kChannels));
        input.append(object);
    }
    return BallReference::run(input);
}

// Sizes of the map and of each presentation's question map.
QVector<int> shape(const BallValuationMap &scale)
{
    QVector<int> sizes{scale.size()};
    for (const auto &questions : scale)
        sizes.append(questions.size());
    return sizes;
}

}  // namespace

class TestBallSums : public QObject
{
    Q_OBJECT
private slots:
    void matchesReference();
    void exampleOfWeightedSum();
    void readingInsertsNothing();
};

void TestBallSums::matchesReference()
{
    const QVector<Case> all = cases();
    const QJsonArray results = runReference(all);
    QCOMPARE(results.size(), all.size());
    for (int i = 0; i < all.size(); ++i) {
        const InspectionTest &test = all[i].test;
        const BallValuationMap &scale = test.valuationBall_012;
        const QJsonObject expected = results[i].toObject();
        const QJsonArray byQuest = expected.value("byQuest").toArray();
        const QJsonArray byGroup = expected.value("byGroup").toArray();
        const QJsonArray weighted = expected.value("weighted").toArray();
        const QJsonArray window = expected.value("window").toArray();
        const QVector<float> table = weightedBallTable(test, scale, kTable, kTable);
        for (int c = 0; c < kChannels.size(); ++c) {
            for (int q = 0; q < kQuests.size(); ++q) {
                const QString where = QString("%1: question %2, channel %3").arg(all[i].name).arg(kQuests[q]).arg(kChannels[c]);
                QVERIFY2(sumBallByQuest(test, scale, kQuests[q], kChannels[c]) == byQuest[q][c].toInt(), qPrintable(where));
            }
            for (int p = 0; p < kGroups.size(); ++p) {
                const QString where = QString("%1: presentation %2, channel %3").arg(all[i].name).arg(kGroups[p]).arg(kChannels[c]);
                QVERIFY2(sumBallByGroup(test, scale, kGroups[p], kChannels[c]) == byGroup[p][c].toInt(), qPrintable(where));
            }
        }
        for (int q = 0; q < kQuests.size(); ++q) {
            for (int p = 0; p < kGroups.size(); ++p) {
                const auto check = [&](double actual, const QJsonArray &table, const char *order) {
                    const double wanted = table[q][p].toDouble();
                    const QString where = QString("%1: question %2, presentation %3 in %4: %5, expected %6")
                                              .arg(all[i].name).arg(kQuests[q]).arg(kGroups[p]).arg(order)
                                              .arg(actual, 0, 'g', 17).arg(wanted, 0, 'g', 17);
                    return actual == wanted ? QString() : where;
                };
                if (kQuests[q] >= 0 && kGroups[p] >= 1)  // the whole table at once gives the same
                    QCOMPARE(double(table[kQuests[q] * kTable + kGroups[p] - 1]), weighted[q][p].toDouble());
                QString failed = check(weightedBallSum(test, scale, kQuests[q], kGroups[p]), weighted, "the points window's order");
                QVERIFY2(failed.isEmpty(), qPrintable(failed));
                failed = check(sumBallMap(test, scale, kGroups[p], kQuests[q]), window, "the statistics window's order");
                QVERIFY2(failed.isEmpty(), qPrintable(failed));
            }
        }
    }
}

void TestBallSums::exampleOfWeightedSum()
{
    const InspectionTest test = partExample();
    QCOMPARE(weightedBallSum(test, test.valuationBall_012, 0, 1), 1.0f);

    // A disabled presentation counts again once taken out of the set.
    InspectionTest toggled = spread(true);
    QCOMPARE(sumBallByGroup(toggled, toggled.valuationBall_012, 2, 0), 0);
    toggled.valuationBall_GroupsDisabled.remove(2);
    QCOMPARE(sumBallByGroup(toggled, toggled.valuationBall_012, 2, 0), 2 + 0 - 1);  // question 1 not in use
}

void TestBallSums::readingInsertsNothing()
{
    InspectionTest test = misfiled();
    test.valuationBall_101 = spread(false).valuationBall_012;
    const BallValuationMap *scales[] = {&test.valuationBall_012, &test.valuationBall_101, &test.valuationBall_3210123};
    QVector<QVector<int>> before;
    for (const BallValuationMap *scale : scales)
        before.append(shape(*scale));
    for (const BallValuationMap *scale : scales) {
        for (int q : kQuests) {
            for (int p : kGroups) {
                sumBallByQuest(test, *scale, q, p % 3);
                sumBallByGroup(test, *scale, p, q % 3);
                weightedBallSum(test, *scale, q, p);
            }
        }
    }
    for (int i = 0; i < 3; ++i)
        QCOMPARE(shape(*scales[i]), before[i]);
}

VUG_TEST_MAIN(TestBallSums, QCoreApplication)
#include "tst_ballsums.moc"
