#include "recording/SensorUnit.h"

bool SensorUnit::bind(const QString &folder, const QString &fileName)
{
    return m_plugin.bind(SensorPlugin::pathInFolder(folder, fileName));
}

bool SensorUnit::open()
{
    ISensorBase *device = m_plugin.device();
    if (device->open(QString()))
        return true;
    // A unit that answered wrongly keeps its handle until closed.
    device->close();
    return false;
}

void SensorUnit::close()
{
    m_plugin.device()->close();
}

void SensorUnit::makeArrays(Inspection::_Test &test, int capacity) const
{
    ISensorBase *device = m_plugin.device();
    for (int code = 0; code < ChannelCode::Count; ++code) {
        if (device->channelSupported(code) >= 0)
            test.samples(code)->fill(0, capacity);
    }
}

void SensorUnit::configureChannels(Inspection::_Test &test, const std::atomic<bool> &stop)
{
    ISensorBase *device = m_plugin.device();
    for (int code = 0; code < ChannelCode::Count && !stop; ++code) {
        Inspection::_Channel &channel = test.channel(code);
        channel.KodDrv = device->channelSupported(code);
        if (channel.KodDrv < 0)
            continue;
        device->setShift(code, channel.ShiftADT);
        device->setGain(code, channel.ADT);
    }
}

QList<QString> SensorUnit::extraChannelNames() const
{
    QList<QString> names;
    for (const QString &name : m_plugin.device()->extraChannelNames(SensorPlugin::userLanguage()))
        names << SensorPlugin::copiedOutOfLibrary(name);
    return names;
}

bool SensorUnit::readFrame(SensorFrame &frame)
{
    const bool ok = m_plugin.device()->readFrame(frame.data());
    m_lineErrors = m_plugin.lineErrors();
    return ok;
}

void SensorUnit::sendPendingChanges(Inspection::_Test &test)
{
    // The writer sets the value, then the flag: clearing the flag first never loses a newer value.
    ISensorBase *device = m_plugin.device();
    for (int code = 0; code < ChannelCode::Count; ++code) {
        Inspection::_Channel &channel = test.channel(code);
        if (channel.ADTChanged) {
            channel.ADTChanged = false;
            device->setGain(code, channel.ADT);
        } else if (channel.ShiftADTChanged) {
            channel.ShiftADTChanged = false;
            device->setShift(code, channel.ShiftADT);
        } else if (test.extraModeChanged) {
            test.extraModeChanged = false;
            device->setExtraMode(test.extraMode);
        }
    }
}

void SensorUnit::reopen(Inspection::_Test &test, const std::atomic<bool> &stop)
{
    ISensorBase *device = m_plugin.device();
    device->close();
    if (stop)
        return;
    device->open(QString());
    configureChannels(test, stop);
}
