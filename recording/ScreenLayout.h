#pragma once

#include <QRect>

#include <functional>

class QScreen;

// Where the examinee's monitor is: the geometry of the second screen (invalid
// when there is none). Tests replace the window system's answer.
namespace ScreenLayout {
QRect secondScreen();
QRect firstScreen();
// The window system's second screen; null when it has none or the layout is replaced.
QScreen *secondScreenHandle();
// An empty source goes back to the window system.
void replace(std::function<QRect(int screen)> source);
}  // namespace ScreenLayout
