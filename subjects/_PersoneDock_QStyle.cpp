#include "_PersoneDock_QStyle.h"

#include <QPainter>
#include <QStyleOption>

void PersoneDockWindow::_QStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                               QPainter *painter, const QWidget *widget) const
{
    if (element != PE_IndicatorBranch) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const QRect &r = option->rect;
    const QPoint c = r.center();
    const QStyle::State state = option->state;
    painter->save();
    if (state & State_Children) {
        const QPolygon triangle = (state & State_Open)
                                      ? QPolygon({QPoint(c.x() - 5, c.y() - 2), QPoint(c.x() + 6, c.y() - 2),
                                                  QPoint(c.x() + 1, c.y() + 3)})
                                      : QPolygon({QPoint(c.x() - 2, c.y() - 5), QPoint(c.x() + 4, c.y() + 1),
                                                  QPoint(c.x() - 2, c.y() + 6)});
        painter->setPen(Qt::NoPen);
        painter->setBrush(Qt::lightGray);
        painter->drawPolygon(triangle);
    } else if (state & (State_Item | State_Sibling)) {
        const QPoint m(r.left() + r.width() / 2, r.top() + r.height() / 2);
        const bool item = state & State_Item;
        painter->setPen(QPen(item ? Qt::lightGray : Qt::gray, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        const int bottom = !item || (state & State_Sibling) ? r.bottom() : m.y();
        painter->drawLine(m.x(), r.top(), m.x(), bottom);
        if (item)
            painter->drawLine(m.x(), m.y(), r.right(), m.y());
    } else {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
    painter->restore();
}
