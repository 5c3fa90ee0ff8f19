#include "ScoringTreeFill.h"

#include "PointsScale.h"
#include "QuestKey.h"

#include "data/SharedHelpers.h"
#include "data/TestCaption.h"

#include <QCoreApplication>
#include <QStandardItemModel>

namespace {

const char kContext[] = "InspectionAnalysisBallFancy";
const char *const kChannelCaptions[] = {QT_TRANSLATE_NOOP("InspectionAnalysisBallFancy", "КГР (кгр)"),
                                        QT_TRANSLATE_NOOP("InspectionAnalysisBallFancy", "ПГ (пг/ад/доп.)"),
                                        QT_TRANSLATE_NOOP("InspectionAnalysisBallFancy", "ДЫХ (дых.в/дых.н)")};
const QColor kTestGrey(200, 200, 200);

}  // namespace

ScoringTreeFill::ScoringTreeFill(Inspection *examination, int scale) : m_examination(examination), m_scale(scale)
{
    if (!examination)
        return;
    // The trees show marks and scores: samples stay unread until a fragment
    // is drawn. Tests in memory keep their marks, moves of the review unsaved.
    const StoreResult read = examination->loadMarks();
    // One never read from a file keeps what it holds in memory: nothing to tell.
    if (examination->isOpened())
        m_read = read;
    for (int index = 0; InspectionTest *test = examination->test(index); ++index) {
        if (!test->recorded)
            continue;
        m_shown.append(index);
        m_columns = qMax(m_columns, test->presentationCount());
    }
}

QString ScoringTreeFill::channelCaption(int channel)
{
    return QCoreApplication::translate(kContext, kChannelCaptions[channel]);
}

QStringList ScoringTreeFill::headers() const
{
    QStringList texts{QCoreApplication::translate(kContext, "Тесты и параметры")};
    for (int presentation = 1; presentation <= m_columns; ++presentation)
        texts << romanNumeral(presentation);
    return texts + trailingHeaders();
}

QStandardItemModel *ScoringTreeFill::build()
{
    auto *model = new QStandardItemModel;
    model->setHorizontalHeaderLabels(headers());
    for (int testIndex : qAsConst(m_shown)) {
        const InspectionTest &test = *m_examination->test(testIndex);
        QList<QStandardItem *> row{testItem(testIndex)};
        fillTest(row.first(), testIndex, test);
        for (int column = 1; column <= shadedColumns(); ++column) {
            auto *shade = new QStandardItem;
            shade->setBackground(kTestGrey);
            row << shade;
        }
        model->appendRow(row);
    }
    return model;
}

bool ScoringTreeFill::refresh(QStandardItemModel &model)
{
    if (!fits(model))
        return false;
    for (int row = 0; row < m_shown.size(); ++row) {
        const InspectionTest &test = *m_examination->test(m_shown[row]);
        model.item(row)->setText(testCaption(*m_examination, m_shown[row]));
        fillTest(model.item(row), m_shown[row], test);
    }
    return true;
}

bool ScoringTreeFill::fits(QStandardItemModel &model) const
{
    const QStringList expected = headers();
    if (model.rowCount() != m_shown.size() || model.columnCount() != expected.size())
        return false;
    for (int column = 0; column < model.columnCount(); ++column) {
        if (model.headerData(column, Qt::Horizontal).toString() != expected.at(column))
            return false;
    }
    for (int row = 0; row < m_shown.size(); ++row) {
        const QStandardItem *item = model.item(row);
        if (!item || item->data(QuestKey::Role) != QVariant(m_shown[row])
            || item->rowCount() != childRows(*m_examination->test(m_shown[row])))
            return false;
    }
    return true;
}

QStandardItem *ScoringTreeFill::testItem(int testIndex) const
{
    auto *item = new QStandardItem(testCaption(*m_examination, testIndex));
    makeInert(item);
    item->setForeground(QColor(Qt::black));
    item->setBackground(kTestGrey);
    item->setFont(boldFont());
    item->setData(testIndex, QuestKey::Role);
    return item;
}

const BallValuationMap &ScoringTreeFill::scaleMap(const InspectionTest &test) const
{
    return scaleMapOf(test, m_scale);
}

QStandardItem *ScoringTreeFill::childRow(QStandardItem *row, int index)
{
    if (index >= row->rowCount())
        row->setChild(index, 0, new QStandardItem);
    return row->child(index);
}

void ScoringTreeFill::putCell(QStandardItem *row, int column, const CellLook &look, const QuestKey *key)
{
    QStandardItem *parent = row->parent();
    if (QStandardItem *cell = parent->child(row->row(), column)) {
        dress(cell, look);
        return;
    }
    auto *cell = new QStandardItem;
    dress(cell, look);
    if (key) {
        QJsonObject object;
        key->toJson(object);
        cell->setData(object, QuestKey::Role);
    }
    parent->setChild(row->row(), column, cell);
}

void ScoringTreeFill::clearCell(QStandardItem *row, int column)
{
    delete row->parent()->takeChild(row->row(), column);
}

namespace {

// Sets a role, or removes it for an invalid value; an equal value is no change.
void setRole(QStandardItem *item, int role, const QVariant &value)
{
    if (value.isValid() || item->data(role).isValid())
        item->setData(value, role);
}

QVariant brushOrNone(const QBrush &brush)
{
    return brush.style() == Qt::NoBrush ? QVariant() : QVariant(brush);
}

}  // namespace

void ScoringTreeFill::dress(QStandardItem *item, const CellLook &look)
{
    static const QVariant bold(boldFont());
    item->setText(look.text);
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    flags.setFlag(Qt::ItemIsSelectable, look.selectable);
    flags.setFlag(Qt::ItemIsEnabled, look.enabled);
    item->setFlags(flags);
    setRole(item, Qt::ForegroundRole, brushOrNone(look.foreground));
    setRole(item, Qt::BackgroundRole, brushOrNone(look.background));
    setRole(item, Qt::FontRole, look.bold ? bold : QVariant());
    setRole(item, Qt::ToolTipRole, look.toolTip.isEmpty() ? QVariant() : QVariant(look.toolTip));
}

void ScoringTreeFill::makeInert(QStandardItem *item)
{
    item->setEditable(false);
    item->setSelectable(false);
    item->setEnabled(false);
}

QFont ScoringTreeFill::boldFont()
{
    QFont font;
    font.setWeight(QFont::Bold);
    return font;
}

const InspectionBallValuation &ScoringTreeFill::entryAt(const BallValuationMap &scale, int presentation, int quest)
{
    static const InspectionBallValuation absent;
    const auto questions = scale.constFind(presentation);
    if (questions == scale.constEnd())
        return absent;
    const auto entry = questions->constFind(quest);
    return entry == questions->constEnd() ? absent : *entry;
}

QString ScoringTreeFill::number(float value, int digits)
{
    // -0.0f (a negative score times a weight of 0) reads as 0.
    return QString::number(double(value + 0.0f), 'f', digits);
}
