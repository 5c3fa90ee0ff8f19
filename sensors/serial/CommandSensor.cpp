#include "sensors/serial/CommandSensor.h"

#include <QThread>
#include <QtEndian>

#include <cstring>

CommandSensor::CommandSensor(const SensorIdentity &identity, int extraFlag, UnitCommand::Letters letters,
                             Acknowledgement acknowledgement)
    : SerialSensor(identity, AdditionalInput::PgOrGsr, extraFlag)
    , m_letters(letters)
    , m_acknowledgement(acknowledgement)
{
}

bool CommandSensor::setGain(int code, int gainIndex)
{
    const char letter = UnitCommand::channelLetter(m_letters, code);
    return letter && acknowledged(UnitCommand::gain(letter, gainIndex));
}

bool CommandSensor::setShift(int code, int shift)
{
    const char letter = UnitCommand::channelLetter(m_letters, code);
    return letter && acknowledged(UnitCommand::shift(letter, shift));
}

bool CommandSensor::setExtraMode(int mode)
{
    const std::optional<UnitCommand> command = UnitCommand::extraInput(mode);
    return command && acknowledged(*command);
}

void CommandSensor::setLineFormat()
{
    UsbSerial::setBaudRate(m_link.handle(), 115200);
    UsbSerial::setDataCharacteristics(m_link.handle(), UsbSerial::Bits8, UsbSerial::StopBits1, UsbSerial::ParityNone);
}

bool CommandSensor::requestFrame(char *reply, int length)
{
    std::memset(reply, 0, size_t(length));
    return exchange(UnitCommand::frame(mode()), reply, length) == length && reply[0] == 'o' && reply[1] == 'k';
}

bool CommandSensor::requestWords(char *reply, int length, QSysInfo::Endian order, Words &words)
{
    if (!requestFrame(reply, length))
        return false;
    for (int i = 0; i < FrameWords; ++i) {
        const char *at = reply + ReplyPrefixSize + 2 * i;
        words[i] = order == QSysInfo::BigEndian ? qFromBigEndian<quint16>(at) : qFromLittleEndian<quint16>(at);
    }
    return true;
}

bool CommandSensor::answersFrames(int tries, int length)
{
    char reply[32];
    for (int i = 0; i < tries; ++i) {
        if (requestFrame(reply, length))
            return true;
    }
    return false;
}

bool CommandSensor::identify(char *out, int size, int length, int copyLength, int tries, int pauseMs)
{
    char reply[32];
    if (!out || size < copyLength || copyLength > int(sizeof reply))
        return false;
    for (int i = 0; i < tries; ++i) {
        std::memset(reply, 0, sizeof reply);
        if (exchange(UnitCommand::identification(), reply, length) == length) {
            std::memcpy(out, reply, size_t(copyLength));
            return true;
        }
        QThread::msleep(ulong(pauseMs));
    }
    return false;
}

int CommandSensor::exchange(const UnitCommand &command, char *reply, int length)
{
    quint32 unasked = 0;
    if (UsbSerial::drain(m_link.handle(), &unasked) == UsbSerial::Ok && unasked > 0)
        ++m_lineErrors;
    quint32 written = 0;
    if (UsbSerial::write(m_link.handle(), command.data(), UnitCommand::Size, &written) != UsbSerial::Ok
        || written != UnitCommand::Size)
        return -1;
    quint32 received = 0;
    if (UsbSerial::read(m_link.handle(), reply, quint32(length), &received) != UsbSerial::Ok)
        return 0;
    return int(received);
}

bool CommandSensor::acknowledged(const UnitCommand &command)
{
    char reply[UnitCommand::Size] = {};
    const int received = exchange(command, reply, UnitCommand::Size);
    return m_acknowledgement == Acknowledgement::WriteOnly ? received >= 0 : received == UnitCommand::Size;
}
