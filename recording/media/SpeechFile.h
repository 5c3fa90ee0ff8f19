#pragma once

#include <QString>

struct AVFormatContext;
struct AVPacket;
struct AVRational;

// A file of AAC sound, 22050 Hz mono, that takes the packets a recording's
// sound encoder makes; its container follows the file name.
class SpeechFile
{
public:
    SpeechFile() = default;
    ~SpeechFile();
    SpeechFile(const SpeechFile &) = delete;
    SpeechFile &operator=(const SpeechFile &) = delete;

    // The result of writing the header; negative on failure, with nothing kept.
    int open(const QString &path);
    void write(const AVPacket *packet, AVRational timeBase);
    // Writes the trailer and closes the file.
    void close();
    bool isOpen() const;

private:
    int openStream(const char *name);

    AVFormatContext *m_format = nullptr;
    AVPacket *m_packet = nullptr;
};
