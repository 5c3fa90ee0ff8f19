#pragma once

#include <QLabel>
#include <QPointer>

class _Frame;
class QMouseEvent;

// The magnifier in a scroll area's corner: while the left button is held on
// it, a frame over the viewport follows the cursor and shows what the target's
// onDrawZoom(QPixmap&) paints for that spot.
class ZoomWidget : public QLabel
{
    Q_OBJECT
public:
    ZoomWidget(QWidget *parent, QObject *target);

    // The frame shown, null while none is.
    _Frame *frame() const { return m_frame.data(); }

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<_Frame> m_frame;  // goes with the viewport too
    QObject *m_target;

    QWidget *viewport() const;
    bool showFrame(QMouseEvent *event);
    void centreFrame(const QPoint &globalPos);
    bool removeFrame(QObject *watched);
};
