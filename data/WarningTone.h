#pragma once

#include <QByteArray>

class QObject;

// The warning beep: 160 signed 8-bit samples at 8 kHz, a 500 Hz sine of ten
// periods (20 ms) starting at 0, with an amplitude near the top of the range.
QByteArray warningToneSamples();

// Plays the beep once on the default output device and returns at once. The
// output is a child of parent and goes away when the beep has played. Without
// an output device that takes the format nothing is heard and nothing is said.
void playTone(QObject *parent);
