#pragma once

#include <QString>

// Where the players' sound goes. Qt's GStreamer players take their sound sink
// from QT_GSTREAMER_PLAYBIN_AUDIOSINK when they are made. A machine without a
// sound output gets a sink that drops the sound in step with the system clock,
// so the video plays instead of waiting for a device that never opens.
class SoundOutput
{
public:
    // Called before a player is made. True when it will play without sound:
    // there is no output device, or a silent sink was chosen beforehand.
    static bool prepareSink();
    // What a player's status line adds while it plays without sound.
    static QString silentNote();
};
