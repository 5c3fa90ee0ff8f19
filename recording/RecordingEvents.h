#pragma once

#include <QEvent>

// Events the recording machinery posts to the main window.
namespace RecordingEvents {
constexpr QEvent::Type LoopEnded = QEvent::Type(2966);    // close the screen and save
constexpr QEvent::Type DeviceError = QEvent::Type(2967);  // close it without saving
}  // namespace RecordingEvents
