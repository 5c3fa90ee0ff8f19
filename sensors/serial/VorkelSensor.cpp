#include "sensors/serial/VorkelSensor.h"

#include <cctype>

VorkelSensor::VorkelSensor(const SensorIdentity &identity, int extraFlag)
    : CommandSensor(identity, extraFlag, UnitCommand::Letters::Vorkel, Acknowledgement::FullReply)
{
}

bool VorkelSensor::readFrame(qint16 *frame)
{
    char reply[FrameLength];
    Words words;
    if (!frame || !requestWords(reply, FrameLength, QSysInfo::BigEndian, words))
        return false;
    for (int i = 0; i < int(AnalogueWordCodes.size()); ++i)
        frame[AnalogueWordCodes[i]] = sample(AnalogueWordCodes[i], words[i]);
    frame[ChannelCode::MIC] = sample(ChannelCode::MIC, words[8]);
    frame[ChannelCode::AD2] = cuffPressure(reply + ReplyPrefixSize + 18);
    return true;
}

bool VorkelSensor::version(char *out, int size)
{
    // Kept as it came over the wire; a reply that begins with a zero byte is no identification.
    return identify(out, size, FrameLength, FrameLength, 1, 0) && out[0] && out[1] && out[2];
}

qint16 VorkelSensor::cuffPressure(const char *text)
{
    if (text[0] == 'O' && text[1] == 'L')
        return -1;
    int i = 0;
    while (i < 2 && std::isspace(uchar(text[i])))
        ++i;
    const bool negative = i < 2 && text[i] == '-';
    if (i < 2 && (text[i] == '-' || text[i] == '+'))
        ++i;
    int value = 0;
    for (; i < 2 && std::isdigit(uchar(text[i])); ++i)
        value = value * 10 + (text[i] - '0');
    return qint16(negative ? -value : value);
}
