#pragma once

#include <QLabel>
#include <QPointer>

#include <functional>

class _Frame;
class QMouseEvent;
class QPixmap;

// The magnifier in a scroll area's corner: while the left button is held on
// it, a frame over the viewport follows the cursor and shows what the target's
// onDrawZoom(QPixmap&) paints for that spot.
class ZoomWidget : public QLabel
{
    Q_OBJECT
public:
    template <class Target>
    ZoomWidget(QWidget *parent, Target *target)
        : ZoomWidget(parent, target, [target](QPixmap &px) { target->onDrawZoom(px); })
    {
    }

    // The frame shown, null while none is.
    _Frame *frame() const { return m_frame.data(); }

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using Painter = std::function<void(QPixmap &)>;
    ZoomWidget(QWidget *parent, QObject *target, Painter paint);

    QPointer<_Frame> m_frame;  // goes with the viewport too
    QObject *m_target;
    Painter m_paint;

    QWidget *viewport() const;
    bool showFrame(QMouseEvent *event);
    void centreFrame(const QPoint &globalPos);
    bool removeFrame(QObject *watched);
};
