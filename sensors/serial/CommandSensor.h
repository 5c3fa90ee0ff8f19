#pragma once

#include "sensors/serial/SerialSensor.h"
#include "sensors/serial/UnitCommand.h"

#include <QSysInfo>

#include <array>

// A unit driven by the four-byte commands: one command, then a reply of fixed
// length checked only by its length and prefix. Gain, shift and the additional
// input are the same for every such unit; the families add how they open, how a
// frame is decoded and how they identify themselves.
class CommandSensor : public SerialSensor
{
public:
    bool setGain(int code, int gainIndex) override;
    bool setShift(int code, int shift) override;
    bool setExtraMode(int mode) override;
    // Replies that came unasked (a unit answering twice, or after its time-out),
    // each dropped before the next command so it is never taken for that command's reply.
    quint64 lineErrors() const { return m_lineErrors; }

protected:
    // What a gain, shift or additional-input command needs from the unit.
    enum class Acknowledgement { FullReply, WriteOnly };

    CommandSensor(const SensorIdentity &identity, int extraFlag, UnitCommand::Letters letters,
                  Acknowledgement acknowledgement);

    // The codes of frame words 1 to 8, alike in both families.
    static constexpr std::array<int, 8> AnalogueWordCodes = {
        ChannelCode::GSR, ChannelCode::ADVANCED, ChannelCode::GSR_C, ChannelCode::AD,
        ChannelCode::RG_HI, ChannelCode::RG_LO, ChannelCode::PG, ChannelCode::TRM,
    };
    static constexpr int ReplyPrefixSize = 2;
    // The words after the prefix that both families' frames begin with.
    static constexpr int FrameWords = 9;
    using Words = std::array<quint16, FrameWords>;

    // 115200 baud, 8 data bits, 1 stop bit, no parity.
    void setLineFormat();
    // The frame command of the mode; the reply must arrive whole and begin with "ok".
    bool requestFrame(char *reply, int length);
    // requestFrame, then the reply's words in the family's byte order.
    bool requestWords(char *reply, int length, QSysInfo::Endian order, Words &words);
    // Up to tries frame requests until one succeeds.
    bool answersFrames(int tries, int length);
    // Up to tries "vers" requests, pausing pauseMs after each failed one, until a
    // whole reply of length bytes arrives; it goes to out, padded with zero bytes
    // to copyLength. False, and nothing sent, when out cannot take copyLength bytes.
    bool identify(char *out, int size, int length, int copyLength, int tries, int pauseMs);

private:
    // The count of reply bytes read into reply, or -1 when the command was not sent whole.
    int exchange(const UnitCommand &command, char *reply, int length);
    // A command whose short reply is not looked at.
    bool acknowledged(const UnitCommand &command);

    const UnitCommand::Letters m_letters;
    const Acknowledgement m_acknowledgement;
    quint64 m_lineErrors = 0;
};
