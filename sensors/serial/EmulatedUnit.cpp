#include "sensors/serial/EmulatedUnit.h"

#include "sensors/serial/EmulatedWire.h"

EmulatedUnit::EmulatedUnit()
    : m_wire(std::make_shared<EmulatedWire>())
{
    EmulatedWire::install(m_wire);
}

EmulatedUnit::~EmulatedUnit()
{
    EmulatedWire::uninstall(m_wire.get());
}

void EmulatedUnit::setPresent(bool present)
{
    m_wire->setPresent(present);
}

void EmulatedUnit::answer(const QByteArray &command, const QByteArray &reply, int delayMs)
{
    m_wire->answer(command, reply, delayMs);
}

void EmulatedUnit::answerOthers(const QByteArray &reply, int delayMs)
{
    m_wire->answerOthers(reply, delayMs);
}

void EmulatedUnit::setWritesFail(bool fail)
{
    m_wire->setWritesFail(fail);
}

bool EmulatedUnit::isOpen() const
{
    return m_wire->isOpen();
}

QStringList EmulatedUnit::calls() const
{
    return m_wire->calls();
}

QList<QByteArray> EmulatedUnit::commands() const
{
    return m_wire->commands();
}

QByteArray EmulatedUnit::written() const
{
    QByteArray all;
    for (const QByteArray &command : m_wire->commands())
        all += command;
    return all;
}

void EmulatedUnit::clearLog()
{
    m_wire->clearLog();
}
