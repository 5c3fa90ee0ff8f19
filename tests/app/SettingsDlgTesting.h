#pragma once

#include "app/SettingsDlg.h"
#include "data/ChannelUI.h"
#include "tests/app/FakeMediaDevices.h"
#include "tests/data/SettingsFile.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

// A fresh store and a channel table with nothing stored.
inline void startFromEmptyStore()
{
    removeSettingsFiles();
    ChannelUI::loadAll(channelsUI());
}

// Runs the dialog modally and presses a button of its button box.
inline int runAndPress(SettingsDlg &dialog, QDialogButtonBox::StandardButton press)
{
    QTimer::singleShot(0, &dialog, [&dialog, press] { dialog.findChild<QDialogButtonBox *>()->button(press)->click(); });
    return dialog.exec();
}

// Answers the next modal dialog of type Dialog once it is up.
template <class Dialog>
void answerNextModal(const std::function<void(Dialog *)> &answer)
{
    QTimer::singleShot(0, [answer] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        QVERIFY2(dialog, "the expected dialog did not open");
        answer(dialog);
    });
}
