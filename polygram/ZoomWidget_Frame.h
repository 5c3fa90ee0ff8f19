#pragma once

#include <QFrame>

class QPixmap;

// The magnifier's frame: its owner paints the picture through DrawZoomSignal,
// the frame adds a one-pixel border.
class _Frame : public QFrame
{
    Q_OBJECT
public:
    using QFrame::QFrame;

signals:
    // Emitted from the paint event; the receiver paints all of px before returning.
    void DrawZoomSignal(QPixmap &px);

protected:
    void paintEvent(QPaintEvent *event) override;
};
