#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

// What FFmpeg's own reader says of a written file.
namespace Ffprobe {

inline QJsonObject probe(const QString &path, const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("ffprobe"), QStringList{"-v", "error", "-of", "json"} + arguments + QStringList{path});
    process.waitForFinished(60000);
    return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
}

inline QJsonObject formatAndStreams(const QString &path)
{
    return probe(path, {"-show_format", "-show_streams"});
}

inline QJsonObject streamOf(const QJsonObject &probed, const QString &type)
{
    for (const QJsonValue &stream : probed.value("streams").toArray()) {
        if (stream.toObject().value("codec_type").toString() == type)
            return stream.toObject();
    }
    return {};
}

// The frames of the video stream with their time and whether they are key frames.
inline QJsonArray videoFrames(const QString &path)
{
    return probe(path, {"-select_streams", "v", "-show_entries", "frame=key_frame,pts_time"})
        .value("frames")
        .toArray();
}

// Sum of the packet sizes of a stream, in bytes.
inline qint64 streamBytes(const QString &path, const QString &selector)
{
    qint64 bytes = 0;
    const QJsonArray packets = probe(path, {"-select_streams", selector, "-show_entries", "packet=size"})
                                   .value("packets")
                                   .toArray();
    for (const QJsonValue &packet : packets)
        bytes += packet.toObject().value("size").toString().toLongLong();
    return bytes;
}

} // namespace Ffprobe
