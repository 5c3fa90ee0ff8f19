// The metric window's results tree: tests, questions and presentations with the
// measured values and their sums.
#include "InspectionAnalysisMetrFancy.h"
#include "MetrFancyShared.h"

#include "_QHeaderView.h"
#include "_QTreeView.h"
#include "data/QuestTypeColor.h"
#include "data/QuestionKindName.h"
#include "data/SharedHelpers.h"
#include "data/TestCaption.h"
#include "data/ViewModel.h"
#include "fancy/FontScale.h"

#include <QItemSelectionModel>
#include <QJsonArray>
#include <QStandardItemModel>

using namespace MetrFancy;

namespace {

const QBrush &positiveBrush()
{
    static const QBrush brush(QColor(0, 200, 0));
    return brush;
}

const QBrush &testBrush()
{
    static const QBrush brush(QColor(200, 200, 200));
    return brush;
}

const QBrush &questionBrush(int quest)
{
    static const QBrush even(QColor(230, 230, 230));
    static const QBrush odd(QColor(220, 220, 220));
    return quest % 2 == 0 ? even : odd;
}

int themeKind(const Inspection::_Theme &theme)
{
    return theme.SubType >= 0 ? theme.SubType : theme.Type;
}

QStandardItem *emptyItem(const QBrush &background)
{
    auto *item = new QStandardItem;
    item->setFlags(Qt::NoItemFlags);
    item->setBackground(background);
    item->setForeground(Qt::black);
    return item;
}

} // namespace

QStandardItemModel *InspectionAnalysisMetrFancy::resultsModel() const
{
    return static_cast<QStandardItemModel *>(m_tree->model());
}

void InspectionAnalysisMetrFancy::setResultsModel(QStandardItemModel *model)
{
    model->setParent(m_tree);
    replaceViewModel(m_tree, model);
    connect(m_tree->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &InspectionAnalysisMetrFancy::mySelectionChanged);
}

QStandardItemModel *InspectionAnalysisMetrFancy::newResultsModel() const
{
    const Params &params = m_inspection->metricParams;
    auto *model = new QStandardItemModel(0, kFirstParamColumn + params.size() + 1);
    const QStringList fixed = {tr("Тесты и вопросы"), tr("ИП"), tr("Кр.Стьюдента"), tr("Вероятность")};
    for (int column = 0; column < model->columnCount(); ++column) {
        auto *header = new QStandardItem;
        if (column < kFirstParamColumn) {
            header->setText(fixed[column]);
        } else if (column - kFirstParamColumn < params.size()) {
            header->setText(params[column - kFirstParamColumn].Name);
            header->setData(params[column - kFirstParamColumn].uid, kUidRole);
        }
        if (column > 0)
            header->setTextAlignment(Qt::AlignRight);
        model->setHorizontalHeaderItem(column, header);
    }
    return model;
}

// A refresh finds the rows by position; when the parameters or the recorded
// tests no longer match them, the results are built anew.
bool InspectionAnalysisMetrFancy::resultsShapeMatches() const
{
    const QStandardItemModel *model = resultsModel();
    const Params &params = m_inspection->metricParams;
    if (model->columnCount() != kFirstParamColumn + params.size() + 1)
        return false;
    for (int j = 0; j < params.size(); ++j) {
        if (model->horizontalHeaderItem(kFirstParamColumn + j)->data(kUidRole).toUuid() != params[j].uid)
            return false;
    }
    int row = 0;
    for (int index = 0; const Inspection::_Test *test = m_inspection->test(index); ++index) {
        if (!test->recorded)
            continue;
        const QStandardItem *testRow = model->item(row++);
        if (!testRow || testIndexOf(testRow->index()) != index || testRow->rowCount() != test->themis.size())
            return false;
    }
    return params.isEmpty() || row == model->rowCount();
}

void InspectionAnalysisMetrFancy::fillResultsTree(bool refresh)
{
    if (!m_inspection) {
        m_tree->clearSelection();
        clearDiagram();
        return;
    }
    refresh = refresh && resultsShapeMatches();
    const QPersistentModelIndex current = m_tree->currentIndex();
    QStandardItemModel *model = refresh ? resultsModel() : newResultsModel();
    if (!m_inspection->metricParams.isEmpty()) {
        int row = 0;
        for (int index = 0; Inspection::_Test *test = m_inspection->test(index); ++index) {
            if (!test->recorded)
                continue;
            if (refresh) {
                fillTestRows(model->item(row++), *test, index, true);
            } else {
                const QList<QStandardItem *> testRow = makeTestRow(index, model->columnCount());
                fillTestRows(testRow.first(), *test, index, false);
                model->appendRow(testRow);
            }
        }
    }
    if (!refresh) {
        setResultsModel(model);
        m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
        const int widths[] = {400, 50, 100, 100};
        for (int column = 0; column < kFirstParamColumn; ++column)
            m_tree->setColumnWidth(column, Fancy::FontScale::px(widths[column]));
        fitParamHeaders();
        for (int row = 0; row < model->rowCount(); ++row)
            m_tree->expand(model->index(row, 0));
    } else if (current.isValid() && m_tree->isExpanded(current.parent())) {
        m_tree->setCurrentIndex(current);
    }
    showParamColumns();
    m_tree->clearSelection();
    clearDiagram();
}

// A parameter's name is its column's header: the column is widened to show
// it whole, up to a limit for very long names.
void InspectionAnalysisMetrFancy::fitParamHeaders()
{
    constexpr int kWidestParamColumn = 400;
    QHeaderView *header = m_tree->header();
    for (int column = kFirstParamColumn; column < header->count() - 1; ++column)
        m_tree->setColumnWidth(column, qBound(header->defaultSectionSize(), header->sectionSizeHint(column),
                                                  Fancy::FontScale::px(kWidestParamColumn)));
}

void InspectionAnalysisMetrFancy::showParamColumns()
{
    const Params &params = m_inspection->metricParams;
    QMap<int, QColor> colours;
    for (int j = 0; j < params.size(); ++j) {
        m_tree->setColumnHidden(kFirstParamColumn + j, !params[j].bEnable);
        colours.insert(kFirstParamColumn + j, params[j].dK >= 0 ? QColor(Qt::green) : QColor(Qt::red));
    }
    m_header->setSectionColours(colours);
}

QList<QStandardItem *> InspectionAnalysisMetrFancy::makeTestRow(int testIndex, int columns) const
{
    auto *name = new QStandardItem(testCaption(*m_inspection, testIndex));
    QFont font = name->font();
    font.setWeight(QFont::Bold);
    name->setFont(font);
    name->setForeground(Qt::black);
    name->setBackground(testBrush());
    name->setFlags(Qt::ItemIsEnabled);
    name->setData(testIndex, kUidRole);
    QList<QStandardItem *> row{name};
    for (int column = 1; column < columns; ++column)
        row << emptyItem(testBrush());
    return row;
}

QList<QStandardItem *> InspectionAnalysisMetrFancy::makeQuestionRow(const Inspection::_Test &test, int quest,
                                                                     int columns) const
{
    const Inspection::_Theme &theme = test.themis[quest];
    const int kind = themeKind(theme);
    auto *name = new QStandardItem(
        QStringLiteral("%1%2 %3").arg(quest + 1, 2, 10, QLatin1Char('0')).arg(questionKindName(kind), theme.Theme));
    name->setFlags(Qt::NoItemFlags);
    name->setForeground(questTypeColor(kind));
    name->setBackground(questionBrush(quest));
    QList<QStandardItem *> row{name};
    for (int column = 1; column < columns; ++column)
        row << emptyItem(questionBrush(quest));
    return row;
}

QList<QStandardItem *> InspectionAnalysisMetrFancy::makeGroupRow(int presentation) const
{
    auto *name = new QStandardItem(tr("Группа: ") + romanNumeral(presentation));
    name->setFlags(Qt::NoItemFlags);
    name->setForeground(Qt::black);
    QList<QStandardItem *> row{name};
    for (int column = 1; column < kFirstParamColumn; ++column) {
        auto *cell = new QStandardItem;
        cell->setFlags(Qt::NoItemFlags);
        row << cell;
    }
    return row;
}

// The question rows of one test with their sums, t and probability, and the
// presentation rows with the measured values. A test with no complete
// presentation keeps its question rows without values.
void InspectionAnalysisMetrFancy::fillTestRows(QStandardItem *testRow, const Inspection::_Test &test, int testIndex,
                                                bool refresh)
{
    const Params &params = m_inspection->metricParams;
    const CMathMetrics::QuestionScores scores = CMathMetrics().scoreQuestions(*m_inspection, test);
    const int columns = kFirstParamColumn + params.size() + 1;
    for (int quest = 0; quest < test.themis.size(); ++quest) {
        const QBrush &background = questionBrush(quest);
        if (!refresh)
            testRow->appendRow(makeQuestionRow(test, quest, columns));
        QStandardItem *questionRow = testRow->child(quest);
        const auto putSum = [&](int column, double value) {
            const QString text = valueText(value);
            if (!refresh || !readsAlready(testRow, quest, column, text))
                testRow->setChild(quest, column, makeValueItem(text, background));
        };
        if (quest < scores.sums.size()) {
            putSum(1, scores.sums[quest]);
            putSum(2, scores.t[quest]);
            putSum(3, scores.probability[quest]);
            for (int j = 0; j < params.size(); ++j)
                putSum(kFirstParamColumn + j, sumValues(scores.z, quest, params[j].uid));
        }
        for (int p = 1; p <= test.presentationCount(); ++p) {
            if (!refresh)
                questionRow->appendRow(makeGroupRow(p));
            // Read without inserting: showing the results must not add records to store.
            const auto cells = test.valuationMetric.value(p).value(quest);
            for (int j = 0; j < params.size(); ++j) {
                const QUuid &uid = params[j].uid;
                const qint32 value = cells.value(uid).nValue;
                if (!refresh || !readsAlready(questionRow, p - 1, kFirstParamColumn + j, QString::number(value)))
                    questionRow->setChild(p - 1, kFirstParamColumn + j, makeValueCell(testIndex, p, quest, uid, value));
            }
        }
    }
}

// A refresh replaces only the cells whose value changed: the view then
// repaints those alone.
bool InspectionAnalysisMetrFancy::readsAlready(const QStandardItem *parent, int row, int column, const QString &text)
{
    const QStandardItem *cell = parent->child(row, column);
    return cell && cell->text() == text;
}

QStandardItem *InspectionAnalysisMetrFancy::makeValueCell(int test, int presentation, int quest, const QUuid &uid,
                                                          qint32 value)
{
    auto *cell = new QStandardItem(QString::number(value));
    cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    cell->setData(QJsonArray{test, presentation, quest, uid.toString()}, kUidRole);
    if (value > 0)
        cell->setForeground(positiveBrush());
    return cell;
}

QString InspectionAnalysisMetrFancy::valueText(double value)
{
    // A sum that rounds to zero reads 0.00, never -0.00.
    return QString::number(qAbs(value) < 0.005 ? 0.0 : value, 'f', 2);
}

QStandardItem *InspectionAnalysisMetrFancy::makeValueItem(const QString &text, const QBrush &background)
{
    auto *item = emptyItem(background);
    item->setText(text);
    QFont font = item->font();
    font.setWeight(QFont::Bold);
    item->setFont(font);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

double InspectionAnalysisMetrFancy::sumValues(const MetricZMap &z, int quest, const QUuid &uid)
{
    double sum = 0.0;
    for (const auto &byQuestion : z)
        sum += byQuestion.value(quest).value(uid);
    return sum;
}
