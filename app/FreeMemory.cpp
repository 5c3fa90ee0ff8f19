#include "app/FreeMemory.h"

#include <QFile>

#include <sys/sysinfo.h>

namespace FreeMemory {

namespace {

// What the kernel says could be handed out without swapping, page cache
// included; sysinfo's free figure leaves the cache out and reads far too low.
quint64 memAvailableBytes()
{
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (!meminfo.open(QIODevice::ReadOnly))
        return 0;
    while (!meminfo.atEnd()) {
        const QByteArray line = meminfo.readLine().simplified();
        if (line.startsWith("MemAvailable:"))
            return line.split(' ').value(1).toULongLong() * 1024;
    }
    return 0;
}

} // namespace

QString text(quint64 availableBytes, quint64 totalBytes)
{
    if (availableBytes == 0 || totalBytes == 0)
        return QStringLiteral("0");
    const double gib = 1024.0 * 1024.0 * 1024.0;
    return QStringLiteral("%1/%2 GB (%3%)")
        .arg(availableBytes / gib, 0, 'f', 1)
        .arg(totalBytes / gib, 0, 'f', 1)
        .arg(100.0 * availableBytes / totalBytes, 0, 'f', 1);
}

QString currentText()
{
    struct sysinfo info {};
    if (sysinfo(&info) != 0)
        return text(0, 0);
    quint64 available = memAvailableBytes();
    if (available == 0)
        available = quint64(info.freeram) * info.mem_unit;
    return text(available, quint64(info.totalram) * info.mem_unit);
}

} // namespace FreeMemory
