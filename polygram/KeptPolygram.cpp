#include "KeptPolygram.h"

#include "drawG.h"

#include <QPainter>

#include <cstdlib>

bool KeptPolygram::Look::operator==(const Look &other) const
{
    return timeScale == other.timeScale && options == other.options && verticalShift == other.verticalShift
           && highlightLabel == other.highlightLabel && background == other.background;
}

KeptPolygram::Look KeptPolygram::lookOf(const drawG &g, const QColor &background)
{
    return {g.timeScale, g.options, g.verticalShift, g.highlightLabel, background.rgba()};
}

const QPixmap &KeptPolygram::picture(drawG &g, const QSize &size, qreal pixelRatio, int n, const QColor &background)
{
    const Look look = lookOf(g, background);
    StripDrawnState state = StripDrawnState::of(g.test, size, pixelRatio);
    const QRect whole(QPoint(0, 0), size);
    if (m_drawn && look == m_look && state == m_state) {
        if (n == m_lastTick)
            return m_picture;
        const int step = stepPixels(g.timeScale, n);
        const int width = m_picture.width();
        if (step != 0 && std::abs(step) + kSeam < width) {
            m_picture.scroll(-step, 0, m_picture.rect());
            const int shown = qRound((std::abs(step) + kSeam) / pixelRatio) + 1;
            const QRect right = whole.adjusted(size.width() - shown, 0, 0, 0);
            const QRect left = whole.adjusted(0, 0, shown - size.width(), 0);
            // A step back leaves the right edge's own cut curves and fills inside.
            if (step < 0)
                draw(g, whole.adjusted(size.width() - kSeam - 1, 0, 0, 0), n);
            draw(g, step > 0 ? right : left, n);
            return m_picture;
        }
    }
    m_look = look;
    m_state = std::move(state);
    m_picture = QPixmap(size * pixelRatio);
    m_picture.setDevicePixelRatio(pixelRatio);
    draw(g, whole, n);
    m_drawn = true;
    return m_picture;
}

int KeptPolygram::stepPixels(int timeScale, int n) const
{
    const qint64 scaled = (qint64(n) - m_lastTick) * 1000 * qint64(m_picture.devicePixelRatio() * 1000);
    const qint64 divisor = qint64(timeScale) * 1000;
    return scaled % divisor == 0 ? int(scaled / divisor) : 0;
}

void KeptPolygram::draw(drawG &g, const QRect &strip, int n)
{
    const QRect whole(QPoint(0, 0), m_picture.size() / m_picture.devicePixelRatio());
    const qreal ratio = m_picture.devicePixelRatio();
    // A strip is drawn wider on a scratch image and its middle copied: lines
    // cut at an edge are antialiased a little differently there. The whole
    // picture is drawn in place: a scratch of its size was one more picture's
    // memory, kept by the heap after it was freed.
    const bool inPlace = strip == whole;
    const QRect scratchArea = inPlace ? whole : strip.adjusted(-kScratchMargin, 0, kScratchMargin, 0);
    QImage scratch;
    if (!inPlace) {
        scratch = QImage(scratchArea.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        scratch.setDevicePixelRatio(ratio);
    }
    {
        QPainter painter;
        if (inPlace)
            painter.begin(&m_picture);
        else
            painter.begin(&scratch);
        painter.translate(-scratchArea.left(), 0);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        if (inPlace)
            painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(scratchArea, QColor::fromRgba(m_look.background));
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        g.drawPolygram(painter, whole, n, 0);
    }
    if (!inPlace) {
        QPainter painter(&m_picture);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        const QPointF from = QPointF(strip.left() - scratchArea.left(), 0) * ratio;
        painter.drawImage(QRectF(strip), scratch, QRectF(from, QSizeF(strip.size()) * ratio));
    }
    m_lastTick = n;
}
