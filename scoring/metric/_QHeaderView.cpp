#include "_QHeaderView.h"

#include <QPainter>

_QHeaderView::_QHeaderView(QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent)
{
}

_QHeaderView::~_QHeaderView() = default;

void _QHeaderView::setSectionColours(const QMap<int, QColor> &colours)
{
    m_colours = colours;
    viewport()->update();
}

void _QHeaderView::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    const auto colour = m_colours.constFind(logicalIndex);
    if (colour != m_colours.constEnd())
        painter->fillRect(QRect(rect.left(), rect.bottom() - 2, rect.width(), 2), *colour);
}
