#include "recording/media/MMRecorder_VideoSurface.h"

#include <QImage>
#include <QVideoSurfaceFormat>

#include <cstring>

namespace {

// Guards the holder pointer and the frame it holds.
QMutex holderMutex;
MMRecorder_VideoSurface *currentHolder = nullptr;

} // namespace

QList<QVideoFrame::PixelFormat> MMRecorder_VideoSurface::supportedPixelFormats(
    QAbstractVideoBuffer::HandleType type) const
{
    // Frames in GL textures cannot be mapped.
    if (type != QAbstractVideoBuffer::NoHandle)
        return {};
    return {QVideoFrame::Format_RGB32};
}

bool MMRecorder_VideoSurface::present(const QVideoFrame &frame)
{
    if (!frame.isValid())
        return false;
    QVideoFrame mapped(frame);
    const QImage::Format format = QVideoFrame::imageFormatFromPixelFormat(mapped.pixelFormat());
    if (format == QImage::Format_Invalid || !mapped.map(QAbstractVideoBuffer::ReadOnly))
        return false;
    QImage image(mapped.bits(), mapped.width(), mapped.height(), mapped.bytesPerLine(), format);
    if (image.isNull()) {
        mapped.unmap();
        return false;
    }
    if (surfaceFormat().scanLineDirection() == QVideoSurfaceFormat::BottomToTop)
        image = image.mirrored();
    if (image.size() != QSize(Width, Height))
        image = image.scaled(Width, Height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    image = image.convertToFormat(QImage::Format_RGB32);
    mapped.unmap();

    QMutexLocker lock(&holderMutex);
    m_pixels.resize(Width * Height);
    for (int row = 0; row < Height; ++row)
        std::memcpy(m_pixels.data() + row * Width, image.constScanLine(row), Width * 4);
    m_width = Width;
    m_height = Height;
    return true;
}

bool MMRecorder_VideoSurface::createHolder()
{
    QMutexLocker lock(&holderMutex);
    if (currentHolder)
        return false;
    currentHolder = new MMRecorder_VideoSurface;
    return true;
}

void MMRecorder_VideoSurface::deleteHolder()
{
    QMutexLocker lock(&holderMutex);
    delete currentHolder;
    currentHolder = nullptr;
}

MMRecorder_VideoSurface *MMRecorder_VideoSurface::holder()
{
    QMutexLocker lock(&holderMutex);
    return currentHolder;
}

int MMRecorder_VideoSurface::copyFrame(int *width, int *height, void *dest, int capacity)
{
    QMutexLocker lock(&holderMutex);
    if (!currentHolder || currentHolder->m_width == 0)
        return 0;
    *width = currentHolder->m_width;
    *height = currentHolder->m_height;
    const int bytes = currentHolder->m_width * currentHolder->m_height * 4;
    if (dest && bytes <= capacity)
        std::memcpy(dest, currentHolder->m_pixels.constData(), size_t(bytes));
    return bytes;
}
