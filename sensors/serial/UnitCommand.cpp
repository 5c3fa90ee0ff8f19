#include "sensors/serial/UnitCommand.h"

#include "data/ChannelCode.h"

#include <algorithm>

UnitCommand::UnitCommand(char first, char second, char third, char fourth)
    : m_bytes{first, second, third, fourth}
{
}

UnitCommand UnitCommand::frame(bool alternative)
{
    return UnitCommand('g', alternative ? 't' : 'o', '_', '_');
}

UnitCommand UnitCommand::gain(char letter, int gainIndex)
{
    return UnitCommand('u', letter, '0', char(gainCode(gainIndex)));
}

UnitCommand UnitCommand::shift(char letter, int shift)
{
    const std::array<quint8, 2> value = shiftBytes(shift);
    return UnitCommand('b', letter, char(value[0]), char(value[1]));
}

std::optional<UnitCommand> UnitCommand::extraInput(int mode)
{
    if (mode != 0 && mode != 1)
        return std::nullopt;
    return UnitCommand('d', 'o', 'p', char('0' + mode));
}

UnitCommand UnitCommand::identification()
{
    return UnitCommand('v', 'e', 'r', 's');
}

char UnitCommand::channelLetter(Letters letters, int code)
{
    using namespace ChannelCode;
    switch (code) {
    case GSR: return '0';
    case ADVANCED: return '1';
    case GSR_C: return '2';
    case AD: return '3';
    case RG_HI: return '4';
    case RG_LO: return '5';
    case PG: return '6';
    case TRM: return '7';
    case MIC: return letters == Letters::Vorkel ? '8' : 0;
    default: return 0;
    }
}

quint8 UnitCommand::gainCode(int gainIndex)
{
    static constexpr std::array<quint8, 26> codes = {
        1,   51,  92,  124, 151, 172, 188, 202, 213, 221, 228, 235, 238,
        242, 244, 245, 246, 247, 248, 249, 250, 251, 252, 253, 254, 255,
    };
    return codes[std::clamp(gainIndex, 0, int(codes.size()) - 1)];
}

std::array<quint8, 2> UnitCommand::shiftBytes(int shift)
{
    const long long value = 2048LL - shift;
    if (value < 1 || value > 4095)
        return {0, 0};
    return {quint8(value >> 8 & 0x0F), quint8(value & 0xFF)};
}
