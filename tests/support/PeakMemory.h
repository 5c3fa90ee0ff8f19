#pragma once

#include <QFile>
#include <QString>

// How far the process's resident memory rose at its peak since this was
// made. Linux keeps the peak (VmHWM) until it is reset through clear_refs.
class PeakMemory
{
public:
    PeakMemory()
    {
        QFile reset(QStringLiteral("/proc/self/clear_refs"));
        if (reset.open(QIODevice::WriteOnly))
            reset.write("5");
        m_start = kilobytes("VmRSS:");
    }
    qint64 growthBytes() const { return (kilobytes("VmHWM:") - m_start) << 10; }

private:
    static qint64 kilobytes(const char *key)
    {
        QFile status(QStringLiteral("/proc/self/status"));
        status.open(QIODevice::ReadOnly);
        const QString text = QString::fromLatin1(status.readAll());
        return text.section(QLatin1String(key), 1).section(QStringLiteral("kB"), 0, 0).trimmed().toLongLong();
    }
    qint64 m_start = 0;
};
