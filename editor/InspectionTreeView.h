#pragma once

#include "QuestionDrop.h"
#include "data/Inspection.h"

#include <QRect>
#include <QTreeView>

#include <functional>

class QDrag;
class QStandardItemModel;
class _InspectionTreeView_StyledItemDelegate;

// One examination as a tree: a row per test and under it the questions, one
// column per presentation. Mode 0 serves the editor, mode 1 the reordering
// dialog, where the arrow keys stay in the column.
class InspectionTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit InspectionTreeView(int mode);

    // Rebuilds the model from the examination; keep reuses the present model,
    // so expansion and column widths survive; the rows of test are rebuilt from scratch.
    void fillModel(Inspection *inspection, bool keep, Inspection::_Test *test);
    void setShowExtraInfo(bool show);
    void resetDragState();
    // The test of a test item or of a question item.
    Inspection::_Test *testForIndex(const QModelIndex &index) const;
    // Whether the current question can move by direction (-1 up, 1 down) within its
    // block; never in a recorded test.
    bool canShift(int direction) const;
    // Exchanges two questions of one presentation, saves the test and refills.
    void swapQuests(const QModelIndex &src, const QModelIndex &dest);

signals:
    void SwapPositionQuestSignal(int iTest, int iGroup, int iThemeSrc, int iThemeDest, int iStep);
    void changeTest(Inspection::_Test *pTest);
    // A save into the subject at path was refused; retry saves it again.
    void saveRefused(const StoreResult &result, const QString &path, const std::function<StoreResult()> &retry);
    // After every rebuild of the model, the view's own refills included.
    void modelFilled();

protected:
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void startDrag(Qt::DropActions supportedActions) override;

    // The drag of the current item, ready to run; records where a question comes from.
    QDrag *prepareDrag();
    // Whether the drag of an event started in this view.
    virtual bool isOwnDrag(const QDropEvent *event) const;

public:
    // Saves the test with an undo state; a refusal is told once the edit in
    // hand is done, for settling it may read the subject anew.
    void saveTest(Inspection::_Test *test);

private:
    struct DragSource {
        int column = -1;
        int row = -1;
        int testRow = -1;
    };

    void installModel(QStandardItemModel *previous);
    void setUpView();
    void fillTest(int index, Inspection::_Test &test, bool rebuild);
    void setColumnWidths(bool fresh, const QVector<int> &widths);
    void restorePosition(const QVector<QPair<int, int>> &chain);
    QMimeData *dragData(const QModelIndex &index);
    QPixmap dragPicture(const QModelIndex &index) const;
    bool hasAcceptedFormat(const QMimeData *mime) const;
    void clearMarker();
    QuestionDrop::Decision questionDecision(const QDropEvent *event, const QModelIndex &target,
                                            const MimeFormats::Question &question) const;
    void dropTest(const QByteArray &payload, const QModelIndex &target);
    void dropQuestion(QDropEvent *event, const QModelIndex &target);
    void dropPlainText(const QByteArray &payload, const QModelIndex &target);
    void saveAndRefill(Inspection::_Test *test);
    bool isRecordedTestItem(const QModelIndex &index) const;
    // A cell its owner disabled: it neither moves, takes a drop nor changes place.
    static bool isLocked(const QModelIndex &index);
    // Mode 1 takes nothing but its own questions moved within their column.
    bool takesOnlyMoves() const { return m_mode == 1; }

    int m_mode;
    QRect m_marker;
    bool m_markerAbove = false;
    bool m_markerBelow = false;
    DragSource m_dragSource;
    Inspection *m_inspection = nullptr;
    QStandardItemModel *m_model = nullptr;
    _InspectionTreeView_StyledItemDelegate *m_delegate = nullptr;
};
