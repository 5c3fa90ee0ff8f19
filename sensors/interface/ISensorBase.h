#pragma once

#include <QString>
#include <QStringList>
#include <QUuid>

// A measuring unit as the program drives it. Each plug-in creates its device with
// _createObject and only its own _deleteObject may destroy it. No operation throws;
// a failure is false or -1. The order of the operations is the plug-ins' binary
// contract and does not change.
class ISensorBase
{
public:
    // Room that version() needs for every unit's identification.
    static constexpr int VersionSize = 32;

    virtual ~ISensorBase() = default;

    // Opens device 0, configures it and checks that the unit answers. The argument is unused.
    virtual bool open(const QString &port) = 0;
    // Always true.
    virtual bool close() = 0;
    // frame: the first of a SensorFrame's entries; left untouched on failure.
    virtual bool readFrame(qint16 *frame) = 0;
    // 1 for a code the recording may hold on this unit, -1 otherwise.
    virtual int channelSupported(int code) const = 0;
    // Russian for exactly "ru", else Latin.
    virtual QString name(const QString &language) const = 0;
    virtual bool setGain(int code, int gainIndex) = 0;
    virtual bool setShift(int code, int shift) = 0;
    virtual bool setMode(bool mode) = 0;
    virtual bool mode() const = 0;
    virtual int reserved() const = 0;
    virtual QUuid typeId() const = 0;
    // Copies the unit's identification into out, which holds size bytes; false, with
    // nothing written, when the unit does not answer or the identification does not fit.
    virtual bool version(char *out, int size) = 0;
    virtual bool setExtraMode(int mode) = 0;
    virtual QStringList extraChannelNames(const QString &language) const = 0;
    virtual int extraFlag() const = 0;
};
