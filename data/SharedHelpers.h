#pragma once

#include <QColor>
#include <QString>

class QMainWindow;

// Roman numeral of a presentation number 1-50, tens written only with "X"
// (40 is XXXX, 50 XXXXX); empty outside that range.
QString romanNumeral(int n);

// A count of tests after "в": "в 1 тесте", "в 21 тесте", "в 2 тестах", "в 11 тестах".
QString inTests(int count);

// The colour's hue and saturation with another HSL lightness (0-255), opaque.
QColor withLightness(QColor color, int lightness);

// The first top-level widget that is a main window, or null.
QMainWindow *findMainWindow();
