// The application-wide key filter and the recording machinery's two events.
#include "vugVorkel.h"

#include "data/ModeDigitKey.h"
#include "recording/RecordingEvents.h"
#include "data/ActivePopupMenu.h"
#include "fancy/FancyTabWidget.h"
#include "polygram/InspectionPoligrammeFancy.h"
#include "recording/InspectionRecordFancy.h"
#include "scoring/points/InspectionAnalysisBallFancy.h"
#include "subjects/PreTestCanversationDockWindow.h"

#include <QApplication>
#include <QKeyEvent>

bool vugVorkel::eventFilter(QObject *watched, QEvent *event)
{
    // Only events addressed to this window are the recording machinery's.
    if (event->type() == RecordingEvents::LoopEnded || event->type() == RecordingEvents::DeviceError) {
        if (watched != this)
            return false;
        // While the examiner is asked whether to stop or save, those answers close the screen.
        InspectionRecordFancy *screen = recordingScreen();
        if (screen && decidingStop)
            return true;
        // A question or dialog is running inside its own loop: the screen goes once it has returned.
        if (screen && screen->deferEnd(this, event->type()))
            return true;
        bool save = event->type() == RecordingEvents::LoopEnded;
        // An end that waited for a question is the examiner's to save, as a stop by hand.
        if (save && screen && screen->endWasHeld() && !bPlayback)
            save = askSaveRecording(screen);
        closeCurrentView(save);
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    return keyPressFiltered(watched, static_cast<QKeyEvent *>(event));
}

bool vugVorkel::keyPressFiltered(QObject *watched, QKeyEvent *key)
{
    Q_UNUSED(watched);
    const bool ctrl = key->modifiers() & Qt::ControlModifier;
    if (key->key() == Qt::Key_F12) {
        auto *dock = findChild<PreTestCanversationDockWindow *>(QStringLiteral("PreTestCanversationDockWindow"));
        if (dock && dock->isVisible()) {
            if (ctrl)
                dock->stopRecordSpeech();
            else
                dock->startRecordSpeech();
        }
        return true;
    }
    if (!isEnabled() || !isActiveWindow() || !tabWidget)
        return false;

    if (key->key() == Qt::Key_Escape) {
        // Any open pop-up (a menu of the menu bar too) closes on Escape instead.
        if (!findChild<InspectionPoligrammeFancy *>(QStringLiteral("InspectionPoligrammeFancy"))
            || returnTabs.isEmpty() || ActivePopupMenu::widget() || QApplication::activePopupWidget())
            return false;
        const int tab = returnTabs.last();
        tabWidget->setCurrentIndex(tab);
        if (tab == 2) {
            if (auto *points = findChild<InspectionAnalysisBallFancy *>(QStringLiteral("InspectionAnalysisBallFancy")))
                points->centralWidget()->activateWindow();
        }
        returnTabs.clear();
        return true;
    }

    if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && ctrl) {
        if (recordingScreen())
            return false;
        int next = key->modifiers() & Qt::ShiftModifier ? tabWidget->currentTab() - 1 : tabWidget->currentTab() + 1;
        if (next > 4)
            next = 0;
        if (next < 0)
            next = 4;
        tabWidget->setCurrentIndex(next);
        tabWidget->setSelectionWidgetVisible(true);
        return true;
    }

    const int digit = modeDigitOfKey(key);
    if (digit >= 0 && key->modifiers() & Qt::AltModifier) {
        tabWidget->setCurrentIndex(digit);
        tabWidget->setSelectionWidgetVisible(true);
        return true;
    }

    auto *points = findChild<InspectionAnalysisBallFancy *>(QStringLiteral("InspectionAnalysisBallFancy"));
    if (points && points->isVisible()) {
        points->centralWidget()->activateWindow();
        points->centralWidget()->setFocus(Qt::OtherFocusReason);
    }
    return false;
}
