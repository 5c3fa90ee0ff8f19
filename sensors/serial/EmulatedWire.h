#pragma once

#include "sensors/serial/SerialPort.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QStringList>
#include <QWaitCondition>

#include <memory>
#include <optional>

// The state of an emulated unit shared by its EmulatedUnit and the port of an
// open handle: the scripted replies, the bytes on their way back, and the log.
class EmulatedWire : public std::enable_shared_from_this<EmulatedWire>
{
public:
    EmulatedWire();

    static std::shared_ptr<EmulatedWire> installed();
    static void install(const std::shared_ptr<EmulatedWire> &wire);
    static void uninstall(const EmulatedWire *wire);

    // What the layer asks before a port exists.
    UsbSerial::Status open(int index, std::unique_ptr<SerialPort> *port);
    UsbSerial::Status countDevices(quint32 *count);

    // What an open port does.
    void note(const QString &call);
    void portClosed();
    UsbSerial::Status write(const quint8 *bytes, quint32 count, quint32 *countWritten);
    int receive(quint8 *buffer, quint32 max, int waitMs);
    void dropPending();

    // How a test scripts the unit.
    void setPresent(bool present);
    void answer(const QByteArray &command, const QByteArray &reply, int delayMs);
    void answerOthers(const QByteArray &reply, int delayMs);
    void setWritesFail(bool fail);

    bool isOpen() const;
    QStringList calls() const;
    QList<QByteArray> commands() const;
    void clearLog();

private:
    struct Reply
    {
        QByteArray bytes;
        int delayMs = 0;
    };
    struct Arrival
    {
        qint64 dueMs = 0;
        QByteArray bytes;
    };

    std::optional<Reply> takeReplyTo(const QByteArray &command);
    void scheduleReply(const Reply &reply);
    int takeArrived(quint8 *buffer, quint32 max);

    mutable QMutex m_mutex;
    QWaitCondition m_arrived;
    QElapsedTimer m_clock;
    bool m_present = true;
    bool m_open = false;
    bool m_writesFail = false;
    QHash<QByteArray, QList<Reply>> m_replies;
    std::optional<Reply> m_otherReply;
    QList<Arrival> m_pending;
    QStringList m_calls;
    QList<QByteArray> m_commands;
};
