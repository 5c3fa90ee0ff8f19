#pragma once

#include "ManualTickSource.h"
#include "data/GenericSettings.h"
#include "data/Inspection.h"
#include "recording/RecordingEvents.h"
#include "recording/SensorReader.h"
#include "tests/sensors/SensorFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QMutex>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <functional>
#include <memory>

// Counts the loop ends a reader posts.
class LoopEndCounter : public QObject
{
public:
    int count()
    {
        QCoreApplication::sendPostedEvents(this);
        return m_count;
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != RecordingEvents::LoopEnded)
            return QObject::event(event);
        ++m_count;
        return true;
    }

private:
    int m_count = 0;
};

// Writes the program settings a reader loads: the plug-in and whatever the test changes.
inline void configureReader(const QString &plugin, const std::function<void(GenericSettings &)> &change = {})
{
    GenericSettings settings;
    settings.load();
    settings.sNameDriverDll = plugin;
    settings.bEnableVideoForRecord = false;
    settings.iIA = 10;
    settings.iTimeBeforeForRecord = 10;
    settings.iTimeAfterForRecod = 10;
    if (change)
        change(settings);
    settings.save();
}

// A test of two questions in one presentation group.
inline Inspection::_Test questionTest()
{
    Inspection::_Test test(QStringLiteral("Тест"));
    test.addTheme(QStringLiteral("Первый?"), 0, 1, -1);
    test.addTheme(QStringLiteral("Второй?"), 2, 1, -1);
    return test;
}

// One reader on its own thread, ticked by hand, posting to a counter.
class ReaderRun
{
public:
    explicit ReaderRun(const QString &pluginFolder = binFolder())
        : inspection(dir.filePath(QStringLiteral("subject.vug")))
    {
        collaborators.ticks = &ticks;
        collaborators.pluginFolder = pluginFolder;
        collaborators.loopEndReceiver = &loopEnds;
        collaborators.markLock = &marks;
        inspection.appendTest(questionTest());
    }

    ~ReaderRun() { QVERIFY(stop()); }

    Inspection::_Test &test() { return inspection.tests[0]; }

    void start(bool recordMode = true, int startPosition = 0)
    {
        reader = std::make_unique<SensorReader>(&inspection, &test(), recordMode, startPosition, collaborators);
        QObject::connect(reader.get(), &SensorReader::error, reader.get(), [this](const QString &text) {
            QMutexLocker lock(&m_errorsMutex);
            m_errors << text;
        }, Qt::DirectConnection);
        SensorReader *r = reader.get();
        thread.reset(QThread::create([r] { r->onExecute(); }));
        thread->start();
    }

    // Set-up done (or failed).
    void waitForSetUp() { ticks.waitUntilWaiting(); }

    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            ticks.tick();
    }

    // true when the loop has ended within the time.
    bool join(int ms = 10000) { return !thread || thread->wait(ulong(ms)); }

    bool stop(int ms = 10000)
    {
        if (reader)
            reader->requestStop();
        return join(ms);
    }

    QStringList errors()
    {
        QMutexLocker lock(&m_errorsMutex);
        return m_errors;
    }

    QTemporaryDir dir;
    Inspection inspection;
    ManualTickSource ticks;
    LoopEndCounter loopEnds;
    QMutex marks;
    ReaderCollaborators collaborators;
    std::unique_ptr<SensorReader> reader;
    std::unique_ptr<QThread> thread;

private:
    QMutex m_errorsMutex;
    QStringList m_errors;
};
