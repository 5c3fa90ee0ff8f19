#pragma once

#include <QMainWindow>
#include <QVector>

class Inspection;
class InspectionRecordFancy;
class QAction;
class QLabel;
class QMenu;
class GenericSettings;

namespace Fancy {
class FancyActionBar;
class FancyTabWidget;
}  // namespace Fancy

// The program's one top-level window: the five mode tabs, the action bar, the
// menus, the subject's status line, and the wiring between the work windows.
class vugVorkel : public QMainWindow
{
    Q_OBJECT
public:
    explicit vugVorkel(QWidget *parent = nullptr);
    ~vugVorkel() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

    void createMenus();
    void updateRecordingActions();
    void setStatusBarVisible(bool visible);

    Fancy::FancyTabWidget *modeTabs() const { return tabWidget; }
    Fancy::FancyActionBar *bar() const { return actionBar; }
    Inspection *inspection() const { return pInspect; }
    bool isPlayback() const { return bPlayback; }  // for tests
    const QVector<int> &tabsToReturnTo() const { return returnTabs; }  // for tests
    QAction *playAction() const { return actionPlay; }
    QAction *recordAction() const { return actionRecord; }  // for tests
    QAction *alignmentAction() const { return actionAlignment; }  // for tests
    QAction *diagnosticsAction() const { return actionDiagnostics; }  // for tests
    QString subjectText() const;
    QString testsText() const;  // for tests
    QString pathText() const;  // for tests

    // Recording and playback control.
    void startRecordPoligramme(int index);
    void playPoligramme(int iIndexTest, int iPos);
    int confirmStopRecording();
    bool askSaveRecording(InspectionRecordFancy *screen);
    void closeCurrentView(bool save);
    InspectionRecordFancy *recordingScreen() const;

    // The menus of tests offered for recording or playback, filled but not shown.
    QMenu *createTestMenu(bool forRecording);
    QPoint testMenuPosition(bool forRecording) const;

    // The questions asked after the settings changed, in the order they are asked.
    static QStringList restartQuestions(const GenericSettings &before, const GenericSettings &after);

public slots:
    void onInitialize();
    void action_DiagnisticsSystem();
    void action_About();
    void action_StartRecording();
    void action_StartRecording2();
    void action_PlayRecording();
    void action_PlayRecording2();
    void action_Settings();
    void action_AlignmentChannals();
    void onStopRecordingAction();
    void currentTabChanged(int index);
    void onChangePersone(QString path, Inspection *pInspect);
    void onDefRecordPoligramme(int index);
    void onDefViewPoligramme(int index);
    void onLocalPlayPoligramme(int iIndexTest, int iPos);
    void onLocalShowPoligramme(int iIndexTest, int iPos, int iChannel);

protected:
    void closeEvent(QCloseEvent *event) override;
    void askRestartAfterSettings(const GenericSettings &before, const GenericSettings &after);
    // Starts the program anew and ends this process; false when the start failed.
    virtual bool restartProgram();

private:
    // Settings the program cannot use are told at the start, each with its
    // default offered in its place.
    void offerDefaultsForUnusableSettings();
    void createModeTabs();
    void createActionBar();
    void createStatusLabels();
    void execTestMenu(bool forRecording);
    void showModeTabs();
    // The editor keeps the recorded subject open while a recording runs.
    void holdSubject(bool held);
    // True, after telling the examiner, while the pre-test conversation is recorded.
    bool preTestRecordingRuns();
    void saveEditorLayout();
    bool keyPressFiltered(QObject *watched, QKeyEvent *key);
    QWidget *modesWidget() const;
    // A work window inside the mode selector, found by its object name.
    template<class T> T *findPage(const QString &name) const
    {
        QWidget *modes = modesWidget();
        return modes ? modes->findChild<T *>(name) : nullptr;
    }

    Fancy::FancyTabWidget *tabWidget = nullptr;
    Fancy::FancyActionBar *actionBar = nullptr;
    QLabel *labelPersone = nullptr;
    QLabel *labelPath = nullptr;
    QLabel *labelTests = nullptr;
    QAction *actionPlay = nullptr;
    QAction *actionRecord = nullptr;
    QAction *actionAlignment = nullptr;
    QAction *actionDiagnostics = nullptr;
    Inspection *pInspect = nullptr;
    bool bPlayback = false;
    // Whether to stop or save is being asked.
    bool decidingStop = false;
    QVector<int> returnTabs;
};
