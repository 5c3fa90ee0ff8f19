#pragma once

#include "data/DefChannel.h"
#include "tests/sensors/CommandUnits.h"

#include <QUuid>

// What the alignment tests share: the two units it serves and their calibration.
namespace AlignmentUnits {

inline const QUuid vorkel16(QStringLiteral("{05209770-FCC0-4EBD-99C3-0A64CAFB2B1E}"));
inline const QUuid mirel16(QStringLiteral("{A34F63FF-AC7A-46E1-BD4E-49FABAA572DA}"));

// A unit that acknowledges every command and answers each frame request.
inline void answerFrames(EmulatedUnit &unit, const QString &fileName)
{
    unit.answerOthers("ack!");
    unit.answer("go__", CommandUnits::centreFrame(fileName));
}

inline int storedShift(const QUuid &type, int code)
{
    DefChannel definitions;
    definitions.loadCalibration(type);
    return int(definitions.findByCode(code)->ShiftADT);
}

}  // namespace AlignmentUnits
