// Runs the metric statistics routines for metric_reference.py.
//   metric_dump student   prints the Student table, one "df level t" row a line
//   metric_dump routines  reads cases as JSON on stdin, writes the results as JSON
#include "../MetricFixtures.h"
#include "scoring/metric/CMathMetrics.h"
#include "scoring/metric/StudentTable.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <cstdio>

namespace {

QVector<double> doubles(const QJsonValue &value)
{
    QVector<double> result;
    for (const QJsonValue &x : value.toArray())
        result.append(x.toDouble());
    return result;
}

MetricMatrix matrix(const QJsonValue &value)
{
    MetricMatrix result;
    for (const QJsonValue &row : value.toArray())
        result.append(doubles(row));
    return result;
}

QJsonArray json(const QVector<double> &values)
{
    QJsonArray result;
    for (double x : values)
        result.append(x);
    return result;
}

QJsonArray json(const MetricMatrix &rows)
{
    QJsonArray result;
    for (const QVector<double> &row : rows)
        result.append(json(row));
    return result;
}

QVector<Inspection::_MetricParam> params(const QJsonValue &value)
{
    QVector<Inspection::_MetricParam> result;
    for (const QJsonValue &p : value.toArray())
        result.append(MetricFixtures::param(p[QLatin1String("dK")].toDouble(), p[QLatin1String("enable")].toBool()));
    return result;
}

// Test case: questions, presentations, params [{dK, enable}], cells [[p, q, k, value]].
QJsonObject collected(const QJsonObject &input)
{
    Inspection inspection;
    inspection.metricParams = params(input[QLatin1String("params")]);
    Inspection::_Test test = MetricFixtures::presentedTest(input[QLatin1String("questions")].toInt(),
                                                           input[QLatin1String("presentations")].toInt());
    for (const QJsonValue &cell : input[QLatin1String("cells")].toArray()) {
        const QJsonArray c = cell.toArray();
        MetricFixtures::putValue(test, c[0].toInt(), c[1].toInt(), inspection.metricParams[c[2].toInt()].uid,
                                 c[3].toInt());
    }
    const CMathMetrics math;
    const CMathMetrics::QuestionScores scores = math.scoreQuestions(inspection, test);
    const CMathMetrics::ClassLimits limits = math.classLimits(inspection, test);
    QJsonArray z;
    for (auto p = scores.z.begin(); p != scores.z.end(); ++p) {
        QJsonArray questions;
        for (auto q = p->begin(); q != p->end(); ++q) {
            QJsonArray byParam;
            for (const Inspection::_MetricParam &param : inspection.metricParams)
                byParam.append(q->value(param.uid));
            questions.append(byParam);
        }
        z.append(questions);
    }
    return {{QStringLiteral("values"), json(scores.values)}, {QStringLiteral("z"), z},
            {QStringLiteral("sums"), json(scores.sums)},     {QStringLiteral("t"), json(scores.t)},
            {QStringLiteral("low"), limits.low},             {QStringLiteral("high"), limits.high}};
}

QJsonObject routines(const QJsonObject &input)
{
    const CMathMetrics math;
    QJsonArray variance, normalized, signedMeans, added, weighted, collectedTests;
    for (const QJsonValue &row : input[QLatin1String("variance")].toArray())
        variance.append(math.variance(doubles(row)));
    for (const QJsonValue &rows : input[QLatin1String("normalize")].toArray()) {
        QVector<QVector<qint32>> raw;
        for (const QJsonValue &row : rows.toArray()) {
            QVector<qint32> ints;
            for (double x : doubles(row))
                ints.append(qint32(x));
            raw.append(ints);
        }
        MetricMatrix result;
        math.normalizeRows(raw, result);
        normalized.append(json(result));
    }
    for (const QJsonValue &c : input[QLatin1String("meanOfSign")].toArray())
        signedMeans.append(math.meanOfSign(doubles(c[QLatin1String("values")]), c[QLatin1String("sign")].toInt()));
    for (const QJsonValue &c : input[QLatin1String("addVectors")].toArray()) {
        MetricMatrix acc = matrix(c[QLatin1String("acc")]);
        math.addVectors(acc, matrix(c[QLatin1String("add")]));
        added.append(json(acc));
    }
    for (const QJsonValue &c : input[QLatin1String("weightedSum")].toArray()) {
        QVector<double> score = doubles(c[QLatin1String("score")]);
        math.weightedSum(matrix(c[QLatin1String("values")]), params(c[QLatin1String("params")]), score);
        weighted.append(json(score));
    }
    for (const QJsonValue &c : input[QLatin1String("collect")].toArray())
        collectedTests.append(collected(c.toObject()));
    return {{QStringLiteral("variance"), variance},       {QStringLiteral("normalize"), normalized},
            {QStringLiteral("meanOfSign"), signedMeans},  {QStringLiteral("addVectors"), added},
            {QStringLiteral("weightedSum"), weighted},    {QStringLiteral("collect"), collectedTests}};
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == QLatin1String("student")) {
        for (const StudentRow &row : studentTable)
            std::printf("%d %.17g %.17g\n", row.df, row.level, row.t);
        return 0;
    }
    if (args.value(1) == QLatin1String("routines")) {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            return 2;
        const QJsonDocument input = QJsonDocument::fromJson(in.readAll());
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly))
            return 2;
        out.write(QJsonDocument(routines(input.object())).toJson(QJsonDocument::Compact));
        return 0;
    }
    std::fprintf(stderr, "usage: metric_dump student|routines\n");
    return 2;
}
