#pragma once

#include "sensors/interface/ISensorBase.h"

// Synthetic signals without hardware, so the program can be shown and tried.
// Every device of the process advances one shared sample counter.
class CSensorDemo : public ISensorBase
{
public:
    bool open(const QString &port) override;
    bool close() override;
    bool readFrame(qint16 *frame) override;
    int channelSupported(int code) const override;
    QString name(const QString &language) const override;
    bool setGain(int code, int gainIndex) override;
    bool setShift(int code, int shift) override;
    bool setMode(bool mode) override;
    bool mode() const override;
    int reserved() const override;
    QUuid typeId() const override;
    bool version(char *out, int size) override;
    bool setExtraMode(int mode) override;
    QStringList extraChannelNames(const QString &language) const override;
    int extraFlag() const override;

    // The signal value at step k.
    static int signalAt(int step);
};
