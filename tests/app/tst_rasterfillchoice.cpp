#include "app/RasterFillChoice.h"

#include <QProcess>
#include <QtTest>

#include <cstdlib>

namespace {

int probes = 0;
double probed = 0;

double countedProbe()
{
    ++probes;
    return probed;
}

const QByteArray kDisable = "QT_NO_CPU_FEATURE";
const QByteArray kMeasured = "VUG_FILL_PENALTY_NS";

// A NUL-ended block of pointers into the texts, as the kernel hands one over.
struct Block {
    explicit Block(const QByteArrayList &variables) : texts(variables)
    {
        for (QByteArray &text : texts)
            pointers.push_back(text.data());
        pointers.push_back(nullptr);
    }
    QByteArrayList texts;
    std::vector<char *> pointers;
};

// The two variables as a child process started now sees them.
QByteArrayList childSees()
{
    QProcess child;
    child.start(QStringLiteral("env"), QStringList());
    child.waitForFinished();
    QByteArrayList seen;
    for (const QByteArray &line : child.readAllStandardOutput().split('\n'))
        if (line.startsWith(kDisable + '=') || line.startsWith(kMeasured + '='))
            seen << line;
    return seen;
}

}  // namespace

class TestRasterFillChoice : public QObject
{
    Q_OBJECT
private slots:
    void choiceAndChildren_data();
    void choiceAndChildren();
    void restartKeepsWholeEnvironment();
};

void TestRasterFillChoice::choiceAndChildren_data()
{
    QTest::addColumn<QByteArrayList>("environment");
    QTest::addColumn<double>("probe");
    QTest::addColumn<bool>("restart");
    QTest::addColumn<double>("penalty");
    QTest::addColumn<int>("probesMade");
    QTest::addColumn<QByteArrayList>("childSees");

    const QByteArrayList userSet{"QT_NO_CPU_FEATURE=sse4.2"};
    QTest::newRow("user-set QT_NO_CPU_FEATURE kept, nothing measured") << userSet << 100.0 << false << -1.0 << 0 << userSet;
    QTest::newRow("started afresh: measured value taken, no second restart, children see neither")
        << QByteArrayList{"QT_NO_CPU_FEATURE=avx2", "VUG_FILL_PENALTY_NS=57"} << 100.0 << false << 57.0 << 0
        << QByteArrayList{};
    QTest::newRow("slow transition restarts") << QByteArrayList{} << 100.0 << true << 100.0 << 1 << QByteArrayList{};
    QTest::newRow("quick transition stays") << QByteArrayList{} << 5.0 << false << 5.0 << 1 << QByteArrayList{};
}

void TestRasterFillChoice::choiceAndChildren()
{
    QFETCH(QByteArrayList, environment);
    QFETCH(double, probe);
    QFETCH(bool, restart);
    QFETCH(double, penalty);
    QFETCH(int, probesMade);
    QFETCH(QByteArrayList, childSees);

    qunsetenv(kDisable);
    qunsetenv(kMeasured);
    for (const QByteArray &variable : environment)
        qputenv(variable.left(variable.indexOf('=')), variable.mid(variable.indexOf('=') + 1));
    Block block(environment);
    probes = 0;
    probed = probe;
    const RasterFillChoice::Start start = RasterFillChoice::startFor(block.pointers.data(), &countedProbe);
    QCOMPARE(start.restart, restart);
    QCOMPARE(start.penaltyNs, penalty);
    QCOMPARE(probes, probesMade);

    RasterFillChoice::forgetAddedVariables(start);
    QCOMPARE(::childSees(), childSees);
}

void TestRasterFillChoice::restartKeepsWholeEnvironment()
{
    QByteArrayList variables;
    for (int i = 0; i < 5000; ++i)
        variables << "V" + QByteArray::number(i) + "=x";
    Block block(variables);
    char disable[] = "QT_NO_CPU_FEATURE=avx2";
    char measured[] = "VUG_FILL_PENALTY_NS=100";
    const std::vector<char *> environment =
        RasterFillChoice::restartEnvironment(block.pointers.data(), disable, measured);
    QCOMPARE(int(environment.size()), 5003);
    QCOMPARE(QByteArray(environment[4999]), QByteArray("V4999=x"));
    QCOMPARE(environment[5000], disable);
    QCOMPARE(environment[5001], measured);
    QCOMPARE(environment[5002], nullptr);
}

QTEST_GUILESS_MAIN(TestRasterFillChoice)
#include "tst_rasterfillchoice.moc"
