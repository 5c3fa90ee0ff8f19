#include "ChannelCode.h"

namespace ChannelCode {

QString suffix(int code)
{
    static const char *const suffixes[Count] = {
        "GSR", "GSR_C", "RG_LO", "RG_HI", "PG", "TRM", "MIC",
        "AD", "TGM", "ADVANCED", "MIC2", "AD2", "RG_DIFF",
    };
    return isValid(code) ? QString::fromLatin1(suffixes[code]) : QString();
}

bool isPermutation(const std::array<int, Count> &positions)
{
    std::array<bool, Count> taken{};
    for (int position : positions) {
        if (!isValid(position) || taken[position])
            return false;
        taken[position] = true;
    }
    return true;
}

QString channelKey(int code) { return isValid(code) ? QStringLiteral("channel") + suffix(code) : QString(); }

QString dataKey(int code) { return isValid(code) ? QStringLiteral("data") + suffix(code) : QString(); }

}  // namespace ChannelCode
