#pragma once

#include <QUuid>

// Device type identifiers the program itself has to recognise.
namespace SensorTypeIds {

// The demonstration device: no hardware behind it.
inline const QUuid demo{"{954b01e1-f249-4b67-abf7-839b8b6fb8a0}"};

} // namespace SensorTypeIds
