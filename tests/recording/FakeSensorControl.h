#pragma once

#include <QLibrary>
#include <QString>

// Holds a stand-in plug-in loaded, so its read script and device count
// survive the reader's unloading, and reaches them.
class FakeSensorControl
{
public:
    explicit FakeSensorControl(const QString &path) : m_library(path) { m_library.load(); }

    // Reads first..last, counted from 1 from now on, fail.
    void failReads(int first, int last)
    {
        if (const auto script = reinterpret_cast<void (*)(int, int)>(m_library.resolve("fakeSensorFailReads")))
            script(first, last);
    }

    int liveDevices()
    {
        const auto count = reinterpret_cast<int (*)()>(m_library.resolve("fakeSensorLiveDevices"));
        return count ? count() : -1;
    }

private:
    QLibrary m_library;
};
