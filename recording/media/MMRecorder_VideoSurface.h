#pragma once

#include <QAbstractVideoSurface>
#include <QMutex>
#include <QVector>

// The camera's viewfinder: keeps the latest frame, always 640 x 480 RGB32
// top row first, in the one process-wide frame holder.
class MMRecorder_VideoSurface : public QAbstractVideoSurface
{
    Q_OBJECT

public:
    static constexpr int Width = 640;
    static constexpr int Height = 480;

    QList<QVideoFrame::PixelFormat> supportedPixelFormats(
        QAbstractVideoBuffer::HandleType type = QAbstractVideoBuffer::NoHandle) const override;
    bool present(const QVideoFrame &frame) override;

    // Makes a holder when there is none; false when another recorder's exists.
    static bool createHolder();
    static void deleteHolder();
    static MMRecorder_VideoSurface *holder();
    // Copies the held frame into dest when it holds one and it fits capacity
    // bytes. Returns the frame's size in bytes (0 without a frame or holder).
    static int copyFrame(int *width, int *height, void *dest, int capacity);

private:
    int m_width = 0;
    int m_height = 0;
    QVector<quint32> m_pixels;
};
