#pragma once

#include <QString>

#include <cstdint>
#include <functional>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwrContext;
struct SwsContext;

// Encodes MPEG-4 Part 2 video and, when asked, AAC sound into one file whose
// container FFmpeg picks from the file name. Frames come in as 4-byte
// native-endian RGB32 of the video's size; sound as 16-bit mono blocks.
class AviWriter
{
public:
    struct Video {
        int width = 640;
        int height = 480;
        int64_t bitRate = 491520;
        int gop = 12;
        int framesPerSecond = 25;
    };
    static constexpr int AudioRate = 22050;
    static constexpr int AudioFrameSamples = 1024;

    AviWriter();
    ~AviWriter();
    AviWriter(const AviWriter &) = delete;
    AviWriter &operator=(const AviWriter &) = delete;

    // Opens the file and writes its header; false with error() set on failure.
    bool open(const QString &path, const Video &video, bool withAudio);
    bool writeVideo(const void *pixels, int stride);
    bool writeAudio(const int16_t *samples);
    // Drains the encoders and writes the trailer; false when anything failed.
    bool finish();

    bool videoWorks() const;
    bool audioWorks() const;
    int64_t videoFramesWritten() const;
    QString error() const;
    // Receives every encoded sound packet before it goes into the file, in
    // the sound encoder's time base.
    void setAudioPacketTap(std::function<void(AVPacket *)> tap);
    // AAC, 22050 Hz mono, 64 kbit/s in the encoder's first sample format.
    static void setSoundParameters(AVCodecContext *codec);

private:
    struct Stream {
        AVStream *stream = nullptr;
        AVCodecContext *codec = nullptr;
        AVFrame *frame = nullptr;
        int64_t nextPts = 0;
        bool works = false;
    };

    AVCodecContext *newStream(Stream &stream, int codecId);
    static void holdToBitRate(AVCodecContext *codec);
    bool addVideo(const Video &video);
    bool addAudio();
    bool openCodec(Stream &stream, AVCodecContext *codec);
    bool makeWritable(Stream &stream);
    bool encode(Stream &stream, const AVFrame *frame, bool tap);
    bool fail(const QString &what, int code = 0);
    void release();

    AVFormatContext *m_format = nullptr;
    AVPacket *m_packet = nullptr;
    Stream m_video;
    Stream m_audio;
    SwsContext *m_scaler = nullptr;
    SwrContext *m_resampler = nullptr;
    bool m_headerWritten = false;
    QString m_error;
    std::function<void(AVPacket *)> m_tap;
};
