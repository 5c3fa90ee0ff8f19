#pragma once

#include "sensors/interface/ISensorBase.h"

#include <QLibrary>
#include <QString>
#include <QVector>

// One plug-in library bound for a while, with the device object it made.
// Destroying a SensorPlugin releases it, so no device outlives its library.
class SensorPlugin
{
public:
    struct Entry
    {
        QString fileName;
        QString displayName;
    };

    SensorPlugin() = default;
    ~SensorPlugin();
    SensorPlugin(const SensorPlugin &) = delete;
    SensorPlugin &operator=(const SensorPlugin &) = delete;

    // Loads the library and creates its device; false (nothing bound) when the
    // path is empty, the library does not load, lacks _createObject or yields
    // no object.
    bool bind(const QString &filePath);
    // Destroys the device through its own library, then unloads it. Always true.
    bool release();
    ISensorBase *device() const { return m_device; }
    // The device's line errors; 0 for a plug-in that does not count them.
    quint64 lineErrors() const { return m_device && m_lineErrors ? m_lineErrors(m_device) : 0; }

    // "vugSensor*.so"
    static QString filePattern();
    static QString programFolder();
    // The demonstration device's file, offered when a stored name is refused.
    static QString demoFileName();
    // The path of a plug-in of the folder; empty, and so never bound, when the
    // name holds a path separator: plug-ins come only from that folder.
    static QString pathInFolder(const QString &folder, const QString &fileName);
    // Why a stored plug-in name is refused; empty when it is not.
    static QString nameRefusal(const QString &fileName);
    // What the examiner is told when the plug-in of that name does not bind.
    static QString loadFailure(const QString &fileName);
    // The default locale's language, e.g. "ru".
    static QString userLanguage();
    // Every loadable plug-in of the folder, by file name, with its display name.
    // A deep copy of a text a bound device returned, which outlives the library.
    static QString copiedOutOfLibrary(const QString &text);
    static QVector<Entry> discover(const QString &language, const QString &folder);
    static QVector<Entry> discover() { return discover(userLanguage(), programFolder()); }

private:
    QLibrary m_library;
    ISensorBase *m_device = nullptr;
    quint64 (*m_lineErrors)(ISensorBase *) = nullptr;
};
