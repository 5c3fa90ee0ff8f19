#include "sensors/serial/UsbSerial.h"

#include "sensors/serial/EmulatedWire.h"
#include "sensors/serial/FtdiPort.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QSet>

#include <algorithm>
#include <climits>
#include <memory>

namespace UsbSerial {

namespace {

QMutex &registryMutex()
{
    static QMutex mutex;
    return mutex;
}

// Handles handed out and not yet closed; anything else is refused, so a stale
// or foreign handle gives InvalidHandle instead of touching freed memory.
QSet<SerialPort *> &openPorts()
{
    static QSet<SerialPort *> ports;
    return ports;
}

SerialPort *portOf(Handle handle)
{
    QMutexLocker lock(&registryMutex());
    auto *port = static_cast<SerialPort *>(handle);
    return openPorts().contains(port) ? port : nullptr;
}

template <typename Call>
Status onPort(Handle handle, Call call)
{
    SerialPort *port = portOf(handle);
    return port ? call(*port) : InvalidHandle;
}

}  // namespace

Status openByIndex(int index, Handle *handle)
{
    if (!handle)
        return InvalidParameter;
    *handle = nullptr;
    std::unique_ptr<SerialPort> port;
    const std::shared_ptr<EmulatedWire> emulated = EmulatedWire::installed();
    const Status status = emulated ? emulated->open(index, &port) : FtdiPort::open(index, &port);
    if (status != Ok)
        return status;
    QMutexLocker lock(&registryMutex());
    SerialPort *opened = port.release();
    openPorts().insert(opened);
    *handle = opened;
    return Ok;
}

Status close(Handle handle)
{
    SerialPort *port = nullptr;
    {
        QMutexLocker lock(&registryMutex());
        port = static_cast<SerialPort *>(handle);
        if (!openPorts().remove(port))
            return InvalidHandle;
    }
    delete port;
    return Ok;
}

Status read(Handle handle, void *buffer, quint32 count, quint32 *countRead)
{
    if (countRead)
        *countRead = 0;
    SerialPort *port = portOf(handle);
    if (!port)
        return InvalidHandle;
    if (!buffer && count > 0)
        return InvalidParameter;

    auto *bytes = static_cast<quint8 *>(buffer);
    QElapsedTimer clock;
    clock.start();
    quint32 received = 0;
    Status status = Ok;
    while (received < count) {
        const qint64 left = std::clamp<qint64>(qint64(port->readTimeoutMs) - clock.elapsed(), 0, INT_MAX);
        const int taken = port->receive(bytes + received, count - received, int(left));
        if (taken < 0) {
            status = IoError;
            break;
        }
        received += quint32(taken);
        if (left == 0)
            break;
    }
    port->readFinished(count, received);
    if (countRead)
        *countRead = received;
    return status;
}

Status write(Handle handle, const void *buffer, quint32 count, quint32 *countWritten)
{
    if (countWritten)
        *countWritten = 0;
    if (!buffer && count > 0)
        return portOf(handle) ? InvalidParameter : InvalidHandle;
    quint32 written = 0;
    const Status status = onPort(handle, [&](SerialPort &port) {
        return port.write(static_cast<const quint8 *>(buffer), count, &written);
    });
    if (countWritten)
        *countWritten = written;
    return status;
}

Status resetDevice(Handle handle)
{
    return onPort(handle, [](SerialPort &port) { return port.resetDevice(); });
}

Status setBaudRate(Handle handle, quint32 baudRate)
{
    return onPort(handle, [=](SerialPort &port) { return port.setBaudRate(baudRate); });
}

Status setDataCharacteristics(Handle handle, quint8 wordLength, quint8 stopBits, quint8 parity)
{
    return onPort(handle, [=](SerialPort &port) {
        return port.setDataCharacteristics(wordLength, stopBits, parity);
    });
}

Status purge(Handle handle, quint32 mask)
{
    return onPort(handle, [=](SerialPort &port) { return port.purge(mask); });
}

Status drain(Handle handle, quint32 *countDropped)
{
    quint32 dropped = 0;
    const Status status = onPort(handle, [&dropped](SerialPort &port) {
        quint8 scratch[64];
        // A unit that never stops sending cannot hold the caller here.
        constexpr quint32 bound = 1 << 16;
        for (int taken = 0; dropped < bound && (taken = port.receive(scratch, sizeof scratch, 0)) != 0;) {
            if (taken < 0)
                return IoError;
            dropped += quint32(taken);
        }
        return Ok;
    });
    if (countDropped)
        *countDropped = dropped;
    return status;
}

Status setTimeouts(Handle handle, quint32 readTimeoutMs, quint32 writeTimeoutMs)
{
    return onPort(handle, [=](SerialPort &port) {
        port.readTimeoutMs = readTimeoutMs;
        return port.setTimeouts(readTimeoutMs, writeTimeoutMs);
    });
}

Status countDevices(quint32 *count, void *, quint32 flags)
{
    if (!count || flags != ListNumberOnly)
        return InvalidParameter;
    *count = 0;
    const std::shared_ptr<EmulatedWire> emulated = EmulatedWire::installed();
    return emulated ? emulated->countDevices(count) : FtdiPort::countDevices(count);
}

Status furtherCall(Handle handle)
{
    return onPort(handle, [](SerialPort &port) { return port.furtherCall(); });
}

}  // namespace UsbSerial
