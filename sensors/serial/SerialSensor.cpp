#include "sensors/serial/SerialSensor.h"

SerialSensor::SerialSensor(const SensorIdentity &identity, AdditionalInput input, int extraFlag)
    : IdentifiedSensor(identity)
    , m_input(input)
    , m_extraFlag(extraFlag)
{
}

bool SerialSensor::open(const QString &)
{
    return false;
}

bool SerialSensor::close()
{
    m_link.close();
    return true;
}

bool SerialSensor::readFrame(qint16 *)
{
    return false;
}

bool SerialSensor::setGain(int, int)
{
    return false;
}

bool SerialSensor::setShift(int, int)
{
    return false;
}

bool SerialSensor::setMode(bool mode)
{
    m_mode = mode;
    return true;
}

bool SerialSensor::mode() const
{
    return m_mode;
}

int SerialSensor::reserved() const
{
    return 0;
}

bool SerialSensor::version(char *, int)
{
    return false;
}

bool SerialSensor::setExtraMode(int)
{
    return false;
}

QStringList SerialSensor::extraChannelNames(const QString &language) const
{
    if (m_input == AdditionalInput::None)
        return {};
    return SensorIdentity::additionalInputNames(language);
}

int SerialSensor::extraFlag() const
{
    return m_extraFlag;
}
