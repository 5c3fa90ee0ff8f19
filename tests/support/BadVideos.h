#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#include <sys/stat.h>
#include <unistd.h>

// Videos as a damaged disk, an interrupted copy or another program leave them,
// made at path from a good AVI. Returns false when the kind could not be made.
namespace BadVideos {

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Every chunk size of the AVI's header lists and chunks set past the file's end.
inline QByteArray absurdHeader(QByteArray avi)
{
    const int movie = avi.indexOf("movi");
    for (const char *tag : {"RIFF", "hdrl", "avih", "strl", "strh", "strf"}) {
        int at = avi.indexOf(tag);
        if (at < 0 || (movie >= 0 && at > movie))
            continue;
        // A list's size stands before its type; a chunk's after its tag.
        const bool list = qstrcmp(tag, "hdrl") == 0 || qstrcmp(tag, "strl") == 0;
        at = list ? at - 4 : at + 4;
        avi.replace(at, 4, QByteArray("\xf0\xff\xff\x7f", 4));
    }
    return avi;
}

inline bool make(const QString &kind, const QString &path, const QString &goodAvi)
{
    const QByteArray avi = readAll(goodAvi);
    const QByteArray name = QFile::encodeName(path);
    if (kind == QLatin1String("fifo"))
        return mkfifo(name.constData(), 0600) == 0;
    if (kind == QLatin1String("link to a device"))
        return QFile::link(QStringLiteral("/dev/zero"), path);
    if (kind == QLatin1String("folder"))
        return QDir().mkpath(path);
    if (kind == QLatin1String("empty"))
        return writeAll(path, QByteArray());
    if (kind == QLatin1String("sparse 2 GB"))
        return writeAll(path, QByteArray()) && ::truncate(name.constData(), qint64(2) << 30) == 0;
    if (kind == QLatin1String("other format"))
        return writeAll(path, QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(4096, '\x11'));
    if (kind == QLatin1String("absurd header"))
        return writeAll(path, absurdHeader(avi));
    if (kind == QLatin1String("truncated"))
        return writeAll(path, avi.left(avi.size() / 2));
    return false;
}

}  // namespace BadVideos
