// Writes a short MPEG-4 video (FFmpeg's mpeg4 codec) in AVI: the program name over a gradient
// with a progress bar. The build uses it for the splash video and for the
// videos the player tests play.
//
// Usage: makesplash OUTPUT.avi [WIDTH HEIGHT SECONDS]

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kFramesPerSecond = 25;

struct Options
{
    const char *path = nullptr;
    int width = 640;
    int height = 360;
    int seconds = 3;
};

bool parseOptions(int argc, char *argv[], Options &options)
{
    if (argc != 2 && argc != 5)
        return false;
    options.path = argv[1];
    if (argc == 5) {
        options.width = std::atoi(argv[2]);
        options.height = std::atoi(argv[3]);
        options.seconds = std::atoi(argv[4]);
    }
    // 4:2:0 chroma needs even sizes.
    return options.width >= 16 && options.height >= 16 && options.width % 2 == 0
        && options.height % 2 == 0 && options.seconds >= 1;
}

// The gradient runs from left to right and stays still, so a reader of the
// video knows which colour to expect where; the bar shows the elapsed time.
QImage drawFrame(int width, int height, int index, int frameCount)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, width, 0);
    gradient.setColorAt(0, QColor(20, 40, 140));
    gradient.setColorAt(1, QColor(150, 200, 230));
    painter.fillRect(image.rect(), gradient);

    QFont font(QStringLiteral("Sans"));
    font.setPixelSize(height / 6);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Воркел"));

    const int barHeight = height / 30 + 2;
    const int barWidth = width * (index + 1) / frameCount;
    painter.fillRect(0, height - barHeight, barWidth, barHeight, QColor(240, 170, 40));
    return image;
}

class Encoder
{
public:
    ~Encoder()
    {
        sws_freeContext(m_scaler);
        av_frame_free(&m_frame);
        av_packet_free(&m_packet);
        avcodec_free_context(&m_codec);
        if (m_format && m_format->pb)
            avio_closep(&m_format->pb);
        avformat_free_context(m_format);
    }

    bool open(const Options &options)
    {
        if (avformat_alloc_output_context2(&m_format, nullptr, "avi", options.path) < 0)
            return false;
        const AVCodec *codec = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
        if (!codec)
            return false;
        m_stream = avformat_new_stream(m_format, nullptr);
        m_codec = avcodec_alloc_context3(codec);
        m_packet = av_packet_alloc();
        m_frame = av_frame_alloc();
        if (!m_stream || !m_codec || !m_packet || !m_frame)
            return false;

        m_codec->width = options.width;
        m_codec->height = options.height;
        m_codec->time_base = AVRational{1, kFramesPerSecond};
        m_codec->framerate = AVRational{kFramesPerSecond, 1};
        m_codec->pix_fmt = AV_PIX_FMT_YUV420P;
        m_codec->gop_size = kFramesPerSecond;
        m_codec->bit_rate = int64_t(options.width) * options.height * 4;
        if (m_format->oformat->flags & AVFMT_GLOBALHEADER)
            m_codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (avcodec_open2(m_codec, codec, nullptr) < 0)
            return false;
        if (avcodec_parameters_from_context(m_stream->codecpar, m_codec) < 0)
            return false;
        m_stream->time_base = m_codec->time_base;

        m_frame->format = m_codec->pix_fmt;
        m_frame->width = options.width;
        m_frame->height = options.height;
        if (av_frame_get_buffer(m_frame, 0) < 0)
            return false;
        // QImage::Format_RGB32 is AV_PIX_FMT_RGB32 (native-endian 0xffRRGGBB).
        m_scaler = sws_getContext(options.width, options.height, AV_PIX_FMT_RGB32, options.width,
                                  options.height, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr,
                                  nullptr);
        if (!m_scaler)
            return false;

        if (avio_open(&m_format->pb, options.path, AVIO_FLAG_WRITE) < 0)
            return false;
        return avformat_write_header(m_format, nullptr) >= 0;
    }

    bool writeImage(const QImage &image, int64_t pts)
    {
        if (av_frame_make_writable(m_frame) < 0)
            return false;
        const uint8_t *source[1] = {image.constBits()};
        const int sourceStride[1] = {int(image.bytesPerLine())};
        sws_scale(m_scaler, source, sourceStride, 0, image.height(), m_frame->data, m_frame->linesize);
        m_frame->pts = pts;
        return encode(m_frame);
    }

    bool finish() { return encode(nullptr) && av_write_trailer(m_format) == 0; }

private:
    // A null frame drains the encoder.
    bool encode(const AVFrame *frame)
    {
        if (avcodec_send_frame(m_codec, frame) < 0)
            return false;
        for (;;) {
            const int result = avcodec_receive_packet(m_codec, m_packet);
            if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
                return true;
            if (result < 0)
                return false;
            av_packet_rescale_ts(m_packet, m_codec->time_base, m_stream->time_base);
            m_packet->stream_index = m_stream->index;
            const int written = av_interleaved_write_frame(m_format, m_packet);
            av_packet_unref(m_packet);
            if (written < 0)
                return false;
        }
    }

    AVFormatContext *m_format = nullptr;
    AVStream *m_stream = nullptr;
    AVCodecContext *m_codec = nullptr;
    AVPacket *m_packet = nullptr;
    AVFrame *m_frame = nullptr;
    SwsContext *m_scaler = nullptr;
};

bool writeVideo(const Options &options)
{
    Encoder encoder;
    if (!encoder.open(options))
        return false;
    const int frameCount = options.seconds * kFramesPerSecond;
    for (int i = 0; i < frameCount; ++i) {
        if (!encoder.writeImage(drawFrame(options.width, options.height, i, frameCount), i))
            return false;
    }
    return encoder.finish();
}

} // namespace

int main(int argc, char *argv[])
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: makesplash OUTPUT.avi [WIDTH HEIGHT SECONDS]\n"
                             "(even sizes of at least 16, at least one second)\n");
        return 2;
    }
    // Fonts need a GUI application, but the build machine may have no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (!writeVideo(options)) {
        std::remove(options.path);
        std::fprintf(stderr, "makesplash: cannot write %s\n", options.path);
        return 1;
    }
    return 0;
}
