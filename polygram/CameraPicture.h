#pragma once

#include <QImage>
#include <QSize>

// The camera panel's picture at the panel's size, premultiplied so that the
// painter only places it. It is made again only for another frame, another
// size or alpha (the cursor entering or leaving the panel), or when the
// painter's smoothing of images changes; the frame itself is left as it is.
class CameraPicture
{
public:
    // The frame's alpha: 255 under the cursor, else this.
    static constexpr int ColdAlpha = 180;
    // The frame's last pixels keep their own alpha.
    static constexpr int OwnAlphaPixels = 100;

    // pixels: ARGB32 pixels of frame's size; serial tells one frame from the next.
    const QImage &picture(const uchar *pixels, const QSize &frame, quint64 serial, const QSize &size, int alpha,
                          bool smooth);

private:
    // The frame with the alpha rule, as the painter takes it without converting.
    static QImage withAlpha(const uchar *pixels, const QSize &frame, int alpha);

    QImage m_picture;
    quint64 m_serial = 0;
    QSize m_frame;
    int m_alpha = -1;
    bool m_smooth = false;
};
