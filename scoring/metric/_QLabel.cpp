#include "_QLabel.h"

#include "MetricMeasure.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

QPen dashedPen(qreal dash)
{
    QPen pen(Qt::black, 1);
    pen.setDashPattern({dash, dash, dash, dash});
    return pen;
}

bool placed(double x, double y)
{
    return x >= 0 && y >= 0;
}

} // namespace

_QLabel::_QLabel(QWidget *parent)
    : QLabel(parent)
{
    installEventFilter(this);
    setMouseTracking(true);
}

_QLabel::~_QLabel() = default;

void _QLabel::load(Inspection *inspection, int testIndex, int tickQStart, const Inspection::_MetricParam &param,
                   const Corners &corners, int firstPixel, double scale)
{
    m_inspection = inspection;
    m_testIndex = testIndex;
    m_tickQStart = tickQStart;
    m_param = param;
    m_corners = m_saved = corners;
    m_firstPixel = firstPixel;
    m_clicks = 0;
    m_scale = scale;
    update();
}

void _QLabel::unload()
{
    m_inspection = nullptr;
    m_testIndex = -1;
    m_param = Inspection::_MetricParam();
    m_corners = m_saved = Corners();
    m_clicks = 0;
    m_scale = 0.0;
    m_firstPixel = 0;
    update();
}

Inspection::_Test *_QLabel::test() const
{
    return m_inspection ? m_inspection->test(m_testIndex) : nullptr;
}

void _QLabel::moveCorners(int dx1, int dy1, int dx2, int dy2)
{
    if (!isLoaded())
        return;
    Corners &c = m_corners;
    c.x1 = int(c.x1 + dx1);
    c.y1 = int(c.y1 + dy1);
    switch (MetricMeasure::geometry(m_param.eMet)) {
    case MetricMeasure::Horizontal:
        // The second pair moves the segment's height and its right end.
        c.y1 = int(c.y1 + dy2);
        c.x2 = int(c.x2 + dx2);
        break;
    case MetricMeasure::Vertical:
        // ... and here the segment's place and its lower end.
        c.x1 = int(c.x1 + dx2);
        c.y2 = int(c.y2 + dy2);
        break;
    case MetricMeasure::Free:
        c.x2 = int(c.x2 + dx2);
        c.y2 = int(c.y2 + dy2);
        break;
    }
    keepShape();
    update();
}

// A segment's second corner follows the first along the measured axis.
void _QLabel::keepShape()
{
    switch (MetricMeasure::geometry(m_param.eMet)) {
    case MetricMeasure::Horizontal:
        m_corners.y2 = m_corners.y1;
        break;
    case MetricMeasure::Vertical:
        m_corners.x2 = m_corners.x1;
        break;
    case MetricMeasure::Free:
        break;
    }
}

void _QLabel::restoreCorners()
{
    m_corners = m_saved;
    m_clicks = 0;
    update();
}

int _QLabel::currentValue() const
{
    const Inspection::_Test *shown = test();
    if (!shown)
        return 0;
    const int code = m_param.nKodChannel;
    const QPointF first(m_corners.x1, MetricMeasure::valueToPanelY(*shown, code, m_corners.y1, -1));
    const QPointF second(m_corners.x2, MetricMeasure::valueToPanelY(*shown, code, m_corners.y2, -1));
    return MetricMeasure::measuredValue(*shown, m_param, m_tickQStart, first, second);
}

bool _QLabel::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        update();
        if (mouse->button() == Qt::LeftButton && isLoaded())
            placeCorner(mouse->pos());
        break;
    }
    case QEvent::MouseMove:
    case QEvent::Leave:
    case QEvent::MouseButtonRelease:
        update();
        break;
    default:
        break;
    }
    return QLabel::eventFilter(watched, event);
}

void _QLabel::placeCorner(const QPoint &pos)
{
    Corners &c = m_corners;
    const double x = pos.x() + m_firstPixel;
    const double y = int(pos.y() / m_scale);
    if (m_clicks % 2 == 0) {
        c.x1 = x;
        c.y1 = y;
        c.x2 = c.y2 = -1;
    } else {
        c.x2 = x;
        c.y2 = y;
    }
    keepShape();
    ++m_clicks;
}

void _QLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!isLoaded())
        return;
    QPainter painter(this);
    const QPoint cursor = mapFromGlobal(QCursor::pos());
    if (cursor.x() >= 1 && cursor.x() <= width() - 1 && cursor.y() >= 1 && cursor.y() <= height() - 1)
        drawGuide(painter, cursor);
    drawMarks(painter);
    if (m_clicks % 2 == 0) {
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(12);
        painter.setFont(font);
        painter.setPen(dashedPen(2));
        painter.drawText(QPoint(width() - 30, 15), QString::number(currentValue()));
    }
}

void _QLabel::drawGuide(QPainter &painter, const QPoint &cursor)
{
    painter.setPen(dashedPen(8));
    switch (MetricMeasure::geometry(m_param.eMet)) {
    case MetricMeasure::Horizontal:
        painter.drawLine(cursor.x(), 0, cursor.x(), height());
        break;
    case MetricMeasure::Vertical:
        painter.drawLine(0, cursor.y(), width(), cursor.y());
        break;
    case MetricMeasure::Free:
        break;
    }
}

void _QLabel::drawMarks(QPainter &painter)
{
    const Corners &c = m_corners;
    const bool first = placed(c.x1, c.y1);
    const bool second = placed(c.x2, c.y2);
    const QPointF one(pixelX(c.x1), c.y1 * m_scale);
    const QPointF two(pixelX(c.x2), c.y2 * m_scale);
    painter.setPen(dashedPen(2));
    switch (MetricMeasure::geometry(m_param.eMet)) {
    case MetricMeasure::Vertical:
        if (first)
            painter.drawLine(QPointF(0, one.y()), QPointF(width(), one.y()));
        if (second)
            painter.drawLine(QPointF(0, two.y()), QPointF(width(), two.y()));
        if (first && second && c.y1 != 0)
            painter.drawLine(one, QPointF(one.x(), two.y()));
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(Qt::black);
        for (const QPointF &corner : {one, two}) {
            if (corner == one ? first : second)
                painter.drawEllipse(QRectF(corner.x() - 3, corner.y() - 3, 5, 5));
        }
        break;
    case MetricMeasure::Horizontal:
        if (first)
            painter.drawLine(QPointF(one.x(), 0), QPointF(one.x(), height()));
        if (second)
            painter.drawLine(QPointF(two.x(), 0), QPointF(two.x(), height()));
        if (first && second && c.y1 != 0)
            painter.drawLine(one, QPointF(two.x(), one.y()));
        if (first)
            painter.drawEllipse(QRectF(one.x() - 3, one.y() - 3, 6, 6));
        if (second)
            painter.drawEllipse(QRectF(two.x() - 3, one.y() - 3, 6, 6));
        break;
    case MetricMeasure::Free:
        // Two points joined by the mark pen.
        if (first && second)
            painter.drawLine(one, two);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(Qt::black);
        if (first)
            painter.drawEllipse(QRectF(one.x() - 3, one.y() - 3, 5, 5));
        if (second)
            painter.drawEllipse(QRectF(two.x() - 3, two.y() - 3, 5, 5));
        break;
    }
}
