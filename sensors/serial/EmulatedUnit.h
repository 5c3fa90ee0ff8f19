#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <memory>

class EmulatedWire;

// A measuring unit without hardware: while an EmulatedUnit exists it is device
// index 0 of this process for every UsbSerial caller, plug-ins loaded at run time
// included, and no real unit is touched.
//
// Replies are scripted per command, matched against the bytes of one write call:
//   unit.answer("go__", frame);            full reply
//   unit.answer("go__", frame.left(7));    short reply
//   unit.answer("go__", "ko...");          wrong prefix
//   unit.answer("go__", QByteArray());     silence (the same as no script at all)
//   unit.answer("go__", frame, 1000);      stalls: arrives after 1000 ms
// Several replies to one command are used in order; the last one repeats.
// The log holds every call in order, e.g. "open 0", "setTimeouts 400 400",
// "setBaudRate 115200", "setDataCharacteristics 8 0 0", "purge 3", "resetDevice",
// "furtherCall", "countDevices", "write 676f5f5f" (bytes in hex),
// "read 20 -> 14" (asked, received), "close".
class EmulatedUnit
{
public:
    EmulatedUnit();
    ~EmulatedUnit();
    EmulatedUnit(const EmulatedUnit &) = delete;
    EmulatedUnit &operator=(const EmulatedUnit &) = delete;

    // false: no unit is attached at all (open fails, the count is 0).
    void setPresent(bool present);
    void answer(const QByteArray &command, const QByteArray &reply, int delayMs = 0);
    // The reply to every command that has no script of its own.
    void answerOthers(const QByteArray &reply, int delayMs = 0);
    // true: every write fails with IoError and nothing is sent.
    void setWritesFail(bool fail);

    bool isOpen() const;
    QStringList calls() const;
    // The bytes of each successful write, in order.
    QList<QByteArray> commands() const;
    // All of them joined.
    QByteArray written() const;
    void clearLog();

private:
    std::shared_ptr<EmulatedWire> m_wire;
};
