#pragma once

#include "SensorFiles.h"
#include "sensors/interface/SensorFrame.h"
#include "sensors/interface/SensorPlugin.h"
#include "sensors/serial/EmulatedUnit.h"

#include <QByteArray>
#include <QMetaType>
#include <QStringList>

#include <array>

// Replies of the Mirel, KVZ2 and Vorkel units built by hand, byte for byte.
namespace CommandUnits {

using Words = std::array<quint16, 9>;
// What each of the nine words decodes to.
using WordValues = std::array<int, 9>;

// What a device leaves alone keeps this.
constexpr qint16 Untouched = 12345;

inline QString pluginPath(const QString &fileName)
{
    return binFolder() + "/" + fileName;
}

inline SensorFrame markedFrame()
{
    SensorFrame frame;
    frame.fill(Untouched);
    return frame;
}

// "ok" and the nine words, low byte first (Mirel family, KVZ2): 20 bytes.
inline QByteArray littleEndianFrame(const Words &words)
{
    QByteArray reply("ok");
    for (quint16 word : words) {
        reply += char(word & 0xFF);
        reply += char(word >> 8);
    }
    return reply;
}

// "ok", the nine words high byte first and the two cuff characters (Vorkel): 22 bytes.
inline QByteArray bigEndianFrame(const Words &words, const QByteArray &cuff = "00")
{
    QByteArray reply("ok");
    for (quint16 word : words) {
        reply += char(word >> 8);
        reply += char(word & 0xFF);
    }
    return reply + cuff;
}

inline bool isVorkel(const QString &fileName)
{
    return fileName.startsWith("vugSensorVorkel");
}

inline Words sameWords(quint16 word)
{
    Words words;
    words.fill(word);
    return words;
}

// A whole frame of the plug-in's unit with every word at its centre.
inline QByteArray centreFrame(const QString &fileName)
{
    return isVorkel(fileName) ? bigEndianFrame(sameWords(0x8000)) : littleEndianFrame(sameWords(0x0800));
}

// Binds the plug-in and opens it against a unit that answers frames and every
// other command; the log starts after the open.
inline bool openAnswered(EmulatedUnit &unit, SensorPlugin &plugin, const QString &fileName)
{
    unit.answer("go__", centreFrame(fileName));
    unit.answerOthers("ack!");
    if (!plugin.bind(pluginPath(fileName)) || !plugin.device()->open(QString()))
        return false;
    unit.clearLog();
    return true;
}

// The frame read from a unit that gives this reply to every frame request.
inline SensorFrame frameFrom(const QString &fileName, const QByteArray &reply, bool *read)
{
    EmulatedUnit unit;
    unit.answer("go__", reply);
    SensorPlugin plugin;
    SensorFrame frame = markedFrame();
    *read = plugin.bind(pluginPath(fileName)) && plugin.device()->open(QString())
        && plugin.device()->readFrame(frame.data());
    return frame;
}

// How often the log holds the call.
inline int countOf(const QStringList &calls, const QString &call)
{
    return int(calls.count(call));
}

}  // namespace CommandUnits

Q_DECLARE_METATYPE(CommandUnits::Words)
Q_DECLARE_METATYPE(CommandUnits::WordValues)
