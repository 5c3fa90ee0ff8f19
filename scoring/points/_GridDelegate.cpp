#include "_GridDelegate.h"

#include "ScoringTreeHost.h"

#include <QAbstractItemView>
#include <QPainter>

_GridDelegate::_GridDelegate(const ScoringTreeHost *host, QObject *parent)
    : QStyledItemDelegate(parent), m_host(host)
{
}

void _GridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem cell(option);
    if ((cell.state & QStyle::State_MouseOver) && !keepsHover(index))
        cell.state &= ~QStyle::State_MouseOver;
    QStyledItemDelegate::paint(painter, cell, index);

    if (m_host->inspection() && index.column() == 0 && !index.model()->hasChildren(index))
        paintWeight(painter, option, index);

    const auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
    if (view && view->selectionModel() && view->selectionModel()->isSelected(index))
        paintSelectionFrame(painter, option.rect);
}

bool _GridDelegate::keepsHover(const QModelIndex &index) const
{
    if (!m_host->inspection())
        return true;
    const Inspection::_Test *test = m_host->testOfTreeIndex(index);
    return test && index.column() <= test->presentationCount() && isScoringCell(index);
}

QString _GridDelegate::weightText(float weight)
{
    return tr("(x%1)  ").arg(double(weight), 0, 'f', 1);
}

void _GridDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->showDecorationSelected = true;
}

// Navigator: every cell below a test row. Expert: the test rows and the
// channel rows, which have nothing below them.
bool _GridDelegate::isScoringCell(const QModelIndex &index) const
{
    if (m_host->inputMode() == ScoringTreeHost::Navigator)
        return index.parent().isValid();
    return !index.parent().isValid() || !index.model()->hasChildren(index.siblingAtColumn(0));
}

// Rows 0, 1 and 2 under a test are its channel groups КГР, ПГ and Дых.
void _GridDelegate::paintWeight(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const Inspection::_Test *test = m_host->testOfTreeIndex(index);
    if (!test)
        return;
    const int row = index.row();
    const float weight = row >= 0 && row < 3 ? test->valuationBall_ChannelK[row] : 0.0f;
    painter->save();
    painter->setPen(option.palette.color(QPalette::Text));
    painter->setFont(option.font);
    painter->drawText(option.rect, Qt::AlignRight | Qt::AlignTop, weightText(weight));
    painter->restore();
}

// A one-pixel outline through the pixels from (left + 1, top + 1) to
// (right - 1, bottom - 1); a stroked QRect covers one pixel more than its size.
void _GridDelegate::paintSelectionFrame(QPainter *painter, const QRect &cell)
{
    painter->save();
    painter->setPen(QPen(Qt::darkBlue, 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(cell.adjusted(1, 1, -2, -2));
    painter->restore();
}
