#pragma once

#include "data/Inspection.h"
#include "data/SaveRefusal.h"
#include "fancy/FancyMainWindow.h"

#include <QHash>
#include <QModelIndex>
#include <QPointer>
#include <QUuid>
#include <QVector>

class InspectionTreeView;
class PersoneDockWindow;
class PersoneLinkDockWindow;
class PersoneSearchDockWindow;
class PreTestCanversationDockWindow;
class QActionGroup;
class QItemSelection;
class QMenu;
class QShortcut;
class SpravMethodicsDockWindow;
class SpravQuestionsDockWindow;
struct EditorActionState;
struct WindowLayout;

// The examination editor ("Опросник"): the selected subject's tests as a tree,
// the subject and reference-book docks, and the examination it owns and
// announces to the other windows.
class InspectionEditFancy : public Fancy::FancyMainWindow
{
    Q_OBJECT
public:
    explicit InspectionEditFancy(QWidget *parent = nullptr);
    // Keeps the two question-set toggles in the settings.
    ~InspectionEditFancy() override;

    // After a recording: refills the tree in place and refreshes the actions.
    void updateView();

    bool eventFilter(QObject *watched, QEvent *event) override;

    // The settings group the editor's window layout is kept under.
    static QString layoutGroup() { return QStringLiteral("InspectionEditFancy_v3"); }

    // The context menu for a point of the tree's viewport, not yet shown.
    QMenu *createContextMenu(const QPoint &pos);
    const Inspection &inspection() const { return m_inspection; }
    // Saves, or asks about, recordings whose save failed and moved marks;
    // false while one is left pending, or marks kept in memory, by the
    // examiner's choice.
    bool settlePendingRecording();
    // While a recording of the open subject runs, the subject stays open as
    // it is: a choice of another subject, or the open one's file renamed or
    // deleted by another program, waits for the recording's end and is then
    // taken in order.
    void holdSubject(bool held);
    InspectionTreeView *treeView() const { return m_tree; }

signals:
    void notifyChangePersone(QString path, Inspection *pInspect);
    void notifyDefViewPoligramme(int iIndexTest);
    void notifyDefRecordPoligramme(int iIndexTest);
    void notifyChangeRusUsaQuests(bool bUseRus, bool bUseUsa);

public slots:
    void onChangedPersone2(QString fileOld, QString fileNew, QObject *pSender);
    void action_AddTest();
    void action_AddGroup();
    void action_AddQuest0();
    void action_AddQuestN();
    void action_AddQuestC();
    void action_AddQuestP();
    void onAddQuest_USA_P();
    void onAddQuest_USA_I();
    void onAddQuest_USA_C();
    void onAddQuest_USA_R();
    void onAddQuest_USA_SR();
    void onAddQuest_USA_So();
    void onAddQuest_USA_GC();
    void onShowRusQuests();
    void onShowUsaQuests();
    void action_Copy();
    void action_Paste();
    void action_Edit();
    void action_Delete();
    void action_DeleteGroup();
    void action_DeletePoligramme();
    void action_DefViewPoligramme();
    void action_DefRecordPoligramme();
    void action_ToExcel();
    void action_TestTalkYes();
    void action_TestTalkNo();
    void action_TestTalkShow();
    void action_ChangeQuestN();
    void action_ChangeQuestP();
    void action_ChangeQuestC();
    void action_ReorderQuests();
    void action_ChangeQuest_UsaP();
    void action_ChangeQuest_UsaI();
    void action_ChangeQuest_UsaC();
    void action_ChangeQuest_UsaR();
    void action_ChangeQuest_UsaSR();
    void action_ChangeQuest_UsaSo();
    void action_ChangeQuest_UsaGC();
    void action_CollapseAll();
    void action_ExpandAll();
    void action_ShiftDown();
    void action_ShiftUp();
    void action_AttachPhoto();
    void action_ViewPhoto();
    void action_DeletePhoto();
    void action_ShowQuestToSecontMonitor();
    void action_ShowAllQuestionsSecondMonitor();
    void action_ShowFileAVI();
    void onCustomContextMenu(const QPoint &pos);
    void onTestComments();
    void onIsRecordedTest(bool *recorded);
    void onUndo();
    void onRedo();
    void onChangeTest(Inspection::_Test *pTest);
    void onDoubleClick(const QModelIndex &index);
    void onTreeViewSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected);

private:
    // The question kinds a context menu offers.
    struct KindAction {
        int kind;
        QAction *action;
    };

    // A slot of this window an action or key runs.
    using Slot = void (InspectionEditFancy::*)();

    // --- construction ---
    QAction *newAction(const QIcon &icon, const QString &text, Slot slot);
    void createActions();
    void createKindActions();
    void createToolBar();
    void createDocks();
    void connectDocks();
    void createShortcuts();
    void restoreLayout(const WindowLayout &layout);
    void keepTreeShare();

    // --- enabling ---
    void updateActions();
    void updateRusUsaActions();
    EditorActionState actionState() const;
    void setFocusShortcutsEnabled(bool enabled);

    // --- context menu ---
    void addQuestionEntries(QMenu *menu, Inspection::_Test *test, int question);
    void addTestEntries(QMenu *menu, Inspection::_Test *test);
    QAction *newMenuAction(QMenu *menu, const QString &text, Slot slot, bool checkable = false);

    // --- subject ---
    bool isOpen() const { return !m_inspection.path.isEmpty(); }
    void closeSubject();
    // The open subject's file (or a folder holding it), taken away by another
    // program while chosen: the subject is closed and the examiner told.
    void closeTakenSubject(const QString &taken);
    // A save or delete refused and settled with the examiner (SaveRefusal):
    // a dropped edit leaves the subject as its file holds it, and the
    // examiner may close a subject whose file is gone. edit names what was not saved.
    SaveRefusal::Outcome settle(StoreResult result, const std::function<StoreResult()> &save, bool canClose = true,
                                const QString &edit = QString());
    void onSaveRefused(const StoreResult &result, const QString &path, const std::function<StoreResult()> &retry);
    // Whether the tree still shows the edit: saved, or kept in memory.
    bool keepsEdit(StoreResult result, const std::function<StoreResult()> &save);
    // The subject read anew, as its file holds it, and shown.
    void showAsStored();
    // Marks moved in the review go into the file before it is left or read
    // anew. Leaving, with their file gone, the examiner keeps the subject
    // open (Kept) or closes it and lets them go (CloseSubject).
    SaveRefusal::Outcome settleMovedMarks(bool leaving = false);
    void openSubject(const QString &fileOld, const QString &fileNew);
    // settlePendingRecording for leaving the subject; when it stays open the
    // subject docks show it again instead of the entry just chosen.
    bool mayLeaveSubject();
    // Loads the subject file, asking to try again while another program holds it.
    StoreResult loadSubjectFile(const QString &file);
    void clearOtherDockSelection(QObject *sender);
    // Renames the pre-test videos and speech files of a renamed or moved
    // subject; returns the files that could not be renamed.
    QStringList renameRecordings(const QString &fileOld, const QString &fileNew);
    QHash<QUuid, QString> existingTestVideos(const QString &renamedTo);
    QStringList renameTestVideos(const QHash<QUuid, QString> &oldVideos);
    void reloadTree(bool keep, Inspection::_Test *test);

    // The test of an item: its own row for a test item, its parent's for a question.
    Inspection::_Test *testOf(const QModelIndex &index);
    int testRowOf(const QModelIndex &index) const;
    // The context item's test when it may be changed, else null.
    Inspection::_Test *editableTest();
    // The test of the context item, recorded or not.
    Inspection::_Test *currentTest() { return testOf(m_contextIndex); }
    // The question of the context item when its test may be changed, else null.
    Inspection::_Theme *editableQuestion();

    // --- editing ---
    void addQuest(const QString &text, int kind);
    void changeQuestKind(int kind);
    void setTestTalk(bool yes);
    void deleteTestItem(const QModelIndex &item);
    void deleteQuestionItem(const QUuid &id, const QModelIndex &item);
    void pasteTest();
    void pasteLines(const QModelIndex &item);
    // Saves the test with an undo state; false when the refusal was settled by showing the file.
    bool saveTest(Inspection::_Test *test);
    // Saves the test with an undo state and refills the tree keeping its position.
    void saveAndRefill(Inspection::_Test *test);
    // The question box of destructive edits; true on Yes.
    bool confirm(const QString &question);
    // Tells the other windows the examination again: a changed test list may
    // have moved every test they point at.
    void announceInspection();
    void selectTestChild(int testRow, int row, int column);
    bool isQuestionItem(const QModelIndex &index) const { return index.isValid() && index.parent().isValid(); }

    Inspection m_inspection;
    struct SubjectChange {
        QString fileOld;
        QString fileNew;
        QPointer<QObject> sender;
    };
    bool m_subjectHeld = false;
    QVector<SubjectChange> m_heldChanges;
    InspectionTreeView *m_tree = nullptr;
    QModelIndex m_contextIndex;
    bool m_showExtraInfo = false;
    int m_announcedTests = 0;

    QAction *m_addTest = nullptr;
    QAction *m_addGroup = nullptr;
    QList<QAction *> m_addRus;
    QList<QAction *> m_addUsa;
    QAction *m_showRus = nullptr;
    QAction *m_showUsa = nullptr;
    QAction *m_setsSeparator = nullptr;
    QAction *m_shiftDown = nullptr;
    QAction *m_shiftUp = nullptr;
    QAction *m_collapse = nullptr;
    QAction *m_expand = nullptr;
    QAction *m_talkYes = nullptr;
    QAction *m_talkNo = nullptr;
    QAction *m_extraInfo = nullptr;
    QAction *m_excel = nullptr;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    QAction *m_copy = nullptr;
    QAction *m_paste = nullptr;
    QAction *m_edit = nullptr;
    QAction *m_delete = nullptr;
    QAction *m_deleteGroup = nullptr;
    QAction *m_deletePolygram = nullptr;
    QAction *m_reorder = nullptr;
    QList<KindAction> m_kindsRus;
    QList<KindAction> m_kindsUsa;
    QActionGroup *m_kindGroup = nullptr;

    QShortcut *m_copyKey = nullptr;
    QShortcut *m_pasteKey = nullptr;
    QShortcut *m_editKey = nullptr;
    QShortcut *m_deleteKey = nullptr;
    QShortcut *m_undoKey = nullptr;
    QShortcut *m_redoKey = nullptr;

    PersoneDockWindow *m_subjects = nullptr;
    PersoneLinkDockWindow *m_links = nullptr;
    PersoneSearchDockWindow *m_search = nullptr;
    SpravQuestionsDockWindow *m_questions = nullptr;
    SpravMethodicsDockWindow *m_methodics = nullptr;
    PreTestCanversationDockWindow *m_preTest = nullptr;
};
