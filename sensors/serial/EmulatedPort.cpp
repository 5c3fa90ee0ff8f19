#include "sensors/serial/EmulatedPort.h"

#include "sensors/serial/EmulatedWire.h"

using namespace UsbSerial;

EmulatedPort::EmulatedPort(std::shared_ptr<EmulatedWire> wire)
    : m_wire(std::move(wire))
{
}

EmulatedPort::~EmulatedPort()
{
    m_wire->portClosed();
}

Status EmulatedPort::write(const quint8 *bytes, quint32 count, quint32 *countWritten)
{
    return m_wire->write(bytes, count, countWritten);
}

int EmulatedPort::receive(quint8 *buffer, quint32 max, int waitMs)
{
    return m_wire->receive(buffer, max, waitMs);
}

void EmulatedPort::readFinished(quint32 requested, quint32 received)
{
    m_wire->note(QStringLiteral("read %1 -> %2").arg(requested).arg(received));
}

Status EmulatedPort::resetDevice()
{
    m_wire->note(QStringLiteral("resetDevice"));
    m_wire->dropPending();
    return Ok;
}

Status EmulatedPort::setBaudRate(quint32 baudRate)
{
    m_wire->note(QStringLiteral("setBaudRate %1").arg(baudRate));
    return Ok;
}

Status EmulatedPort::setDataCharacteristics(quint8 wordLength, quint8 stopBits, quint8 parity)
{
    m_wire->note(QStringLiteral("setDataCharacteristics %1 %2 %3").arg(wordLength).arg(stopBits).arg(parity));
    return Ok;
}

Status EmulatedPort::purge(quint32 mask)
{
    m_wire->note(QStringLiteral("purge %1").arg(mask));
    if (mask & PurgeRx)
        m_wire->dropPending();
    return Ok;
}

Status EmulatedPort::setTimeouts(quint32 readTimeoutMs, quint32 writeTimeoutMs)
{
    m_wire->note(QStringLiteral("setTimeouts %1 %2").arg(readTimeoutMs).arg(writeTimeoutMs));
    return Ok;
}

Status EmulatedPort::furtherCall()
{
    m_wire->note(QStringLiteral("furtherCall"));
    return Ok;
}
