#pragma once

#include "sensors/interface/IdentifiedSensor.h"

// Synthetic signals without hardware, so the program can be shown and tried.
// Every device of the process advances one shared sample counter.
class CSensorDemo : public IdentifiedSensor
{
public:
    CSensorDemo();
    bool open(const QString &port) override;
    bool close() override;
    bool readFrame(qint16 *frame) override;
    bool setGain(int code, int gainIndex) override;
    bool setShift(int code, int shift) override;
    bool setMode(bool mode) override;
    bool mode() const override;
    int reserved() const override;
    bool version(char *out, int size) override;
    bool setExtraMode(int mode) override;
    QStringList extraChannelNames(const QString &language) const override;
    int extraFlag() const override;

    // The signal value at step k.
    static int signalAt(int step);
};
