#pragma once

#include "AtomicValue.h"

#include <QColor>
#include <QJsonObject>
#include <QtGlobal>

// The per-test record of one channel. The nine display settings point into the
// program-wide channel display table and are not owned here.
struct InspectionChannel {
    qint32 Kod = 0;
    qint32 KodDrv = 0;  // > 0 recorded, -1 freshly bound with calibration, 0 never set
    bool *Enable = nullptr;
    qint32 *PenWidth = nullptr;
    QColor *Color = nullptr;
    QColor *TubeColor = nullptr;
    bool *Amp2 = nullptr;
    qint32 *ChannelPos = nullptr;
    bool *EnableFilter = nullptr;
    bool *EnableFilter2 = nullptr;
    bool *Inverse = nullptr;
    // The calibration and its pending device changes are written on the GUI
    // thread while the acquisition and render threads read them.
    AtomicValue<double> Offset{0.0};
    AtomicValue<double> Amplify{0.0};
    AtomicValue<qint32> ADT{0};
    AtomicValue<qint32> ShiftADT{0};
    AtomicValue<bool> ADTChanged{false};
    AtomicValue<bool> ShiftADTChanged{false};

    // Writes the calibration and, through the pointers, the display settings.
    void toJson(QJsonObject &object) const;
    // Reads the calibration only: display settings are shared and bound afresh.
    void fromJson(const QJsonObject &object);
};
