#include "ContextPoligrammePicture.h"

#include "drawG.h"

#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace {

constexpr QPainter::RenderHints kSmoothing = QPainter::Antialiasing | QPainter::TextAntialiasing;

// Positions from the view may lie anywhere; keep the box within what a
// device takes.
int truncated(double value)
{
    return int(qBound(-1e8, std::trunc(value), 1e8));
}

QPen outlinePen(const QColor &color)
{
    return QPen(color, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

}  // namespace

int ContextPoligrammePicture::sampleCount() const
{
    const QVector<qint16> *samples = test ? test->samples(ChannelCode::GSR) : nullptr;
    return samples ? samples->size() : 0;
}

int ContextPoligrammePicture::timeScale(int width) const
{
    if (width <= 0)
        return 1;
    return qMax(1, truncated(double(sampleCount()) / width * 1000.0));
}

QRect ContextPoligrammePicture::visibleBox(const QSize &size) const
{
    const int n = sampleCount();
    const int w = size.width();
    if (n <= 0 || w <= 0)
        return {};
    const double q = double(n) / w;
    const int visibleTicks = (w - scrollBarExtent) * sweep / 1000;
    const int boxWidth = truncated(visibleTicks / q);
    const int left = qMax(2, truncated(position / q - boxWidth));
    return QRect(QPoint(left, 5), QPoint(left + boxWidth - 1, size.height() - 6));
}

int ContextPoligrammePicture::tickAt(int x, int width) const
{
    if (width <= 0)
        return 0;
    return truncated(double(sampleCount()) / width * x);
}

void ContextPoligrammePicture::paint(QPainter &painter, const QSize &size)
{
    painter.setRenderHints(kSmoothing, true);
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    painter.setRenderHints(kSmoothing, false);
    if (showsTest(size)) {
        painter.drawImage(QPoint(0, 0), drawnTest(size, painter.device()->devicePixelRatioF()));
        const QRect box = visibleBox(size);
        if (!box.isEmpty())
            drawBox(painter, box);
    }
    drawFrame(painter, size);
}

bool ContextPoligrammePicture::showsTest(const QSize &size) const
{
    return test && sampleCount() > 0 && size.width() >= kMinimumWidth;
}

const QImage &ContextPoligrammePicture::drawnTest(const QSize &size, qreal pixelRatio)
{
    StripDrawnState state = StripDrawnState::of(test, size, pixelRatio);
    if (state == m_drawnState)
        return m_drawn;
    m_drawn = QImage(size * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    m_drawn.setDevicePixelRatio(pixelRatio);
    m_drawn.fill(Qt::white);
    QPainter painter(&m_drawn);
    drawTest(painter, size);
    m_drawnState = std::move(state);
    return m_drawn;
}

void ContextPoligrammePicture::drawTest(QPainter &painter, const QSize &size) const
{
    painter.setRenderHints(kSmoothing, false);
    drawG g(test, timeScale(size.width()));
    g.options = kOptions;
    g.drawPolygram(painter, QRect(QPoint(0, 0), size), sampleCount(), 0.0f);
}

void ContextPoligrammePicture::drawBox(QPainter &painter, const QRect &box)
{
    painter.fillRect(box, QColor(128, 128, 128, 128));
    painter.setPen(outlinePen(Qt::black));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
}

void ContextPoligrammePicture::drawFrame(QPainter &painter, const QSize &size)
{
    painter.setRenderHints(kSmoothing, false);
    painter.setPen(outlinePen(Qt::gray));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(1, 0), QPoint(size.width() - 1, size.height() - 2)).adjusted(0, 0, -1, -1));
}
