#include "sensors/sentak/CSensorSentak.h"

#include "data/ChannelCode.h"
#include "sensors/interface/SensorExports.h"

#include <algorithm>
#include <array>
#include <cstring>

VUG_SENSOR_PLUGIN(CSensorSentak)

using namespace ChannelCode;

namespace {

constexpr quint32 TimeoutMs = 600;
constexpr quint32 BaudRate = 19200;
constexpr int OpenRounds = 5;
constexpr int FrameTriesPerRound = 5;
constexpr quint32 FrameLength = 17;
constexpr quint32 VersionLength = 17;
constexpr quint8 FrameStatusGood = 1;
constexpr int UnitChannels = 8;

constexpr quint8 SetupCommand[2] = {0x01, 0x82};
constexpr quint8 FrameCommand = 0xAA;
constexpr quint8 FrameNormal = 0x10;
constexpr quint8 FrameAlternative = 0x18;
constexpr quint8 VersionCommand[2] = {0xFF, 0x81};
constexpr quint8 GainChannelFlag = 0x40;
constexpr quint8 ShiftChannelFlag = 0x20;

// The code that each unit channel measures.
constexpr int CodeOfUnitChannel[UnitChannels] = {TRM, GSR_C, PG, RG_HI, RG_LO, GSR, AD, MIC};

// The amplification byte of each gain index 0-25.
constexpr quint8 GainCodes[26] = {1,   51,  92,  124, 151, 172, 188, 202, 213, 221, 228, 235, 238,
                                  242, 244, 245, 246, 247, 248, 249, 250, 251, 252, 253, 254, 255};

// -1 for a code the unit does not measure.
int unitChannelOf(int code)
{
    const int *end = CodeOfUnitChannel + UnitChannels;
    const int *found = std::find(CodeOfUnitChannel, end, code);
    return found == end ? -1 : int(found - CodeOfUnitChannel);
}

quint8 gainCode(int gainIndex)
{
    return GainCodes[std::clamp(gainIndex, 0, 25)];
}

// The unit's zero shift 0-255 across the 12-bit range, rounded up; wide arithmetic
// so that no shift overflows.
quint8 shiftByte(int shift)
{
    const qint64 v = qint64(shift) + 2048;
    if (v <= 0)
        return 0;
    if (v > 4095)
        return 255;
    return quint8((v * 255 + 4095) / 4096);
}

// Only the ten data bits count, so a damaged word stays within -2048...2044.
qint16 sampleOf(quint8 low, quint8 high)
{
    const int word = low | high << 8;
    return qint16((word & 0x03FF) * 4 - 2048);
}

}  // namespace

CSensorSentak::CSensorSentak()
    : SerialSensor({"Сентак (12 бит)", "Sentak (12 bit)", QUuid("{22222222-f249-4b67-abf7-839b8b6fb8a0}"), 0x15FF},
                   AdditionalInput::None, 0)
{
}

bool CSensorSentak::transact(quint8 first, quint8 second, quint8 *reply, quint32 replyLength)
{
    std::array<quint8, 2> scratch{};
    if (!reply) {
        reply = scratch.data();
        replyLength = quint32(scratch.size());
    }
    const quint8 command[2] = {first, second};
    quint32 written = 0;
    UsbSerial::write(m_link.handle(), command, 2, &written);
    if (written != 2)
        return false;
    quint32 received = 0;
    const UsbSerial::Status status = UsbSerial::read(m_link.handle(), reply, replyLength, &received);
    return status == UsbSerial::Ok && received == replyLength;
}

bool CSensorSentak::requestFrame(quint8 *reply)
{
    std::fill(reply, reply + FrameLength, 0);
    const quint8 kind = mode() ? FrameAlternative : FrameNormal;
    return transact(FrameCommand, kind, reply, FrameLength) && reply[0] == FrameStatusGood;
}

// The set-up command goes out once before and once after the baud rate is set;
// the unit's answers to it tell nothing.
void CSensorSentak::configureLink()
{
    UsbSerial::setTimeouts(m_link.handle(), TimeoutMs, TimeoutMs);
    UsbSerial::setDataCharacteristics(m_link.handle(), UsbSerial::Bits8, UsbSerial::StopBits1, UsbSerial::ParityNone);
    transact(SetupCommand[0], SetupCommand[1]);
    UsbSerial::setBaudRate(m_link.handle(), BaudRate);
    transact(SetupCommand[0], SetupCommand[1]);
}

bool CSensorSentak::open(const QString &)
{
    std::array<quint8, FrameLength> reply;
    for (int round = 0; round < OpenRounds; ++round) {
        if (!m_link.open())
            return false;
        configureLink();
        for (int frameTry = 0; frameTry < FrameTriesPerRound; ++frameTry) {
            if (requestFrame(reply.data()))
                return true;
        }
    }
    return false;
}

bool CSensorSentak::readFrame(qint16 *frame)
{
    std::array<quint8, FrameLength> reply;
    if (!requestFrame(reply.data()))
        return false;
    for (int k = 0; k < UnitChannels; ++k)
        frame[CodeOfUnitChannel[k]] = sampleOf(reply[1 + 2 * k], reply[2 + 2 * k]);
    return true;
}

bool CSensorSentak::setGain(int code, int gainIndex)
{
    const int channel = unitChannelOf(code);
    if (channel < 0)
        return false;
    return transact(gainCode(gainIndex), quint8(GainChannelFlag | channel));
}

bool CSensorSentak::setShift(int code, int shift)
{
    const int channel = unitChannelOf(code);
    if (channel < 0)
        return false;
    return transact(shiftByte(shift), quint8(ShiftChannelFlag | channel));
}

bool CSensorSentak::version(char *out, int size)
{
    if (!out || size < int(VersionLength))
        return false;
    std::array<quint8, VersionLength> reply{};
    if (!transact(VersionCommand[0], VersionCommand[1], reply.data(), VersionLength))
        return false;
    std::memcpy(out, reply.data(), VersionLength);
    return true;
}

// The unit has no additional input: a "dop" command cut to two bytes would reach
// it as a stray command, so nothing is sent.
bool CSensorSentak::setExtraMode(int)
{
    return false;
}
