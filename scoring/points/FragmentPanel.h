#pragma once

#include "PointsPanelOptions.h"

#include <QObject>
#include <QVector>

class QAction;
class QCheckBox;
class QComboBox;
class QMenu;
class _QDockWidget;
class _QListView;

// One fragment panel of the points window: its dock, the inner tool bar with
// the unfold and scale choices and the kind filter, and the list of images.
// The options are the window's, which keeps them in its settings; every
// change of them asks for a refill of the list.
class FragmentPanel : public QObject
{
    Q_OBJECT
public:
    // Item data of the combo boxes' entries.
    static const QVector<int> &unfoldValues();
    static const QVector<int> &scaleValues();

    FragmentPanel(const QString &caption, const QString &name, PointsPanelOptions &options, QWidget *window);

    _QDockWidget *dock() const { return m_dock; }
    _QListView *list() const { return m_list; }
    QComboBox *unfoldCombo() const { return m_unfold; }  // for tests
    QComboBox *scaleCombo() const { return m_scale; }  // for tests
    // Neutral, test and control, as in the tool bar.
    QCheckBox *kindBox(int kind) const;
    const PointsPanelOptions &options() const { return m_options; }
    // The tool bar's kind check boxes, shown only in expert mode.
    void showKindFilter(bool shown);

    // The panel's part of the image list's menu: scale, unfold, the display
    // flags, in expert mode the kind filter, and the floating mode.
    void addMenuEntries(QMenu *menu, bool expert);

signals:
    void refill();

public slots:
    // A preset: selects the combo entry of that value, which refills.
    void selectScale(int value);
    void selectUnfold(int value);
    void onSelectScale(int index);
    void onSelectUnfold(int index);
    void onShowTextQuestAction();
    void onShowAllChannels();
    void onShowBkIA();
    void onShowQuest();
    void onShowBkQuest();
    void onShowAsIA();
    void onShowAsLabel();
    void onShowQuestC();
    void onShowQuestP();
    void onShowQuestN();
    void onChangeQuestC();
    void onChangeQuestP();
    void onChangeQuestN();
    void onPinnable();

private:
    QWidget *createToolBarWindow();
    QComboBox *createCombo(const char *const texts[], const QVector<int> &values, int selected);
    QCheckBox *createKindBox(const QString &text, const QString &colour, bool checked);
    void toggle(bool PointsPanelOptions::*flag);
    void toggleKind(bool PointsPanelOptions::*flag, QCheckBox *box);
    void takeKind(bool PointsPanelOptions::*flag, QCheckBox *box);
    QAction *addFlag(QMenu *menu, const QString &text, bool PointsPanelOptions::*flag, void (FragmentPanel::*slot)());

    PointsPanelOptions &m_options;
    _QDockWidget *m_dock;
    _QListView *m_list;
    QComboBox *m_unfold = nullptr;
    QComboBox *m_scale = nullptr;
    QCheckBox *m_neutral = nullptr;
    QCheckBox *m_test = nullptr;
    QCheckBox *m_control = nullptr;
    QVector<QAction *> m_kindActions;
};
