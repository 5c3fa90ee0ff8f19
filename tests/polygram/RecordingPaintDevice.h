#pragma once

#include "RecordingPaintEngine.h"

#include <QPaintDevice>
#include <QSize>

// A paint device of the given size that keeps a log of what was painted on it
// (see RecordingPaintEngine) rather than pixels. 96 dpi, like the test images.
class RecordingPaintDevice : public QPaintDevice
{
public:
    explicit RecordingPaintDevice(const QSize &size = QSize(1920, 1080));
    ~RecordingPaintDevice() override;

    QPaintEngine *paintEngine() const override;

    const QVector<RecordedText> &texts() const { return m_engine.texts; }
    const QVector<RecordedRect> &rects() const { return m_engine.rects; }
    const QVector<RecordedPolyline> &polylines() const { return m_engine.polylines; }
    const QVector<RecordedLine> &lines() const { return m_engine.lines; }
    const QVector<RecordedImage> &images() const { return m_engine.images; }
    // The hints of the painter at its last state change.
    QPainter::RenderHints renderHints() const { return m_engine.renderHints; }

    // Texts in the order they were drawn.
    QStringList textStrings() const;
    // The first text equal to the given one, or null if none.
    const RecordedText *findText(const QString &text) const;
    // Rectangles drawn with a brush of the given colour.
    QVector<RecordedRect> rectsFilledWith(const QColor &color) const;
    // Lines and polylines drawn with a pen of the given colour.
    QVector<RecordedLine> linesOf(const QColor &color) const;
    QVector<RecordedPolyline> polylinesOf(const QColor &color) const;

    void clear() { m_engine.clear(); }

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize m_size;
    mutable RecordingPaintEngine m_engine;
};
