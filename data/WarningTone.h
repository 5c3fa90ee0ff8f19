#pragma once

#include <QAudioFormat>
#include <QByteArray>

class QObject;

// The warning beep: 160 8-bit samples at 8 kHz, a 500 Hz sine of ten periods
// (20 ms) starting at 0, with an amplitude near the top of the range. Unsigned
// samples are the signed ones moved up by half the range.
QByteArray warningToneSamples(QAudioFormat::SampleType type = QAudioFormat::SignedInt);

// Plays the beep once on the default output device and returns at once. The
// output is a child of parent and goes away when the beep has played. Without
// an output device that takes the tone nothing is heard and nothing is said.
void playTone(QObject *parent);
