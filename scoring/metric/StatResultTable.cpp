#include "StatResultTable.h"

#include "CMathMetrics.h"
#include "StatValueClass.h"

#include "data/BallValuationSums.h"
#include "data/JsonRecords.h"
#include "data/LargeBlockHeap.h"
#include "data/QuestTypeColor.h"
#include "data/SharedHelpers.h"
#include "data/TestCaption.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardItemModel>

namespace {

const char kContext[] = "InspectionAnalysisStatFancy";
constexpr Qt::ItemFlags kShown = Qt::ItemIsSelectable | Qt::ItemIsEnabled;

QString valueText(double value)
{
    return QString::asprintf("%.2lf", value);
}

QStandardItem *textItem(const QString &text, bool bold)
{
    auto *item = new QStandardItem(text);
    item->setFlags(kShown);
    if (bold) {
        QFont font = item->font();
        font.setWeight(QFont::Bold);
        item->setFont(font);
    }
    return item;
}

QStandardItem *valueItem(const QString &text, bool bold)
{
    QStandardItem *item = textItem(text, bold);
    item->setData(int(Qt::AlignRight), Qt::TextAlignmentRole);
    return item;
}

QJsonObject scoringInputs(const Inspection::_Test &test)
{
    QJsonObject inputs;
    test.ballValuationToJson(inputs);
    test.metricValuationToJson(inputs);
    QJsonObject interval;
    test.ia.toJson(interval);
    inputs.insert(QStringLiteral("ia"), interval);
    inputs.insert(QStringLiteral("name"), test.name);
    inputs.insert(QStringLiteral("questions"), recordsToArray(test.themis));
    inputs.insert(QStringLiteral("marks"), recordsToArray(test.labels));
    return inputs;
}

QByteArray place(int test, int presentation, int quest, int column)
{
    QByteArray bytes(4, '\0');
    bytes[0] = char(test);
    bytes[1] = char(presentation);
    bytes[2] = char(quest);
    bytes[3] = char(column);
    return bytes;
}

}  // namespace

StatResultTable::StatResultTable(Inspection &inspection) : m_inspection(inspection) {}

QStringList StatResultTable::headers()
{
    return {QCoreApplication::translate(kContext, "Тесты и вопросы"),
            QCoreApplication::translate(kContext, "Статистическая"),
            QCoreApplication::translate(kContext, "Бальная 7 (3210123)"),
            QCoreApplication::translate(kContext, "Бальная 3 (101)"),
            QCoreApplication::translate(kContext, "Бальная 3+ (012)"),
            QCoreApplication::translate(kContext, "Метрическая"),
            QString()};
}

QByteArray StatResultTable::inputsDigest(const Inspection &inspection)
{
    QJsonArray tests;
    for (const Inspection::_Test &test : inspection.tests) {
        if (test.recorded)
            tests.append(scoringInputs(test));
    }
    QJsonObject all;
    all.insert(QStringLiteral("tests"), tests);
    all.insert(QStringLiteral("params"), recordsToArray(inspection.metricParams));
    return QCryptographicHash::hash(QJsonDocument(all).toJson(QJsonDocument::Compact), QCryptographicHash::Sha1);
}

bool StatResultTable::score()
{
    m_stat.calcAll(&m_inspection);
    // The scoring read every recording: their freed blocks go back once.
    LargeBlockHeap::returnFreed();
    return m_stat.unread.isEmpty();
}

void StatResultTable::sum()
{
    m_tests.clear();
    for (int t = 0; Inspection::_Test *test = m_inspection.test(t); ++t) {
        if (test->recorded)
            m_tests.append(sumTest(t, *test));
    }
}

StatResultTable::TestRows StatResultTable::sumTest(int index, Inspection::_Test &test) const
{
    TestRows rows;
    rows.index = index;
    const CMathMetrics::ClassLimits metric = CMathMetrics().classLimits(m_inspection, test);
    rows.low = metric.low;
    rows.high = metric.high;
    const int presentations = test.presentationCount();
    for (int q = 0; q < test.themis.size(); ++q) {
        QuestionRow row;
        row.values = {m_stat.questMean(index, q), sumBallMap(test, test.valuationBall_3210123, -1, q),
                      sumBallMap(test, test.valuationBall_101, -1, q), sumBallMap(test, test.valuationBall_012, -1, q),
                      metric.sums.value(q, 0.0)};
        for (int p = 0; p < presentations; ++p) {
            row.presentations.append({m_stat.valueAt(index, p, q),
                                      sumBallMap(test, test.valuationBall_3210123, p + 1, q),
                                      sumBallMap(test, test.valuationBall_101, p + 1, q),
                                      sumBallMap(test, test.valuationBall_012, p + 1, q)});
        }
        rows.questions.append(row);
    }
    return rows;
}

QStandardItemModel *StatResultTable::model() const
{
    auto *model = new QStandardItemModel(0, ColumnCount);
    model->setHorizontalHeaderLabels(headers());
    for (const TestRows &rows : m_tests) {
        QStandardItem *test = testItem(rows);
        for (int q = 0; q < rows.questions.size(); ++q) {
            QList<QStandardItem *> question = questionCells(rows, q);
            for (int p = 0; p < rows.questions[q].presentations.size(); ++p)
                question.first()->appendRow(presentationCells(rows, q, p));
            test->appendRow(question);
        }
        model->appendRow(test);
    }
    return model;
}

QStandardItem *StatResultTable::testItem(const TestRows &rows) const
{
    return textItem(testCaption(m_inspection, rows.index), true);
}

QList<QStandardItem *> StatResultTable::questionCells(const TestRows &rows, int quest) const
{
    const Inspection::_Theme &theme = m_inspection.tests[rows.index].themis[quest];
    QStandardItem *name = textItem(theme.Theme, false);
    name->setForeground(questTypeColor(theme.Type));
    QList<QStandardItem *> cells{name};
    for (int column = StatisticalColumn; column <= MetricColumn; ++column) {
        const double value = rows.questions[quest].values[column - 1];
        QStandardItem *cell = valueItem(valueText(value), true);
        cell->setForeground(classColor(rows, column, value));
        cells << cell;
    }
    cells << valueItem(QString(), true);
    return cells;
}

QList<QStandardItem *> StatResultTable::presentationCells(const TestRows &rows, int quest, int presentation) const
{
    const PresentationValues &values = rows.questions[quest].presentations[presentation];
    const QString caption = QCoreApplication::translate(kContext, "Группа: ") + romanNumeral(presentation + 1);
    QList<QStandardItem *> cells{textItem(caption, false)};
    for (int column = StatisticalColumn; column <= EmptyColumn; ++column) {
        const QString text = column < MetricColumn ? valueText(values[column - 1]) : QString();
        QStandardItem *cell = valueItem(text, false);
        cell->setData(place(rows.index, presentation + 1, quest, column - 1), PlaceRole);
        cells << cell;
    }
    return cells;
}

QColor StatResultTable::classColor(const TestRows &rows, int column, double value) const
{
    switch (column) {
    case StatisticalColumn:
        return StatValueClass::color(StatValueClass::statistical(value, m_stat.quality));
    case Ball012Column:
        return StatValueClass::color(StatValueClass::points012(value));
    case MetricColumn:
        return StatValueClass::color(StatValueClass::metric(value, rows.low, rows.high));
    default:
        return StatValueClass::color(StatValueClass::signedPoints(value));
    }
}
