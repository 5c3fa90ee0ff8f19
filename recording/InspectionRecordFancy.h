#pragma once

#include "fancy/FancyMainWindow.h"

#include <QEvent>
#include <QList>
#include <QPointer>
#include <QString>
#include <QUuid>

class Inspection;
class PoligrammeRecordWindow;
class QAction;
class QComboBox;
class QDialog;
class QLabel;
class _PoligrammeRecordScrollArea;
class _QSecondMonitor;
struct InspectionTest;

// The recording screen: records a test, or plays it back, in place of the mode
// tabs, on the record window inside its scroll area, with the tool bar that
// steers the recording. The main window learns from posted events when the
// loop has ended (2966) or a device error stopped it (2967).
class InspectionRecordFancy : public Fancy::FancyMainWindow
{
    Q_OBJECT
public:
    explicit InspectionRecordFancy(QWidget *mainWindow);
    ~InspectionRecordFancy() override;

    // False, with nothing started, when the test has no questions or the
    // recording to play cannot be read.
    bool start(Inspection *inspection, InspectionTest *test, bool newRecording, int startPosition);
    bool stop();
    // The identifier the recording was kept under; null when nothing was kept.
    QUuid stopAndSave(bool save);
    void setFullScreen();

    PoligrammeRecordWindow *recordWindow() const;

    // While any modal question, message or dialog of the program is open, the
    // end of the recording (type, addressed to receiver) decides nothing: it is
    // kept, true, and posted again once that window has closed. The first end
    // kept wins.
    bool deferEnd(QObject *receiver, QEvent::Type type);
    // An end was kept for a question: the examiner, not the loop, decides on saving.
    bool endWasHeld() const { return m_endWasHeld; }
    // What stopping the recording now would lose, for the stop and save questions; empty when nothing.
    QString stopWarning() const;
    // The examinee's screen fades out: the examiner is asked whether to stop or save.
    void withdrawExamineeView();
    // The recording still stores frames; false once any stop has ended its acquisition.
    bool acquiring() const;
    // A stop now would keep no presentation group.
    bool savesNothing() const;

    // The running recording's or playback's own copy of the test; null when none runs.
    InspectionTest *test = nullptr;
    Inspection *inspection = nullptr;
    QAction *clearStartAction;
    QAction *pauseAction;
    QAction *remoteControlAction;
    QAction *wizardAction;
    QAction *fullScreenAction;
    _PoligrammeRecordScrollArea *scrollArea;
    QComboBox *extraChannelCombo;
    QAction *extraChannelLabelAction = nullptr;
    QAction *extraChannelComboAction = nullptr;
    // Shown while the demonstration unit records.
    QAction *demoUnitAction = nullptr;

signals:
    // "Завершить запись" was chosen.
    void stopRequested();

public slots:
    void onFullScreenAction();
    void onClearRecordingAction();
    void onRemoteControlAction();
    void onPauseHardRecordingAction();
    void onChangeQuestsAction();
    void onUpdateUI(int ipos);
    void onChangeChannelsAction();
    void onSetAdvancedChannel(int iSel);
    void onLoadAdvChannelsUI(QList<QString> names);
    // Says text in the status bar for a few seconds.
    void tell(const QString &text);

private:
    QAction *makeAction(const QString &icon, const QString &text, void (InspectionRecordFancy::*slot)());
    void buildToolBar(QAction *stopAction, QAction *reorderAction);
    void buildScrollArea();
    void leaveFullScreen();
    // The status panel tells of frames lost in the recording; hidden while none are.
    void showLoss();
    // The actions' enabled states for the reader's position now.
    void refreshActions();
    bool eventFilter(QObject *watched, QEvent *event) override;
    void postDeferredEnd();
    _QSecondMonitor *examineeView() const;
    // The plan and question lists of an accepted reordering.
    void takeOverPlan(const InspectionTest &edited);
    // The test's presentation plan taken from another test, under the recording's lock.
    void setPlan(const InspectionTest &from);

    QLabel *lossLabel = nullptr;
    QPointer<QWidget> m_heldBy;
    bool m_endWasHeld = false;
    QObject *m_endReceiver = nullptr;
    QEvent::Type m_deferredEnd = QEvent::None;
};
