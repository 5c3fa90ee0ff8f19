#include "recording/media/MMRecorder.h"

#include "recording/media/AviWriter.h"
#include "recording/media/MMRecorder_VideoSurface.h"
#include "recording/media/QtCaptureSources.h"
#include "recording/media/SpeechFile.h"

#include <QFile>
#include <QIODevice>
#include <QThread>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <cstdlib>
#include <cstring>

namespace {

constexpr int FramesPerSecond = 25;
constexpr int PixelCapacity = 1966080;

int64_t bitRateOf(int quality)
{
    static const int64_t rates[] = {245760, 491520, 2457600};
    return rates[quality];
}

QAudioFormat recordedFormat()
{
    QAudioFormat format;
    format.setSampleRate(AviWriter::AudioRate);
    format.setChannelCount(1);
    format.setSampleSize(16);
    format.setSampleType(QAudioFormat::SignedInt);
    format.setByteOrder(QAudioFormat::LittleEndian);
    format.setCodec(QStringLiteral("audio/pcm"));
    return format;
}

AVSampleFormat sampleFormatOf(const QAudioFormat &format)
{
    if (format.sampleType() == QAudioFormat::Float && format.sampleSize() == 32)
        return AV_SAMPLE_FMT_FLT;
    if (format.sampleType() == QAudioFormat::SignedInt && format.sampleSize() == 16)
        return AV_SAMPLE_FMT_S16;
    if (format.sampleType() == QAudioFormat::SignedInt && format.sampleSize() == 32)
        return AV_SAMPLE_FMT_S32;
    if (format.sampleType() == QAudioFormat::UnSignedInt && format.sampleSize() == 8)
        return AV_SAMPLE_FMT_U8;
    return AV_SAMPLE_FMT_NONE;
}

} // namespace

MMRecorder::MMRecorder(int quality, std::unique_ptr<CaptureSources> sources)
    : m_sources(sources ? std::move(sources) : std::make_unique<QtCaptureSources>())
    , m_pixels(PixelCapacity)
    , m_audioBuffer(BufferBytes, '\0')
    , m_quality(quality)
{
}

MMRecorder::~MMRecorder()
{
    stop();
    closeOutput();
    delete m_thread;
    if (m_ownsSurface)
        MMRecorder_VideoSurface::deleteHolder();
    swr_free(&m_converter);
}

void MMRecorder::start(const QString &outputFile, const QString &cameraName, const QString &microphoneName)
{
    if (m_thread)
        return;
    prepare(outputFile, cameraName, microphoneName);
    m_thread = new QThread;
    moveToThread(m_thread);
    connect(m_thread, &QThread::started, this, &MMRecorder::onStartedThread, Qt::DirectConnection);
    connect(m_thread, &QThread::finished, this, &MMRecorder::onFinishedThread, Qt::DirectConnection);
    m_thread->start(QThread::InheritPriority);
}

void MMRecorder::prepare(const QString &outputFile, const QString &cameraName, const QString &microphoneName)
{
    m_outputFile = outputFile;
    m_cameraName = cameraName;
    m_microphoneName = microphoneName;
}

void MMRecorder::stop()
{
    if (!m_thread || m_thread->isFinished())
        return;
    m_thread->exit(0);
    m_thread->wait();
}

int MMRecorder::takeFrame(int *width, int *height, void *dest, int capacity, double *seconds, double *level)
{
    if (seconds)
        *seconds = m_elapsedMs / 1000.0;
    if (level)
        *level = m_level;
    return MMRecorder_VideoSurface::copyFrame(width, height, dest, capacity);
}

bool MMRecorder::wroteFile() const
{
    QMutexLocker lock(&m_resultMutex);
    return m_wroteFile;
}

QString MMRecorder::failure() const
{
    QMutexLocker lock(&m_resultMutex);
    return m_failure;
}

bool MMRecorder::isRecording() const
{
    QMutexLocker lock(&m_speechMutex);
    return m_speech != nullptr;
}

int MMRecorder::openAudioFile(const QString &file)
{
    auto speech = std::make_unique<SpeechFile>();
    const int result = speech->open(file);
    if (result < 0)
        return result;
    QMutexLocker lock(&m_speechMutex);
    m_speech = std::move(speech);
    return result;
}

void MMRecorder::closeOutput()
{
    QMutexLocker lock(&m_speechMutex);
    m_speech.reset();
}

int MMRecorder::bufferedBytes() const { return m_audioFill; }

void MMRecorder::onStartedThread()
{
    releaseOutput();
    m_elapsedMs = 0;
    m_level = 0.0;
    m_audioPts = 0;
    m_videoFrames = 0;
    m_frameWidth = 0;
    openOutput();
    // Without a camera no frame comes; the reader waits for one, other users
    // learn it from the failure.
    if (MMRecorder_VideoSurface::createHolder()) {
        m_ownsSurface = true;
        if (!m_sources->startCamera(m_cameraName, MMRecorder_VideoSurface::holder()))
            setFailure(QStringLiteral("Камера не найдена: видео не записывается."));
    }
    startMicrophone();
}

void MMRecorder::onFinishedThread()
{
    if (m_audioDevice)
        disconnect(m_audioDevice, nullptr, this, nullptr);
    m_audioDevice = nullptr;
    m_sources->stopMicrophone();
    if (m_ownsSurface)
        m_sources->stopCamera();
    releaseOutput();
}

void MMRecorder::openOutput()
{
    if (m_outputFile.isEmpty() || m_quality < 0 || m_quality > 2)
        return;
    AviWriter::Video video;
    video.width = MMRecorder_VideoSurface::Width;
    video.height = MMRecorder_VideoSurface::Height;
    video.bitRate = bitRateOf(m_quality);
    video.gop = 12;
    video.framesPerSecond = FramesPerSecond;
    m_output = std::make_unique<AviWriter>();
    m_output->setAudioPacketTap([this](AVPacket *packet) {
        QMutexLocker lock(&m_speechMutex);
        if (m_speech)
            m_speech->write(packet, AVRational{1, AviWriter::AudioRate});
    });
    if (!m_output->open(m_outputFile, video, true)) {
        setFailure(m_output->error());
        m_output.reset();
        QFile::remove(m_outputFile);
    }
}

// An output that failed or got no frame is removed, so it never becomes a video.
void MMRecorder::releaseOutput()
{
    if (!m_output)
        return;
    const bool finished = m_output->finish();
    const bool written = finished && m_output->videoFramesWritten() > 0;
    if (!m_output->error().isEmpty())
        setFailure(m_output->error());
    m_output.reset();
    if (!written)
        QFile::remove(m_outputFile);
    QMutexLocker lock(&m_resultMutex);
    m_wroteFile = written;
}

void MMRecorder::startMicrophone()
{
    m_audioFill = 0;
    m_audioDevice = m_sources->startMicrophone(m_microphoneName, recordedFormat(), &m_microphoneFormat);
    if (!m_audioDevice) {
        setFailure(QStringLiteral("Микрофон не найден: видео не записывается."));
        return;
    }
    swr_free(&m_converter);
    const AVSampleFormat format = sampleFormatOf(m_microphoneFormat);
    if (m_microphoneFormat != recordedFormat() && format != AV_SAMPLE_FMT_NONE) {
        AVChannelLayout in;
        AVChannelLayout out;
        av_channel_layout_default(&in, m_microphoneFormat.channelCount());
        av_channel_layout_default(&out, 1);
        if (swr_alloc_set_opts2(&m_converter, &out, AV_SAMPLE_FMT_S16, AviWriter::AudioRate, &in, format,
                                m_microphoneFormat.sampleRate(), 0, nullptr) < 0
            || swr_init(m_converter) < 0)
            swr_free(&m_converter);
    }
    if (m_microphoneFormat != recordedFormat() && !m_converter) {
        setFailure(QStringLiteral("Формат микрофона не поддерживается: видео не записывается."));
        m_sources->stopMicrophone();
        m_audioDevice = nullptr;
        return;
    }
    connect(m_audioDevice, &QIODevice::readyRead, this, &MMRecorder::onAudioReadyRead, Qt::QueuedConnection);
}

void MMRecorder::onAudioReadyRead()
{
    readSound();
    measureLevel();
    while (m_audioFill > BlockBytes) {
        if (!MMRecorder_VideoSurface::holder())
            return;
        if (!takeHolderFrame()) {
            // The recording starts with the first camera frame.
            m_audioFill = 0;
            return;
        }
        encodeBlock();
    }
}

void MMRecorder::readSound()
{
    if (!m_audioDevice)
        return;
    const int frameBytes = qMax(1, m_microphoneFormat.bytesPerFrame());
    qint64 wanted = qMin<qint64>(ReadBytes, m_audioDevice->bytesAvailable());
    wanted -= wanted % frameBytes;
    if (wanted <= 0)
        return;
    char raw[ReadBytes];
    const qint64 got = m_audioDevice->read(raw, wanted);
    if (got <= 0)
        return;
    if (!m_converter) {
        appendSound(raw, int(got));
        return;
    }
    const int inFrames = int(got / frameBytes);
    const int outSamples = swr_get_out_samples(m_converter, inFrames);
    QByteArray converted(outSamples * 2, '\0');
    uint8_t *out[1] = {reinterpret_cast<uint8_t *>(converted.data())};
    const uint8_t *in[1] = {reinterpret_cast<const uint8_t *>(raw)};
    const int made = swr_convert(m_converter, out, outSamples, in, inFrames);
    if (made > 0)
        appendSound(converted.constData(), made * 2);
}

// Never past the buffer: when nothing takes the sound out, the oldest goes.
void MMRecorder::appendSound(const char *data, int bytes)
{
    if (bytes > BufferBytes) {
        data += bytes - BufferBytes;
        bytes = BufferBytes;
    }
    const int excess = m_audioFill + bytes - BufferBytes;
    if (excess > 0) {
        const int dropped = excess + excess % 2;
        std::memmove(m_audioBuffer.data(), m_audioBuffer.constData() + dropped, size_t(m_audioFill - dropped));
        m_audioFill -= dropped;
    }
    std::memcpy(m_audioBuffer.data() + m_audioFill, data, size_t(bytes));
    m_audioFill += bytes;
}

void MMRecorder::measureLevel()
{
    const int count = m_audioFill / 2;
    const auto *samples = reinterpret_cast<const int16_t *>(m_audioBuffer.constData());
    double sum = 0.0;
    for (int i = 0; i < count; ++i)
        sum += std::abs(int(samples[i]));
    const double mean = count > 0 ? sum / count : 0.0;
    m_level = mean * mean / 10000.0;
}

bool MMRecorder::takeHolderFrame()
{
    int width = 0;
    int height = 0;
    if (MMRecorder_VideoSurface::copyFrame(&width, &height, m_pixels.data(), m_pixels.size() * 4) > 0) {
        m_frameWidth = width;
    }
    return m_frameWidth > 0;
}

// One block of sound; the video follows the sound's clock by repeating the
// latest frame or skipping those that came in between.
void MMRecorder::encodeBlock()
{
    if (videoAheadOfAudio()) {
        if (m_output && m_output->audioWorks())
            m_output->writeAudio(reinterpret_cast<const int16_t *>(m_audioBuffer.constData()));
        m_audioPts += AviWriter::AudioFrameSamples;
    }
    m_elapsedMs = int(m_audioPts * 1000 / AviWriter::AudioRate);
    std::memmove(m_audioBuffer.data(), m_audioBuffer.constData() + BlockBytes, size_t(m_audioFill - BlockBytes));
    m_audioFill -= BlockBytes;
    while (!videoAheadOfAudio()) {
        if (m_output && m_output->videoWorks())
            m_output->writeVideo(m_pixels.constData(), m_frameWidth * 4);
        ++m_videoFrames;
    }
    if (m_output && !m_output->error().isEmpty())
        setFailure(m_output->error());
}

bool MMRecorder::videoAheadOfAudio() const
{
    return m_videoFrames * AviWriter::AudioRate > m_audioPts * FramesPerSecond;
}

void MMRecorder::setFailure(const QString &text)
{
    QMutexLocker lock(&m_resultMutex);
    if (m_failure.isEmpty())
        m_failure = text;
}
