#pragma once

#include "StripDrawnState.h"

#include <QColor>
#include <QPixmap>

class drawG;

// A review polygram kept as a picture of the view's size. A step along the
// time axis scrolls the kept pixels and draws only the exposed strip; the
// whole picture is drawn again only when something else it shows changed
// (painter settings, channels, marks, size) or the step is not a whole
// number of device pixels. Needs no window.
class KeptPolygram
{
public:
    // The pixels beside an exposed strip drawn again too: the curve's last
    // segment and the antialiasing at the old edge change there.
    static constexpr int kSeam = 3;
    static constexpr int kScratchMargin = 8;

    // g's polygram over size ending at tick n, on background.
    const QPixmap &picture(drawG &g, const QSize &size, qreal pixelRatio, int n, const QColor &background);

private:
    struct Look {
        int timeScale = 0;
        int options = 0;
        int verticalShift = 0;
        int highlightLabel = -1;
        QRgb background = 0;
        bool operator==(const Look &other) const;
    };

    static Look lookOf(const drawG &g, const QColor &background);
    // The device pixels the picture moves left from lastTick to n; 0 when
    // that is not a whole number of them.
    int stepPixels(int timeScale, int n) const;
    void draw(drawG &g, const QRect &strip, int n);

    QPixmap m_picture;
    bool m_drawn = false;
    Look m_look;
    StripDrawnState m_state;
    int m_lastTick = 0;
};
