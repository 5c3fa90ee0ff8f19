#include "recording/media/SpeechFile.h"

#include "recording/media/AviWriter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

SpeechFile::~SpeechFile() { close(); }

int SpeechFile::open(const QString &path)
{
    close();
    const QByteArray name = path.toUtf8();
    int result = avformat_alloc_output_context2(&m_format, nullptr, nullptr, name.constData());
    if (result >= 0 && m_format)
        result = openStream(name.constData());
    else if (result >= 0)
        result = AVERROR(ENOMEM);
    if (result < 0) {
        if (m_format && m_format->pb)
            avio_closep(&m_format->pb);
        avformat_free_context(m_format);
        m_format = nullptr;
        return result;
    }
    m_packet = av_packet_alloc();
    return result;
}

int SpeechFile::openStream(const char *name)
{
    const AVCodec *encoder = avcodec_find_encoder(AV_CODEC_ID_AAC);
    AVStream *stream = avformat_new_stream(m_format, nullptr);
    AVCodecContext *codec = encoder ? avcodec_alloc_context3(encoder) : nullptr;
    if (!stream || !codec) {
        avcodec_free_context(&codec);
        return AVERROR(ENOMEM);
    }
    AviWriter::setSoundParameters(codec);
    codec->strict_std_compliance = -2;
    stream->time_base = codec->time_base;
    if (m_format->oformat->flags & AVFMT_GLOBALHEADER)
        codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int result = avcodec_open2(codec, encoder, nullptr);
    if (result >= 0)
        result = avcodec_parameters_from_context(stream->codecpar, codec);
    avcodec_free_context(&codec);
    if (result >= 0)
        result = avio_open(&m_format->pb, name, AVIO_FLAG_WRITE);
    if (result >= 0)
        result = avformat_write_header(m_format, nullptr);
    return result;
}

void SpeechFile::write(const AVPacket *packet, AVRational timeBase)
{
    if (!m_format || !m_packet || av_packet_ref(m_packet, packet) < 0)
        return;
    av_packet_rescale_ts(m_packet, timeBase, m_format->streams[0]->time_base);
    m_packet->stream_index = 0;
    av_write_frame(m_format, m_packet);
    av_packet_unref(m_packet);
}

void SpeechFile::close()
{
    if (!m_format)
        return;
    av_write_trailer(m_format);
    avio_closep(&m_format->pb);
    avformat_free_context(m_format);
    m_format = nullptr;
    av_packet_free(&m_packet);
}

bool SpeechFile::isOpen() const { return m_format != nullptr; }
