#include "InspectionChannel.h"

#include "ChannelCode.h"

namespace {

// A record that was never bound has no display settings yet; it is written
// with the defaults instead of reading through a null pointer.
template <typename T>
T settingOr(const T *setting, T fallback)
{
    return setting ? *setting : fallback;
}

// Colours are stored as ARGB in a signed 32-bit number, so opaque ones are negative.
qint32 colourNumber(const QColor *colour)
{
    return qint32(settingOr(colour, QColor(Qt::black)).rgba());
}

}  // namespace

void InspectionChannel::toJson(QJsonObject &object) const
{
    object.insert(QStringLiteral("Enable"), settingOr(Enable, false));
    object.insert(QStringLiteral("PenWidth"), settingOr(PenWidth, 1));
    object.insert(QStringLiteral("Offset"), Offset);
    object.insert(QStringLiteral("Amplify"), Amplify);
    object.insert(QStringLiteral("ADT"), ADT);
    object.insert(QStringLiteral("ShiftADT"), ShiftADT);
    object.insert(QStringLiteral("Kod"), Kod);
    object.insert(QStringLiteral("KodDrv"), KodDrv);
    object.insert(QStringLiteral("Inverse"), settingOr(Inverse, false));
    object.insert(QStringLiteral("Color"), colourNumber(Color));
    object.insert(QStringLiteral("TubeColor"), colourNumber(TubeColor));
    object.insert(QStringLiteral("Amp2"), settingOr(Amp2, false));
    object.insert(QStringLiteral("ChannelPos"), settingOr(ChannelPos, Kod));
}

void InspectionChannel::fromJson(const QJsonObject &object)
{
    const int code = object.value(QStringLiteral("Kod")).toInt();
    if (code >= ChannelCode::Count)
        return;
    // Offset and Amplify are stored whole; a fractional value reads as 0.
    Offset = object.value(QStringLiteral("Offset")).toInt();
    Amplify = object.value(QStringLiteral("Amplify")).toInt();
    ADT = object.value(QStringLiteral("ADT")).toInt();
    ShiftADT = object.value(QStringLiteral("ShiftADT")).toInt();
    Kod = code;
    KodDrv = object.value(QStringLiteral("KodDrv")).toInt();
}
