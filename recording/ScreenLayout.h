#pragma once

#include <QRect>

#include <functional>

// Where the examinee's monitor is: the geometry of the second screen (invalid
// when there is none). Tests replace the window system's answer.
namespace ScreenLayout {
QRect secondScreen();
QRect firstScreen();
// An empty source goes back to the window system.
void replace(std::function<QRect(int screen)> source);
}  // namespace ScreenLayout
