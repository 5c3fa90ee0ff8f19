#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

// The last pointer position over a view's viewport, none once the pointer has
// left it. The points window scores the image under the pointer; the pointer's
// global position is not known on every platform, nor moved by synthetic events.
class PointerTracker : public QObject
{
    Q_OBJECT
public:
    explicit PointerTracker(QWidget *viewport);

    bool isInside() const { return m_inside; }
    // Viewport coordinates; meaningful only while inside.
    QPoint position() const { return m_position; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_inside = false;
    QPoint m_position;
};
