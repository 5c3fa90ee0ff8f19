#include "sensors/serial/MirelSensor.h"

MirelSensor::MirelSensor(const SensorIdentity &identity, int cuffDivisor, Acknowledgement acknowledgement)
    : CommandSensor(identity, 0, UnitCommand::Letters::Mirel, acknowledgement)
    , m_cuffDivisor(cuffDivisor)
{
}

bool MirelSensor::open(const QString &)
{
    // The unit wants its line opened and set up twice before it answers reliably.
    for (int i = 0; i < 2; ++i) {
        if (!m_link.open())
            return false;
        UsbSerial::setTimeouts(m_link.handle(), 400, 400);
        setLineFormat();
    }
    return answersFrames(1, FrameLength);
}

bool MirelSensor::readFrame(qint16 *frame)
{
    char reply[FrameLength];
    Words words;
    if (!frame || !requestWords(reply, FrameLength, QSysInfo::LittleEndian, words))
        return false;
    for (int i = 0; i < int(AnalogueWordCodes.size()); ++i)
        frame[AnalogueWordCodes[i]] = sample(words[i]);
    frame[ChannelCode::AD2] = qint16(qint16(words[8]) / m_cuffDivisor);
    return true;
}

bool MirelSensor::version(char *out, int size)
{
    // The identification and two terminating zero bytes.
    return identify(out, size, IdentificationLength, IdentificationLength + 2, 10, 100);
}
