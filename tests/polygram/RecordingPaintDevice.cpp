#include "RecordingPaintDevice.h"

#include <QStringList>

#include <algorithm>
#include <iterator>

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

namespace {

template <typename Record, typename Test>
QVector<Record> selected(const QVector<Record> &records, Test test)
{
    QVector<Record> found;
    std::copy_if(records.begin(), records.end(), std::back_inserter(found), test);
    return found;
}

bool strokesWith(const QPen &pen, const QColor &color)
{
    return pen.style() != Qt::NoPen && pen.color() == color;
}

}  // namespace

QVector<RecordedRect> RecordingPaintDevice::rectsFilledWith(const QColor &color) const
{
    return selected(rects(), [&](const RecordedRect &rect) {
        return rect.brush.style() != Qt::NoBrush && rect.brush.color() == color;
    });
}

QVector<RecordedLine> RecordingPaintDevice::linesOf(const QColor &color) const
{
    return selected(lines(), [&](const RecordedLine &line) { return strokesWith(line.pen, color); });
}

QVector<RecordedPolyline> RecordingPaintDevice::polylinesOf(const QColor &color) const
{
    return selected(polylines(), [&](const RecordedPolyline &polyline) { return strokesWith(polyline.pen, color); });
}
