#include "tests/support/SyntheticCapture.h"

#include "tests/support/SyntheticMicrophone.h"

#include <QAbstractVideoSurface>
#include <QPainter>
#include <QRandomGenerator>
#include <QTimer>
#include <QVideoFrame>

#include <cmath>

SyntheticCapture::SyntheticCapture()
    : m_format(monoFormat())
{
}

SyntheticCapture::~SyntheticCapture() = default;

void SyntheticCapture::setCamera(bool present) { m_hasCamera = present; }

void SyntheticCapture::setMicrophone(bool present, const QAudioFormat &format)
{
    m_hasMicrophone = present;
    if (format.isValid())
        m_format = format;
}

void SyntheticCapture::setRealTime(int amplitude) { m_amplitude = amplitude; }

bool SyntheticCapture::startCamera(const QString &cameraName, QAbstractVideoSurface *surface)
{
    m_cameraAsked = cameraName;
    if (!m_hasCamera)
        return false;
    m_surface = surface;
    return true;
}

void SyntheticCapture::stopCamera()
{
    if (m_surface)
        m_surface->stop();
    m_surface = nullptr;
}

QIODevice *SyntheticCapture::startMicrophone(const QString &microphoneName, const QAudioFormat &,
                                             QAudioFormat *actual)
{
    m_microphoneAsked = microphoneName;
    if (!m_hasMicrophone)
        return nullptr;
    m_microphone = std::make_unique<SyntheticMicrophone>();
    *actual = m_format;
    if (m_amplitude > 0) {
        m_timer = std::make_unique<QTimer>();
        QObject::connect(m_timer.get(), &QTimer::timeout, [this] { tick(); });
        m_clock.start();
        m_timer->start(20);
    }
    return m_microphone.get();
}

void SyntheticCapture::stopMicrophone()
{
    m_timer.reset();
    m_microphone.reset();
}

void SyntheticCapture::present(const QImage &image, QVideoSurfaceFormat::Direction direction)
{
    if (!m_surface)
        return;
    QVideoSurfaceFormat format(image.size(), QVideoFrame::Format_RGB32);
    format.setScanLineDirection(direction);
    if (m_surface->surfaceFormat() != format) {
        m_surface->stop();
        m_surface->start(format);
    }
    m_surface->present(QVideoFrame(image.convertToFormat(QImage::Format_RGB32)));
}

void SyntheticCapture::feed(const QByteArray &sound)
{
    if (m_microphone)
        m_microphone->feed(sound);
}

QString SyntheticCapture::cameraAsked() const { return m_cameraAsked; }

QString SyntheticCapture::microphoneAsked() const { return m_microphoneAsked; }

void SyntheticCapture::tick()
{
    const qint64 elapsedMs = m_clock.elapsed();
    while (m_framesShown * 40 <= elapsedMs)
        present(movingPicture(m_framesShown++));
    const qint64 due = elapsedMs * m_format.sampleRate() / 1000;
    if (due > m_samplesFed) {
        feed(tone(int(due - m_samplesFed), m_amplitude, m_samplesFed, m_format));
        m_samplesFed = due;
    }
}

QImage SyntheticCapture::movingPicture(int index, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(quint32(index + 1));
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = 125 + int(random.bounded(6));
            line[x] = qRgb(grey, grey, grey);
        }
    }
    QPainter painter(&image);
    const int barWidth = size.width() / 8;
    painter.fillRect((index * 8) % size.width(), 0, barWidth, size.height(), QColor(220, 60, 40));
    return image;
}

QByteArray SyntheticCapture::tone(int samples, int amplitude, qint64 start, const QAudioFormat &format)
{
    const int channels = format.channelCount();
    QByteArray sound(samples * channels * 2, '\0');
    auto *out = reinterpret_cast<qint16 *>(sound.data());
    for (int i = 0; i < samples; ++i) {
        const double phase = 2.0 * M_PI * 440.0 * double(start + i) / format.sampleRate();
        const auto value = qint16(std::lround(amplitude * std::sin(phase)));
        for (int c = 0; c < channels; ++c)
            out[i * channels + c] = value;
    }
    return sound;
}

QAudioFormat SyntheticCapture::monoFormat(int rate, int channels)
{
    QAudioFormat format;
    format.setSampleRate(rate);
    format.setChannelCount(channels);
    format.setSampleSize(16);
    format.setSampleType(QAudioFormat::SignedInt);
    format.setByteOrder(QAudioFormat::LittleEndian);
    format.setCodec(QStringLiteral("audio/pcm"));
    return format;
}
