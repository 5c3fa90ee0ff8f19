#pragma once

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

// A video at path as a damaged disk, an interrupted copy or another program
// leaves it, made from a good AVI; false when it could not be made.
inline bool makeBadVideo(const QString &kind, const QString &path, const QString &goodAvi)
{
    QFile good(goodAvi);
    QByteArray avi = good.open(QIODevice::ReadOnly) ? good.readAll() : QByteArray();
    const QByteArray name = QFile::encodeName(path);
    if (kind == "fifo")
        return mkfifo(name.constData(), 0600) == 0;
    if (kind == "link to a device")
        return QFile::link("/dev/zero", path);
    if (kind == "folder")
        return QDir().mkpath(path);
    if (kind == "truncated")
        avi.truncate(avi.size() / 2);
    // Every size of the header's lists and chunks past the file's end.
    for (const char *tag : {"RIFF", "hdrl", "avih", "strl", "strh", "strf"}) {
        const int at = avi.indexOf(tag);
        if (kind == "absurd header" && at >= 0)
            avi.replace(qstrcmp(tag, "hdrl") == 0 || qstrcmp(tag, "strl") == 0 ? at - 4 : at + 4, 4, "\xf0\xff\xff\x7f");
    }
    QFile file(path);
    const QByteArray bytes = kind == "other format" ? QByteArray("\x89PNG\r\n\x1a\n") + QByteArray(4096, '\x11')
                             : kind == "empty" || kind == "sparse 2 GB" ? QByteArray()
                                                                        : avi;
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
           && (kind != "sparse 2 GB" || file.resize(qint64(2) << 30));
}
