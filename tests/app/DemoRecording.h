#pragma once

#include "data/GenericSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>

// The demonstration unit, found from the test programs' folder; video off, an
// answer time of 1 s and no automatic end.
inline void configureDemoUnit()
{
    GenericSettings settings;
    settings.load();
    settings.sNameDriverDll = QDir(QCoreApplication::applicationDirPath())
                                  .relativeFilePath(qEnvironmentVariable("VUG_BIN_DIR") + "/vugSensorDemo.so");
    settings.bEnableVideoForRecord = false;
    settings.iIA = 1;
    settings.iTimeAfterForRecod = 600;
    settings.save();
}

inline void sendKey(QObject *target, QEvent::Type type, int key)
{
    QKeyEvent event(type, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}
