#pragma once

#include "StripDrawnState.h"
#include "data/Inspection.h"

#include <QImage>
#include <QRect>
#include <QSize>

class QPainter;

// The overview strip's picture without a window: the whole test squeezed into
// the strip, the box of what the main view shows, and the frame. The squeezed
// test is kept and drawn again only when what it shows has changed.
class ContextPoligrammePicture
{
public:
    // The drawG options of the strip: curves, reaction shading after ordinary
    // questions and the fills of null questions.
    static constexpr int kOptions = 0x52c;
    static constexpr int kMinimumWidth = 100;

    Inspection::_Test *test = nullptr;
    int position = 0;          // tick at the main view's right edge
    int sweep = 1000;
    int scrollBarExtent = 0;  // the main view is that much narrower than the strip

    // Samples of channel code 0.
    int sampleCount() const;
    // Ticks per 1000 pixels of the whole test over the width; at least 1.
    int timeScale(int width) const;
    // The visible-window box; empty without a test or samples.
    QRect visibleBox(const QSize &size) const;
    // The tick under strip pixel x.
    int tickAt(int x, int width) const;

    void paint(QPainter &painter, const QSize &size);

private:
    QImage m_drawn;
    StripDrawnState m_drawnState;

    bool showsTest(const QSize &size) const;
    const QImage &drawnTest(const QSize &size, qreal pixelRatio);
    void drawTest(QPainter &painter, const QSize &size) const;
    static void drawBox(QPainter &painter, const QRect &box);
    static void drawFrame(QPainter &painter, const QSize &size);
};
