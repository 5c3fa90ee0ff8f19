#pragma once

#include <QtGlobal>

#include <array>
#include <optional>

// The four-byte commands that the Mirel, KVZ2 and Vorkel units share: frame
// request, gain, zero shift, additional input and identification, with the
// gain-code table, the shift encoding and the channel letters.
class UnitCommand
{
public:
    static constexpr int Size = 4;

    // Which letters a family's channels answer to; the Vorkel units also adjust
    // the sensor microphone.
    enum class Letters { Mirel, Vorkel };

    // "go__", or "gt__" in the alternative mode.
    static UnitCommand frame(bool alternative);
    // 'u', letter, '0', the gain code of the index (clamped to 0...25).
    static UnitCommand gain(char letter, int gainIndex);
    // 'b', letter, the two bytes of the shift's encoding.
    static UnitCommand shift(char letter, int shift);
    // "dop0" or "dop1"; none for any other mode.
    static std::optional<UnitCommand> extraInput(int mode);
    // "vers"
    static UnitCommand identification();

    // The letter of an adjustable channel code; 0 when the code is not adjustable.
    static char channelLetter(Letters letters, int code);
    static quint8 gainCode(int gainIndex);
    // The unit counts from 2048 down; a value beyond 1...4095 is sent as 0.
    static std::array<quint8, 2> shiftBytes(int shift);

    const char *data() const { return m_bytes.data(); }

private:
    UnitCommand(char first, char second, char third, char fourth);

    std::array<char, Size> m_bytes;
};
