#include "RecordingPaintDevice.h"

#include <QStringList>

namespace {
constexpr int dpi = 96;
}

RecordingPaintDevice::RecordingPaintDevice(const QSize &size)
    : m_size(size)
{
}

RecordingPaintDevice::~RecordingPaintDevice() = default;

QPaintEngine *RecordingPaintDevice::paintEngine() const
{
    return &m_engine;
}

int RecordingPaintDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return m_size.width();
    case PdmHeight:
        return m_size.height();
    case PdmWidthMM:
        return qRound(m_size.width() * 25.4 / dpi);
    case PdmHeightMM:
        return qRound(m_size.height() * 25.4 / dpi);
    case PdmNumColors:
        return 0;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return dpi;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(devicePixelRatioFScale());
    }
    return 0;
}

QStringList RecordingPaintDevice::textStrings() const
{
    QStringList strings;
    for (const RecordedText &text : texts())
        strings << text.text;
    return strings;
}

const RecordedText *RecordingPaintDevice::findText(const QString &text) const
{
    for (const RecordedText &recorded : texts()) {
        if (recorded.text == text)
            return &recorded;
    }
    return nullptr;
}

QVector<RecordedRect> RecordingPaintDevice::rectsFilledWith(const QColor &color) const
{
    QVector<RecordedRect> found;
    for (const RecordedRect &rect : rects()) {
        if (rect.brush.style() != Qt::NoBrush && rect.brush.color() == color)
            found << rect;
    }
    return found;
}

QVector<RecordedLine> RecordingPaintDevice::linesOf(const QColor &color) const
{
    QVector<RecordedLine> found;
    for (const RecordedLine &line : lines()) {
        if (line.pen.style() != Qt::NoPen && line.pen.color() == color)
            found << line;
    }
    return found;
}

QVector<RecordedPolyline> RecordingPaintDevice::polylinesOf(const QColor &color) const
{
    QVector<RecordedPolyline> found;
    for (const RecordedPolyline &polyline : polylines()) {
        if (polyline.pen.style() != Qt::NoPen && polyline.pen.color() == color)
            found << polyline;
    }
    return found;
}
