#include "recording/media/AviWriter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace {

QString ffmpegText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromUtf8(text);
}

} // namespace

AviWriter::AviWriter() = default;

AviWriter::~AviWriter() { release(); }

bool AviWriter::open(const QString &path, const Video &video, bool withAudio)
{
    release();
    m_error.clear();
    const QByteArray name = path.toUtf8();
    const int made = avformat_alloc_output_context2(&m_format, nullptr, nullptr, name.constData());
    if (made < 0 || !m_format)
        return fail(QStringLiteral("Не удалось создать видеофайл %1").arg(path), made);
    // AVI keeps no time stamps, only the order: shifting every stream by the
    // AAC encoder's priming would make the muxer pad the video with empty frames.
    m_format->avoid_negative_ts = AVFMT_AVOID_NEG_TS_DISABLED;
    m_packet = av_packet_alloc();
    if (!m_packet || !addVideo(video) || (withAudio && !addAudio()))
        return false;
    const int opened = avio_open(&m_format->pb, name.constData(), AVIO_FLAG_WRITE);
    if (opened < 0)
        return fail(QStringLiteral("Не удалось открыть видеофайл %1").arg(path), opened);
    const int header = avformat_write_header(m_format, nullptr);
    if (header < 0)
        return fail(QStringLiteral("Не удалось записать заголовок видеофайла %1").arg(path), header);
    m_headerWritten = true;
    return true;
}

AVCodecContext *AviWriter::newStream(Stream &stream, int codecId)
{
    const AVCodec *encoder = avcodec_find_encoder(AVCodecID(codecId));
    stream.codec = encoder ? avcodec_alloc_context3(encoder) : nullptr;
    stream.stream = avformat_new_stream(m_format, nullptr);
    if (!stream.codec || !stream.stream)
        return nullptr;
    stream.stream->id = int(m_format->nb_streams) - 1;
    return stream.codec;
}

void AviWriter::setSoundParameters(AVCodecContext *codec)
{
    // FFmpeg's own AAC encoder takes planar float only: use what it lists first.
    codec->sample_fmt = codec->codec->sample_fmts ? codec->codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
    codec->sample_rate = AudioRate;
    codec->bit_rate = 64000;
    av_channel_layout_default(&codec->ch_layout, 1);
    codec->time_base = AVRational{1, AudioRate};
}

// One-pass rate control with FFmpeg's defaults lets a low rate run over by
// half on noisy camera frames (it tolerates 4 Mbit of surplus before it
// corrects) and stops a high one short at quantiser 2. Tolerating one
// second's worth and allowing quantiser 1 keeps each rate within a few per cent.
void AviWriter::holdToBitRate(AVCodecContext *codec)
{
    codec->bit_rate_tolerance = int(codec->bit_rate);
    codec->qmin = 1;
    av_opt_set_int(codec, "lmin", FF_QP2LAMBDA, AV_OPT_SEARCH_CHILDREN);
}

bool AviWriter::addVideo(const Video &video)
{
    AVCodecContext *codec = newStream(m_video, AV_CODEC_ID_MPEG4);
    if (!codec)
        return fail(QStringLiteral("Нет кодера видео MPEG-4"));
    codec->width = video.width;
    codec->height = video.height;
    codec->time_base = AVRational{1, video.framesPerSecond};
    codec->framerate = AVRational{video.framesPerSecond, 1};
    codec->pix_fmt = AV_PIX_FMT_YUV420P;
    codec->gop_size = video.gop;
    codec->bit_rate = video.bitRate;
    holdToBitRate(codec);
    // Key frames exactly every gop frames: readers seek by them.
    av_opt_set_int(codec, "sc_threshold", 1000000000, AV_OPT_SEARCH_CHILDREN);
    m_video.stream->time_base = codec->time_base;
    if (!openCodec(m_video, codec))
        return false;
    m_video.frame->format = codec->pix_fmt;
    m_video.frame->width = codec->width;
    m_video.frame->height = codec->height;
    if (av_frame_get_buffer(m_video.frame, 32) < 0)
        return fail(QStringLiteral("Не хватает памяти для кадра видео"));
    // RGB32 in memory is AV_PIX_FMT_RGB32 (native-endian 0xffRRGGBB).
    m_scaler = sws_getContext(video.width, video.height, AV_PIX_FMT_RGB32, video.width, video.height,
                              AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!m_scaler)
        return fail(QStringLiteral("Нет преобразователя кадров видео"));
    m_video.works = true;
    return true;
}

bool AviWriter::addAudio()
{
    AVCodecContext *codec = newStream(m_audio, AV_CODEC_ID_AAC);
    if (!codec)
        return fail(QStringLiteral("Нет кодера звука AAC"));
    setSoundParameters(codec);
    codec->frame_size = AudioFrameSamples;
    m_audio.stream->time_base = codec->time_base;
    if (!openCodec(m_audio, codec))
        return false;
    m_audio.frame->format = codec->sample_fmt;
    m_audio.frame->sample_rate = AudioRate;
    m_audio.frame->nb_samples = AudioFrameSamples;
    av_channel_layout_copy(&m_audio.frame->ch_layout, &codec->ch_layout);
    if (av_frame_get_buffer(m_audio.frame, 0) < 0)
        return fail(QStringLiteral("Не хватает памяти для кадра звука"));
    const int made = swr_alloc_set_opts2(&m_resampler, &codec->ch_layout, codec->sample_fmt, AudioRate,
                                         &codec->ch_layout, AV_SAMPLE_FMT_S16, AudioRate, 0, nullptr);
    if (made < 0 || swr_init(m_resampler) < 0)
        return fail(QStringLiteral("Нет преобразователя звука"));
    m_audio.works = true;
    return true;
}

bool AviWriter::openCodec(Stream &stream, AVCodecContext *codec)
{
    if (m_format->oformat->flags & AVFMT_GLOBALHEADER)
        codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const int opened = avcodec_open2(codec, codec->codec, nullptr);
    if (opened < 0)
        return fail(QStringLiteral("Не удалось открыть кодер %1").arg(QString::fromUtf8(codec->codec->name)), opened);
    stream.frame = av_frame_alloc();
    if (!stream.frame || avcodec_parameters_from_context(stream.stream->codecpar, codec) < 0)
        return fail(QStringLiteral("Не хватает памяти для кодера"));
    return true;
}

bool AviWriter::writeVideo(const void *pixels, int stride)
{
    if (!makeWritable(m_video))
        return false;
    const uint8_t *source[1] = {static_cast<const uint8_t *>(pixels)};
    const int sourceStride[1] = {stride};
    sws_scale(m_scaler, source, sourceStride, 0, m_video.codec->height, m_video.frame->data,
              m_video.frame->linesize);
    m_video.frame->pts = m_video.nextPts++;
    return encode(m_video, m_video.frame, false);
}

bool AviWriter::writeAudio(const int16_t *samples)
{
    if (!makeWritable(m_audio))
        return false;
    const uint8_t *source[1] = {reinterpret_cast<const uint8_t *>(samples)};
    const int converted = swr_convert(m_resampler, m_audio.frame->data, AudioFrameSamples, source, AudioFrameSamples);
    if (converted != AudioFrameSamples) {
        m_audio.works = false;
        return fail(QStringLiteral("Не удалось преобразовать звук"), converted);
    }
    m_audio.frame->pts = m_audio.nextPts;
    m_audio.nextPts += AudioFrameSamples;
    return encode(m_audio, m_audio.frame, true);
}

// A frame the encoder still holds cannot be written over; without memory
// for a new one this stream stops and the rest of the recording goes on.
bool AviWriter::makeWritable(Stream &stream)
{
    if (!stream.works)
        return false;
    const int writable = av_frame_make_writable(stream.frame);
    if (writable >= 0)
        return true;
    stream.works = false;
    return fail(QStringLiteral("Не хватает памяти для кадра"), writable);
}

// A null frame drains the encoder.
bool AviWriter::encode(Stream &stream, const AVFrame *frame, bool tap)
{
    const int sent = avcodec_send_frame(stream.codec, frame);
    if (sent < 0) {
        stream.works = false;
        return fail(QStringLiteral("Ошибка кодирования"), sent);
    }
    for (;;) {
        const int result = avcodec_receive_packet(stream.codec, m_packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return true;
        if (result < 0) {
            stream.works = false;
            return fail(QStringLiteral("Ошибка кодирования"), result);
        }
        if (tap && m_tap)
            m_tap(m_packet);
        av_packet_rescale_ts(m_packet, stream.codec->time_base, stream.stream->time_base);
        m_packet->stream_index = stream.stream->index;
        const int written = av_interleaved_write_frame(m_format, m_packet);
        av_packet_unref(m_packet);
        if (written < 0 || (m_format->pb && m_format->pb->error < 0)) {
            m_video.works = false;
            m_audio.works = false;
            return fail(QStringLiteral("Ошибка записи видеофайла"), written < 0 ? written : m_format->pb->error);
        }
    }
}

bool AviWriter::finish()
{
    if (!m_headerWritten)
        return false;
    if (m_video.works)
        encode(m_video, nullptr, false);
    if (m_audio.works)
        encode(m_audio, nullptr, true);
    const int trailer = av_write_trailer(m_format);
    m_headerWritten = false;
    if (trailer < 0)
        fail(QStringLiteral("Ошибка записи видеофайла"), trailer);
    avio_flush(m_format->pb);
    if (m_format->pb->error < 0)
        fail(QStringLiteral("Ошибка записи видеофайла"), m_format->pb->error);
    const int closed = avio_closep(&m_format->pb);
    if (closed < 0)
        fail(QStringLiteral("Ошибка записи видеофайла"), closed);
    return m_error.isEmpty();
}

bool AviWriter::videoWorks() const { return m_video.works; }

bool AviWriter::audioWorks() const { return m_audio.works; }

int64_t AviWriter::videoFramesWritten() const { return m_video.nextPts; }

QString AviWriter::error() const { return m_error; }

void AviWriter::setAudioPacketTap(std::function<void(AVPacket *)> tap) { m_tap = std::move(tap); }

// Keeps the first failure: later ones are its consequences.
bool AviWriter::fail(const QString &what, int code)
{
    if (m_error.isEmpty())
        m_error = code < 0 ? QStringLiteral("%1: %2").arg(what, ffmpegText(code)) : what;
    return false;
}

void AviWriter::release()
{
    if (m_headerWritten)
        finish();
    swr_free(&m_resampler);
    sws_freeContext(m_scaler);
    m_scaler = nullptr;
    for (Stream *stream : {&m_video, &m_audio}) {
        av_frame_free(&stream->frame);
        avcodec_free_context(&stream->codec);
        *stream = Stream();
    }
    av_packet_free(&m_packet);
    if (m_format && m_format->pb)
        avio_closep(&m_format->pb);
    avformat_free_context(m_format);
    m_format = nullptr;
}
