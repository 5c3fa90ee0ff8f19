#pragma once

#include "ChannelCode.h"
#include "Inspection.h"

#include <QObject>
#include <QUuid>

#include <array>

// The device type under which the channel wizard keeps its saved channel
// set-up; no unit reports it, so it has no maker's defaults.
inline constexpr QUuid SavedSetupId(0xbf1fba5b, 0xf5c1, 0x4042, 0x80, 0x7c, 0x77, 0x2b, 0x14, 0x61, 0x73, 0x21);

// The thirteen channel definitions in display order: display settings point
// into the program-wide table (channelsUI()), calibration comes from the
// device family's defaults overlaid with what was saved for the device type.
class DefChannel : public QObject
{
    Q_OBJECT
public:
    using Records = std::array<Inspection::_Channel, ChannelCode::Count>;

    DefChannel();
    ~DefChannel() override;

    // Short or full translated name; empty for an unknown code.
    static QString channelName(int code, bool full);

    // Index p holds the channel at display position p.
    Records &channels() { return m_channels; }
    const Records &channels() const { return m_channels; }

    Inspection::_Channel *findByCode(int code);
    const Inspection::_Channel *findByCode(int code) const;
    Inspection::_Channel *findByPosition(int position);
    // A copy with each record at the index of its display position. Positions
    // that are not each of 0-12 once are replaced by the default order.
    Records sortedByPosition() const;

    void applyDefaults(const QUuid &deviceType);
    void saveCalibration(const QUuid &deviceType) const;
    void loadCalibration(const QUuid &deviceType);

private:
    Records m_channels;
};

// Applies the device family's default calibration to one record and returns
// the shift it stored; a device type without defaults leaves the record as it is.
int applyChannelDefaults(const QUuid &deviceType, Inspection::_Channel *record);

// Whether the device type's unit delivers 16-bit values (Vorkel16, Mirel16).
bool isSixteenBitUnit(const QUuid &deviceType);
