#pragma once

#include "app/vugVorkel.h"
#include "data/GenericSettings.h"
#include "data/Inspection.h"
#include "editor/InspectionEditFancy.h"

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QtTest>

// The demonstration unit, linked into the test programs' folder; video off, an
// answer time of 1 s and no automatic end.
inline void configureDemoUnit()
{
    GenericSettings settings;
    settings.load();
    settings.sNameDriverDll = QStringLiteral("vugSensorDemo.so");
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

// The main window shown and active, announcing the examination as the editor does.
inline vugVorkel *openMainWindow(Inspection &inspection)
{
    auto *window = new vugVorkel;
    window->onInitialize();
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        qWarning("the main window did not become active");
    emit window->findChild<InspectionEditFancy *>(QStringLiteral("InspectionEditFancy"))
        ->notifyChangePersone(inspection.path, &inspection);
    return window;
}
