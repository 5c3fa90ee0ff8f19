#include "app/FreeMemory.h"

#include <QFile>

#include <sys/sysinfo.h>

namespace FreeMemory {

quint64 availableBytes(const QByteArray &meminfo)
{
    for (const QByteArray &line : meminfo.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.value(0) == "MemAvailable:")
            return fields.value(1).toULongLong() * 1024;
    }
    return 0;
}

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

quint64 currentAvailableBytes()
{
    // Read whole: the kernel's files report a size of 0, so atEnd() holds at once.
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    return meminfo.open(QIODevice::ReadOnly) ? availableBytes(meminfo.readAll()) : 0;
}

QString currentText()
{
    struct sysinfo info {};
    if (sysinfo(&info) != 0)
        return text(0, 0);
    quint64 available = currentAvailableBytes();
    if (available == 0)
        available = quint64(info.freeram) * info.mem_unit;
    return text(available, quint64(info.totalram) * info.mem_unit);
}

} // namespace FreeMemory
