#pragma once

#include "fancy/FancyMainWindow.h"

class Inspection;
class QAction;
class QLabel;
class QScrollBar;
class QTimer;
struct InspectionTest;

// The recording screen: records a test, or plays it back, in place of the mode
// tabs. It tells the main window through posted events when its loop has ended
// (2966) or a device error stopped it (2967).
class InspectionRecordFancy : public Fancy::FancyMainWindow
{
    Q_OBJECT
public:
    // Ticks a new recording can hold: one hour at 20 per second.
    static constexpr int kCapacity = 72000;

    explicit InspectionRecordFancy(QWidget *parent);
    ~InspectionRecordFancy() override;

    // False, with nothing started, when the test has no questions.
    bool start(Inspection *inspection, InspectionTest *test, bool bNew, int iPos);
    void stop();
    void stopAndSave(bool save);

    QAction *stopAction() const { return m_stopAction; }
    bool isRunning() const;
    int position() const;
    int range() const;

    // Posts 2966 to the main window: the loop reached its end or was told to stop.
    void finishLoop();
    // Shows a device error and posts 2967, which closes the screen without saving.
    void reportDeviceError(const QString &message);

private slots:
    void onTick();

private:
    void halt();
    void leaveFullScreen();
    void postToMainWindow(int type);

    Inspection *m_inspection = nullptr;
    InspectionTest *m_test = nullptr;
    bool m_new = false;
    QAction *m_stopAction;
    QLabel *m_state;
    QScrollBar *m_scroll;
    QTimer *m_clock;
};
