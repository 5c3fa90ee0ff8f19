#include "ChannelLook.h"

namespace {

template <typename T>
void readInto(T &value, const T *setting)
{
    if (setting)
        value = *setting;
}

}  // namespace

ChannelLook::ChannelLook(const InspectionChannel &record)
{
    readInto(enable, record.Enable);
    readInto(penWidth, record.PenWidth);
    readInto(color, record.Color);
    readInto(tubeColor, record.TubeColor);
    readInto(amp2, record.Amp2);
    readInto(filter, record.EnableFilter);
    readInto(filter2, record.EnableFilter2);
    readInto(inverse, record.Inverse);
}
