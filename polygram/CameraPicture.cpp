#include "CameraPicture.h"

#include <QPainter>

const QImage &CameraPicture::picture(const uchar *pixels, const QSize &frame, quint64 serial, const QSize &size,
                                     int alpha, bool smooth)
{
    if (!m_picture.isNull() && serial == m_serial && frame == m_frame && size == m_picture.size()
        && alpha == m_alpha && smooth == m_smooth)
        return m_picture;
    m_serial = serial;
    m_frame = frame;
    m_alpha = alpha;
    m_smooth = smooth;
    m_picture = QImage(size, QImage::Format_ARGB32_Premultiplied);
    if (m_picture.isNull())
        return m_picture;
    m_picture.fill(Qt::transparent);
    QPainter painter(&m_picture);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    painter.drawImage(QRect(QPoint(0, 0), size), withAlpha(pixels, frame, alpha));
    return m_picture;
}

QImage CameraPicture::withAlpha(const uchar *pixels, const QSize &frame, int alpha)
{
    QImage image(frame, QImage::Format_ARGB32_Premultiplied);
    const auto *in = reinterpret_cast<const QRgb *>(pixels);
    auto *out = reinterpret_cast<QRgb *>(image.bits());
    const int count = frame.width() * frame.height();
    const int ruled = count - OwnAlphaPixels;
    const QRgb a = QRgb(alpha) << 24;
    for (int i = 0; i < ruled; ++i)
        out[i] = qPremultiply((in[i] & 0x00ffffffu) | a);
    for (int i = qMax(0, ruled); i < count; ++i)
        out[i] = qPremultiply(in[i]);
    return image;
}
