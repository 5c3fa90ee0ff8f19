#pragma once

#include "fancy/FancyMainWindow.h"

class Inspection;
class PoligrammeRecordWindow;
class QAction;
class _PoligrammeRecordScrollArea;
struct InspectionTest;

// The recording screen: records a test, or plays it back, in place of the mode
// tabs, on the record window inside its scroll area. The main window learns
// from posted events when the loop has ended (2966) or a device error stopped
// it (2967).
class InspectionRecordFancy : public Fancy::FancyMainWindow
{
    Q_OBJECT
public:
    explicit InspectionRecordFancy(QWidget *parent);
    ~InspectionRecordFancy() override;

    // False, with nothing started, when the test has no questions.
    bool start(Inspection *inspection, InspectionTest *test, bool bNew, int iPos);
    void stop();
    void stopAndSave(bool save);

    QAction *stopAction() const { return m_stopAction; }
    _PoligrammeRecordScrollArea *scrollArea() const { return m_scrollArea; }
    PoligrammeRecordWindow *recordWindow() const { return m_window; }

private:
    void leaveFullScreen();

    Inspection *m_inspection = nullptr;
    InspectionTest *m_test = nullptr;
    QAction *m_stopAction;
    _PoligrammeRecordScrollArea *m_scrollArea;
    PoligrammeRecordWindow *m_window;
};
