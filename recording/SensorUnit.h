#pragma once

#include "data/Inspection.h"
#include "sensors/interface/SensorFrame.h"
#include "sensors/interface/SensorPlugin.h"

#include <QList>
#include <QString>
#include <QUuid>

#include <atomic>

// The acquisition unit of a recording, through its plug-in: opened, its
// channels set up from the test's channel records, one frame read a tick, the
// examiner's changes of gain and zero sent between two reads, and reopened
// after a read that failed. Used on the acquisition thread; the line errors
// may be read from any.
class SensorUnit
{
public:
    // False, and nothing bound, when the plug-in of that file of the folder does not load.
    bool bind(const QString &folder, const QString &fileName);
    // False, and the unit closed again, when it does not answer.
    bool open();
    void close();
    // Destroys the device and unloads its plug-in.
    void release() { m_plugin.release(); }

    QUuid typeId() const { return m_plugin.device()->typeId(); }
    // The arrays of the channels the unit has, capacity positions of zeros.
    void makeArrays(Inspection::_Test &test, int capacity) const;
    // Takes the unit's channel numbers into the test's records and sends their
    // gain and zero; stops early once stop is set.
    void configureChannels(Inspection::_Test &test, const std::atomic<bool> &stop);
    // Names of the unit's extra channels in the user's language.
    QList<QString> extraChannelNames() const;

    // One frame; false when the unit gave none.
    bool readFrame(SensorFrame &frame);
    // Sends one change the examiner made since the last read, per channel.
    void sendPendingChanges(Inspection::_Test &test);
    // Closes the unit and, unless stop is set, opens and configures it again.
    void reopen(Inspection::_Test &test, const std::atomic<bool> &stop);

    // Replies the unit sent unasked, dropped by its plug-in, as of the last read.
    quint64 lineErrors() const { return m_lineErrors; }

private:
    SensorPlugin m_plugin;
    std::atomic<quint64> m_lineErrors{0};
};
