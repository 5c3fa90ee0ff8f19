#pragma once

#include "PointsPanelOptions.h"
#include "QuestKey.h"
#include "ScoringTreeHost.h"

#include "data/ModeDigitKey.h"
#include "fancy/FancyMainWindow.h"

#include <QPersistentModelIndex>

#include <functional>

class FragmentPanel;
class PointerTracker;
class QAction;
class QItemSelection;
class QListView;
class QMenu;
class QRadioButton;
class QStandardItem;
class QStandardItemModel;
class ScoringTreeFill;
class _QTreeViewExpand;

// The points window: reactions scored by points per presentation and channel
// group, in one of three scales. The examination belongs to the editor; every
// change is saved into the subject file at once.
class InspectionAnalysisBallFancy : public Fancy::FancyMainWindow, public ScoringTreeHost
{
    Q_OBJECT
public:
    enum Scale { Scale012 = 0, Scale101 = 1, Scale3210123 = 2 };

    explicit InspectionAnalysisBallFancy(QWidget *parent = nullptr);
    // Writes the window's settings.
    ~InspectionAnalysisBallFancy() override;

    int inputMode() const override { return iModeInput; }
    Inspection *inspection() const override { return m_inspection; }
    int scaleMode() const { return iModeValuation; }  // for tests
    const PointsPanelOptions &panelOptions(int panel) const { return panel == 0 ? m_panel : m_panel2; }
    _QTreeViewExpand *navigatorTree() const { return m_tree; }  // for tests
    // The fragment panel 0 ("вид1") or 1 ("вид2").
    FragmentPanel *fragmentPanel(int panel) const { return m_fragments[panel == 0 ? 0 : 1]; }

    // The title by scale and input mode, and the tree built anew.
    void updateTitle();
    // Recomputes the tree's values in place.
    void updateTree();
    // Brings the tool bar and the panels in step with the state.
    void updateUi();
    // The test of the tree's current cell; null when none.
    Inspection::_Test *currentTest() const;

    // Puts a fresh model under the tree, which owns it, frees the old one and follows its selection.
    void setTreeModel(QStandardItemModel *model);

    // Moves every selected cell to the row of a channel group.
    void selectChannel(int group);
    // Moves every selected cell one presentation back (-1) or on (+1).
    void stepGroup(int step);

    // The tree's context menu for the item at index: the weights and
    // presentations of its test with Ctrl, else the window's commands. The
    // index is a copy: the menu's remembered index may be the one passed.
    QMenu *buildNavigatorMenu(QModelIndex index, bool ctrl);
    // The context menu of a fragment list: show and play, then the panel's options.
    QMenu *buildImageListMenu(int panel);

    // Refills the panel's list: auto scale fits the images to the list's height.
    void updateImageList(int panel);
    // Asks the review screen for the place of the list's current image.
    void showQuestOnPoligramme(QListView *list);

    // Consumes key presses of the tree and the lists while the window is
    // shown, except those with Ctrl, and scores with them.
    bool eventFilter(QObject *watched, QEvent *event) override;
    // A scoring key, with sign -1 when Shift is held: Shift shows the place
    // on the polygram; the weight key over the tree changes a weight or a
    // presentation; Space steps through the tree; a digit scores the image
    // under the pointer.
    void enterBallKey(int sign, BallKey key);
    // What sounds when a score is refused; the warning tone by default.
    void setWarningTone(const std::function<void()> &tone) { m_warningTone = tone; }  // for tests

public slots:
    void notifyCloseQuestFomImage(QListView *sender, int iIndexTest, int iGroup, int iQuest);
    void onItemChanged_CheckedUnchecked(QStandardItem *item);
    void onChangedPersone(QString path, Inspection *pInspection);
    void onSelectionChangeNavigator(const QItemSelection &selected, const QItemSelection &deselected);
    void onNavigatorMenu(const QPoint &point);
    void onExportExel();
    void onClearAll();
    void onClearTest();
    void onEnableBall012();
    void onEnableBall101();
    void onEnableBall3210123();
    void onModeInput_0();
    void onModeInput_1();
    void onSelectChannelGSR(bool checked);
    void onSelectChannelPG(bool checked);
    void onSelectChannelRG(bool checked);
    void onShowGroupPrevAction();
    void onShowGroupNextAction();
    void onSetGSR();
    void onSetPG();
    void onSetRG();
    void onSetGroup();
    void onShowView();
    void onShowView2();
    void onShowTableImages();
    void onImageListMenu(const QPoint &point);
    void onImageListMenu2(const QPoint &point);
    void onShowQuestToPoligramme();
    void onShowQuest2ToPoligramme();
    void onPlayQuest();
    void onPlayQuest2();
    void onDoubleClick();
    void onResizeListImages(bool bShow);
    void onResizeListImages2(bool bShow);
    void onSelectionChanged_ListView(const QItemSelection &selected, const QItemSelection &deselected);

signals:
    void notifyPlayPoligrammeFromBall(int iIndexTest, int iPos);
    void notifyShowPoligrammeFromBall(int iIndexTest, int iPos, int iChannel);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void readSettings();
    void createToolBar();
    void createPanels();
    void openImageListMenu(int panel, const QPoint &point);
    void playQuest(int panel);
    void resizeListImages(int panel, bool shown);
    void showCurrentOnPoligramme();
    void weightKeyOverTree();
    void stepDown();
    int digitValue(BallKey key) const;
    void scoreImageUnderPointer(int value);
    void addWeightRuns(QMenu *menu, const Inspection::_Test *test);
    void addPresentations(QMenu *menu, const Inspection::_Test *test);
    void addCommands(QMenu *menu);

    void putTreeModel(QStandardItemModel *model);
    void followTree(bool follow);
    void fillNavigatorTree(bool refresh);
    void fillExpertTree(bool refresh);
    void fillTree(ScoringTreeFill &fill, bool refresh);
    void removeImageListModels();
    static int imageUnit(const QListView *list, const PointsPanelOptions &panel);
    QuestKey currentImageKey(const QListView *list) const;
    void fillImageLists();
    void readFragmentTests(const QVector<QJsonObject> &selected);

    BallValuationMap &activeScale(Inspection::_Test &test) const;
    Inspection::_Test *menuTest() const;
    void setWeight(int group);
    // Sets bEnable of question quest in every presentation of the active scale.
    void enableQuestion(Inspection::_Test &test, int quest, int presentation, bool enabled);
    // Applies a change of a test's points and saves it; a refusal is settled
    // with the examiner (SaveRefusal): retried, or dropped and the points
    // shown as the file holds them. True when the change stays.
    bool changeScores(Inspection::_Test *test, const std::function<void(Inspection::_Test &)> &change);
    StoreResult saveScoresOf(const QUuid &id);
    // What a refusal names as not saved.
    QString scoresOf(const QUuid &id) const;
    // The points before the change, or another program's as the file holds them.
    void showStoredScores(Inspection::_Test &test, const Inspection::_Test &before, const StoreResult &refused);
    void moveSelection(const std::function<QModelIndex(const QModelIndex &)> &target);

    _QTreeViewExpand *m_tree;
    Inspection *m_inspection = nullptr;
    PointsPanelOptions m_panel;
    PointsPanelOptions m_panel2{false};
    int iModeInput = Expert;
    int iModeValuation = Scale012;
    QRadioButton *m_groupButtons[3] = {};
    QAction *m_prevGroup = nullptr;
    QAction *m_nextGroup = nullptr;
    // Persistent: a rebuild of the tree while a menu action runs frees the cells.
    QPersistentModelIndex m_menuIndex;
    FragmentPanel *m_fragments[2] = {};
    PointerTracker *m_listPointers[2] = {};
    PointerTracker *m_treePointer = nullptr;
    std::function<void()> m_warningTone;
    bool m_selectionReaction = true;
    bool m_filling = false;
    // The trees wait for the page to be shown.
    bool m_treesStale = false;
};
