#pragma once

#include "sensors/interface/ISensorBase.h"
#include "sensors/serial/SerialLink.h"

// The Sentak unit over USB-serial; its protocol is not spoken yet, so open fails.
class CSensorSentak : public ISensorBase
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

private:
    bool m_mode = false;
    SerialLink m_link;
};
