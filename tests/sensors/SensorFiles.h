#pragma once

#include <QString>
#include <QStringList>

// Where the build put the program and its plug-ins.
inline QString binFolder()
{
    return qEnvironmentVariable("VUG_BIN_DIR");
}

inline QStringList builtPluginFiles()
{
    return {"vugSensorDemo.so",   "vugSensorKVZ2.so",   "vugSensorMirel.so",    "vugSensorMirel14.so",
            "vugSensorMirel16.so", "vugSensorSentak.so", "vugSensorVorkel.so", "vugSensorVorkel16.so"};
}
