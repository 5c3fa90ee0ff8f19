#pragma once

#include <QListView>

// The row of fragment images of a points panel: a press on an image's close
// square asks to take that question out, the wheel scrolls the row sideways,
// and a resize is announced so auto-scaled images can be drawn anew.
class _QListView : public QListView
{
    Q_OBJECT
public:
    // The side of the square at an image's top right that closes it.
    static constexpr int CloseSquare = 20;

    explicit _QListView(QWidget *parent = nullptr);

    // True when pos (viewport coordinates) lies in the close square of the
    // image whose rectangle is rect.
    static bool hitsCloseSquare(const QRect &rect, const QPoint &pos);
    // Where the item's picture is drawn, in viewport coordinates.
    QRect imageRect(const QModelIndex &index) const;

signals:
    void notifyResize(bool bShow);
    void notifyCloseQuest(QListView *list, int iIndexTest, int iGroup, int iQuest);

public slots:
    void onResize();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
};
