#include "tests/support/SyntheticMicrophone.h"

#include <cstring>

SyntheticMicrophone::SyntheticMicrophone() { open(QIODevice::ReadOnly); }

void SyntheticMicrophone::feed(const QByteArray &sound)
{
    m_sound.append(sound);
    emit readyRead();
}

qint64 SyntheticMicrophone::bytesAvailable() const { return m_sound.size() + QIODevice::bytesAvailable(); }

bool SyntheticMicrophone::isSequential() const { return true; }

qint64 SyntheticMicrophone::readData(char *data, qint64 maxSize)
{
    const int taken = int(qMin<qint64>(maxSize, m_sound.size()));
    std::memcpy(data, m_sound.constData(), size_t(taken));
    m_sound.remove(0, taken);
    return taken;
}

qint64 SyntheticMicrophone::writeData(const char *, qint64) { return -1; }
