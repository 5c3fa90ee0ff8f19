#pragma once

#include "ContextPoligrammePicture.h"
#include "PolygramCanvas.h"

// The strip under the review polygram: the whole test, a box over what the
// main view shows; dragging the box or turning the wheel scrolls the view.
class ContextPoligrammeWidget : public PolygramCanvas
{
    Q_OBJECT
public:
    explicit ContextPoligrammeWidget(QWidget *parent = nullptr);

    void setTest(Inspection::_Test *test);

    const ContextPoligrammePicture &picture() const { return m_picture; }
    bool isDragging() const { return m_dragging; }  // for tests
    void paintGL(QPainter &painter) override;

signals:
    // A tick for the main view's left edge.
    void updatePositionFromContext(int ipos);
    // A change of the main view's horizontal scroll value in pixels.
    void updatePositionFromContextWeel(int ipos);

public slots:
    void onChangeUnfold(int iSel);
    void onUpdatePositionFromView(int ipos);

protected:
    bool event(QEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;

private:
    ContextPoligrammePicture m_picture;
    bool m_dragging = false;
    int m_grabOffset = 0;

    void startDrag(const QPointF &point);
    void endDrag();
};
