#pragma once

#include <QByteArray>
#include <QIODevice>

// A microphone's pull-mode device: sound the test feeds, read at the
// recorder's pace.
class SyntheticMicrophone : public QIODevice
{
    Q_OBJECT

public:
    SyntheticMicrophone();
    void feed(const QByteArray &sound);
    qint64 bytesAvailable() const override;
    bool isSequential() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    QByteArray m_sound;
};
