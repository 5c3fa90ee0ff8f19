#pragma once

#include "data/ChannelBindings.h"
#include "data/ChannelUI.h"
#include "polygram/InputState.h"
#include "polygram/PanelState.h"
#include "tests/data/SettingsFile.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>

#include <initializer_list>

// Factory display settings, and the given channels recorded by the unit.
inline void recordChannels(Inspection::_Test &test, std::initializer_list<int> codes)
{
    for (int code = 0; code < ChannelCode::Count; ++code)
        channelsUI()[code] = ChannelUI::defaults(code);
    bindChannelSettings(test, false);
    for (int code : codes) {
        test.channel(code).KodDrv = code + 1;
        *test.samples(code) = QVector<qint16>(10, 0);
    }
}

// The mouse and keyboard as a test sets them.
inline InputState &fakeInput()
{
    static InputState input;
    return input;
}

// A fresh process's panels with no stored positions, reading the fake mouse and keyboard.
inline void resetPanels()
{
    removeSettingsFiles();
    PanelState::instance().reset();
    fakeInput() = InputState();
    InputState::replace([] { return fakeInput(); });
}

inline QFont applicationBoldFont()
{
    const QFont app = QGuiApplication::font();
    return QFont(app.family(), app.pointSize(), 75);
}
