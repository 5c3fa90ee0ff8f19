#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QRect>
#include <QTreeView>

class QMimeData;
class QStandardItem;
class SpravDockWindow;

// The tree of a reference-book dock: drags questions or tests out, takes
// drops on containers only and marks the container under a drag with a
// three-pixel frame. What is dragged and what a drop stores is the dock's.
class SpravTreeView : public QTreeView
{
    Q_OBJECT
public:
    // The drag picture's companions: cursor texts and where the hot spot sits.
    struct DragLook {
        QString copyText;
        QString moveText;
        bool centredHotSpot;
    };

    SpravTreeView(SpravDockWindow *dock, const DragLook &look);

    // Null ((0,0) to (-1,-1)) when no container is marked.
    QRect dropFrame() const { return m_dropFrame; }  // for tests
    // The data a drag of the current item carries, remembered as this view's
    // own so that a drop back here is a move; null when it cannot be dragged.
    QMimeData *prepareDrag();
    // True when event carries the data of this view's latest drag.
    bool isOwnDrag(const QDropEvent *event) const;

    QPixmap dragPixmap(const QModelIndex &index) const;
    QPixmap cursorPixmap(Qt::DropAction action, int height) const;

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QStandardItem *containerAt(const QPointF &pos) const;
    void setDropFrame(const QRect &frame);

    SpravDockWindow *m_dock;
    DragLook m_look;
    QRect m_dropFrame;
    QPointer<QMimeData> m_ownDrag;
    QPersistentModelIndex m_dragSource;
};
