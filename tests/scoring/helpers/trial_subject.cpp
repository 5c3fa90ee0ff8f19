// Writes a subject file of scored recorded tests for trying the scoring
// windows and the review screen in the running program:
//   trial_subject PATH
// Two recorded tests of four questions in four presentations (the first meets
// the navigator's coefficient conditions), points in all three scales, three
// hand metric parameters valued on every mark, and one test not recorded.
#include "../MetricFixtures.h"
#include "bench/BenchExamination.h"
#include "tests/data/BallFixtures.h"
#include "tests/data/StoreFixtures.h"

#include <QCoreApplication>
#include <QTextStream>

#include <random>

namespace {

int coefficientKinds(int q)
{
    return q == 1 ? int(QuestionKind::Control) : int(QuestionKind::Neutral);
}

int mixedKinds(int q)
{
    return q == 1 ? int(QuestionKind::Control) : q == 3 ? int(QuestionKind::Test) : int(QuestionKind::Neutral);
}

Inspection::_Test scoredTest(int n, int (*kind)(int))
{
    BenchTestShape shape;
    shape.ticks = 9600;
    shape.questions = 4;
    shape.presentations = 4;
    shape.kind = kind;
    shape.sample = reactingSample;
    shape.interval = {15.0, 0.0, 15.0};
    Inspection::_Test test = recordedTest(n, shape);
    // Stacked one above the other, in code order from the top.
    for (int code = 0; code < ChannelCode::Count; ++code) {
        test.channel(code).Amplify = 40;
        test.channel(code).Offset = (ChannelCode::Count - code) * 500 / ChannelCode::Count - 19;  // stored whole
    }
    return test;
}

void scorePoints(Inspection::_Test &test, unsigned seed)
{
    std::mt19937 random(seed);
    BallValuationMap *scales[] = {&test.valuationBall_3210123, &test.valuationBall_101, &test.valuationBall_012};
    const int low[] = {-3, -1, 0};
    const int high[] = {3, 1, 2};
    for (int p = 1; p <= 4; ++p)
        for (int q = 0; q < 4; ++q)
            for (int scale = 0; scale < 3; ++scale) {
                std::uniform_int_distribution<int> score(low[scale], high[scale]);
                BallFixtures::putBall(*scales[scale],
                                      BallFixtures::ball(p, q, score(random), score(random), score(random)));
            }
}

Inspection::_MetricParam handParam(const QString &name, int channel, int kind, double weight, const QString &about)
{
    Inspection::_MetricParam param = MetricFixtures::param(weight);
    param.Name = name;
    param.nKodChannel = qint16(channel);
    param.eMet = kind;
    param.sDescription = about;
    return param;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: trial_subject PATH\n";
        return 2;
    }
    Inspection examination(QString::fromLocal8Bit(argv[1]));
    examination.metricParams = {
        handParam(QStringLiteral("Амплитуда КГР"), ChannelCode::GSR, 2, 1.0,
                  QStringLiteral("Подъём КГР после вопроса")),
        handParam(QStringLiteral("Длина дыхания"), ChannelCode::RG_HI, 4, -1.0, QStringLiteral("Длина линии ВДХ")),
        handParam(QStringLiteral("Частота пульса"), ChannelCode::PG, 5, 0.5, QStringLiteral("Частота ПГ")),
    };
    examination.appendTest(scoredTest(0, coefficientKinds));
    examination.appendTest(scoredTest(1, mixedKinds));
    StoreFixtures::saveTests(examination);
    std::mt19937 random(5);
    std::uniform_int_distribution<int> value(0, 1000);
    for (int n = 0; n < 2; ++n) {
        Inspection::_Test &test = examination.tests[n];
        scorePoints(test, 7 + n);
        for (const Inspection::_Label &mark : qAsConst(test.labels))
            for (const Inspection::_MetricParam &param : qAsConst(examination.metricParams))
                MetricFixtures::putValue(test, mark.Group, mark.Theme, param.uid, value(random));
        if (examination.saveBallValuation(&test) != StoreResult::Ok
            || examination.saveMetricValuation(&test) != StoreResult::Ok)
            return 1;
    }
    Inspection::_Test notRecorded(QStringLiteral("Не записан"));
    notRecorded.addTheme(QStringLiteral("Вопрос?"), QuestionKind::Control, 1, -1);
    examination.appendTest(notRecorded);
    if (examination.saveMetricParams() != StoreResult::Ok
        || examination.saveTestStruct(&examination.tests.last()) != StoreResult::Ok)
        return 1;
    return 0;
}
