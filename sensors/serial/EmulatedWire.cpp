#include "sensors/serial/EmulatedWire.h"

#include "sensors/serial/EmulatedPort.h"

#include <algorithm>
#include <cstring>

using namespace UsbSerial;

namespace {

QMutex &installMutex()
{
    static QMutex mutex;
    return mutex;
}

std::shared_ptr<EmulatedWire> &installedWire()
{
    static std::shared_ptr<EmulatedWire> wire;
    return wire;
}

}  // namespace

EmulatedWire::EmulatedWire()
{
    m_clock.start();
}

std::shared_ptr<EmulatedWire> EmulatedWire::installed()
{
    QMutexLocker lock(&installMutex());
    return installedWire();
}

void EmulatedWire::install(const std::shared_ptr<EmulatedWire> &wire)
{
    QMutexLocker lock(&installMutex());
    installedWire() = wire;
}

void EmulatedWire::uninstall(const EmulatedWire *wire)
{
    QMutexLocker lock(&installMutex());
    if (installedWire().get() == wire)
        installedWire().reset();
}

Status EmulatedWire::open(int index, std::unique_ptr<SerialPort> *port)
{
    QMutexLocker lock(&m_mutex);
    m_calls << QStringLiteral("open %1").arg(index);
    if (!m_present || index != 0)
        return DeviceNotFound;
    // Like the chip: one handle at a time.
    if (m_open)
        return DeviceNotOpened;
    m_open = true;
    port->reset(new EmulatedPort(shared_from_this()));
    return Ok;
}

Status EmulatedWire::countDevices(quint32 *count)
{
    QMutexLocker lock(&m_mutex);
    m_calls << QStringLiteral("countDevices");
    *count = m_present ? 1 : 0;
    return Ok;
}

void EmulatedWire::note(const QString &call)
{
    QMutexLocker lock(&m_mutex);
    m_calls << call;
}

void EmulatedWire::portClosed()
{
    QMutexLocker lock(&m_mutex);
    m_calls << QStringLiteral("close");
    m_open = false;
    m_pending.clear();
}

Status EmulatedWire::write(const quint8 *bytes, quint32 count, quint32 *countWritten)
{
    const QByteArray command(reinterpret_cast<const char *>(bytes), int(count));
    QMutexLocker lock(&m_mutex);
    m_calls << QStringLiteral("write ") + QString::fromLatin1(command.toHex());
    if (m_writesFail) {
        *countWritten = 0;
        return IoError;
    }
    m_commands << command;
    *countWritten = count;
    if (const std::optional<Reply> reply = takeReplyTo(command))
        scheduleReply(*reply);
    return Ok;
}

std::optional<EmulatedWire::Reply> EmulatedWire::takeReplyTo(const QByteArray &command)
{
    const auto found = m_replies.find(command);
    if (found == m_replies.end())
        return m_otherReply;
    QList<Reply> &queue = found.value();
    // The last scripted reply to a command stays and answers every further one.
    return queue.size() > 1 ? queue.takeFirst() : queue.first();
}

void EmulatedWire::scheduleReply(const Reply &reply)
{
    if (reply.bytes.isEmpty())
        return;
    // The unit answers in order: a reply never overtakes a stalled one before it.
    qint64 due = m_clock.elapsed() + reply.delayMs;
    if (!m_pending.isEmpty())
        due = std::max(due, m_pending.last().dueMs);
    m_pending << Arrival{due, reply.bytes};
    m_arrived.wakeAll();
}

int EmulatedWire::takeArrived(quint8 *buffer, quint32 max)
{
    const qint64 now = m_clock.elapsed();
    quint32 taken = 0;
    while (taken < max && !m_pending.isEmpty() && m_pending.first().dueMs <= now) {
        QByteArray &bytes = m_pending.first().bytes;
        const quint32 part = std::min<quint32>(max - taken, quint32(bytes.size()));
        std::memcpy(buffer + taken, bytes.constData(), part);
        taken += part;
        bytes.remove(0, int(part));
        if (bytes.isEmpty())
            m_pending.removeFirst();
    }
    return int(taken);
}

int EmulatedWire::receive(quint8 *buffer, quint32 max, int waitMs)
{
    QMutexLocker lock(&m_mutex);
    const qint64 deadline = m_clock.elapsed() + waitMs;
    for (;;) {
        const int taken = takeArrived(buffer, max);
        const qint64 now = m_clock.elapsed();
        if (taken > 0 || now >= deadline)
            return taken;
        qint64 wakeAt = deadline;
        if (!m_pending.isEmpty())
            wakeAt = std::min(wakeAt, m_pending.first().dueMs);
        m_arrived.wait(&m_mutex, quint64(std::max<qint64>(1, wakeAt - now)));
    }
}

void EmulatedWire::dropPending()
{
    QMutexLocker lock(&m_mutex);
    m_pending.clear();
}

void EmulatedWire::setPresent(bool present)
{
    QMutexLocker lock(&m_mutex);
    m_present = present;
}

void EmulatedWire::answer(const QByteArray &command, const QByteArray &reply, int delayMs)
{
    QMutexLocker lock(&m_mutex);
    m_replies[command] << Reply{reply, delayMs};
}

void EmulatedWire::answerOthers(const QByteArray &reply, int delayMs)
{
    QMutexLocker lock(&m_mutex);
    m_otherReply = Reply{reply, delayMs};
}

void EmulatedWire::setWritesFail(bool fail)
{
    QMutexLocker lock(&m_mutex);
    m_writesFail = fail;
}

bool EmulatedWire::isOpen() const
{
    QMutexLocker lock(&m_mutex);
    return m_open;
}

QStringList EmulatedWire::calls() const
{
    QMutexLocker lock(&m_mutex);
    return m_calls;
}

QList<QByteArray> EmulatedWire::commands() const
{
    QMutexLocker lock(&m_mutex);
    return m_commands;
}

void EmulatedWire::clearLog()
{
    QMutexLocker lock(&m_mutex);
    m_calls.clear();
    m_commands.clear();
}
