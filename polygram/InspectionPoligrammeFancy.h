#pragma once

#include "fancy/FancyMainWindow.h"

class _FrameWidget;
class _QAbstractScrollArea;
class ContextPoligrammeWidget;
class Inspection;
struct InspectionTest;
class ListTestDockWindow;
class PoligrammeView;
class PolygramPrint;
class QAction;
class QComboBox;
class QPrinter;
class QToolBar;

// The review screen: one recorded test of the examination as a polygram,
// chosen from the list of recorded tests; scrolling, sweeps, measuring,
// moving marks and putting them back, group navigation, playback, printing
// and PDF files.
class InspectionPoligrammeFancy : public Fancy::FancyMainWindow
{
    Q_OBJECT
public:
    explicit InspectionPoligrammeFancy(QWidget *parent = nullptr);
    ~InspectionPoligrammeFancy() override;

    // Shows a test at a tick with a channel selected; -1 means none in
    // particular. A test that is not listed is not shown.
    void showTest(int iIndexTest, int iPos, int iChannel);
    // Rebuilds the list for the current examination and shows no test.
    void loadInspection();

    // The examination index of the shown test; -1 while none is.
    int shownTest() const;  // for tests
    _QAbstractScrollArea *scrollArea() const;
    ContextPoligrammeWidget *strip() const;
    PoligrammeView *view() const;
    ListTestDockWindow *testList() const { return m_testList; }  // for tests
    QComboBox *sweepSelector() const { return m_sweepSelector; }  // for tests
    QToolBar *toolBar() const { return m_toolBar; }  // for tests
    QAction *measureVerticalAction() const { return m_aEnableMeasureV; }  // for tests
    QAction *measureHorizontalAction() const { return m_aEnableMeasureH; }  // for tests
    QAction *fullGroupAction() const { return m_aShowGroupCompleet; }  // for tests
    QAction *nextGroupAction() const { return m_aShowGroupNext; }  // for tests
    QAction *previousGroupAction() const { return m_aShowGroupPrev; }  // for tests
    QAction *playAction() const { return m_aPlay; }
    QAction *printAction() const { return m_aPrint; }  // for tests
    QAction *saveAction() const { return m_aSave; }  // for tests
    QAction *changeLabelsAction() const { return m_aChangeLabels; }  // for tests
    QAction *restoreLabelsAction() const { return m_aRestoreLabels; }  // for tests

signals:
    void notifyPlayPoligramme(int iIndexTest, int iPos);
    void signalStartLabelPositionChange(bool bStart);
    void signalShowGroupCompleet(int *isel);
    void signalShowPrevNextGroup(int step);
    void signalStartMetr(bool nMetrH, bool bStart);

public slots:
    void onChangedPersone(QString path, Inspection *pInspection);
    void onChangedTest(int iIndexTest, int iPos, int iChannel);
    void action_LocalPoligrammePlay();
    void action_aEnableMeasureV();
    void action_aEnableMeasureH();
    void action_aShowGroupCompleet();
    void action_aShowGroupNext();
    void action_aShowGroupPrev();
    void onPrint();
    void onPrintPreview(QPrinter *printer);
    void onSave();
    void onChangePosition();
    void onRestorePosition();

private:
    QAction *m_aEnableMeasureV;
    QAction *m_aEnableMeasureH;
    QAction *m_aShowGroupCompleet;
    QAction *m_aShowGroupNext;
    QAction *m_aShowGroupPrev;
    QAction *m_aPlay;
    QAction *m_aPrint;
    QAction *m_aSave;
    QAction *m_aChangeLabels;
    QAction *m_aRestoreLabels;
    QComboBox *m_sweepSelector;
    bool m_testShown = false;
    ListTestDockWindow *m_testList;
    Inspection *m_inspection = nullptr;
    QToolBar *m_toolBar;
    _FrameWidget *m_frame;

    QAction *makeAction(const char *icon, const char *text, bool checkable = false);
    void buildToolBar();
    void connectActions();
    void restoreLayout();
    void saveLayout();
    void updateActionsEnabled();
    void forgetShownTest();
    void fillTestList();
    void placeShownTest(int iPos);
    void reconnectShownTest();
    // The test of the list's current row; null when there is none.
    InspectionTest *currentTest() const;
    PolygramPrint printOf(InspectionTest *test) const;
    // Moved marks are stored where a reload finds them.
    void restoreLabels(const QUuid &id);
};
