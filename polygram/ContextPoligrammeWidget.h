#pragma once

#include "ContextPoligrammePicture.h"

#include <QOpenGLWidget>

class QOpenGLPaintDevice;

// The strip under the review polygram: the whole test, a box over what the
// main view shows; dragging the box or turning the wheel scrolls the view.
class ContextPoligrammeWidget : public QOpenGLWidget
{
    Q_OBJECT
public:
    explicit ContextPoligrammeWidget(QWidget *parent = nullptr);
    ~ContextPoligrammeWidget() override;

    void setTest(Inspection::_Test *test);

    const ContextPoligrammePicture &picture() const { return m_picture; }
    bool isDragging() const { return m_dragging; }
    // The device the strip was last painted on; null before the first paint.
    const QOpenGLPaintDevice *glDevice() const { return m_device; }

signals:
    // A tick for the main view's left edge.
    void updatePositionFromContext(int ipos);
    // A change of the main view's horizontal scroll value in pixels.
    void updatePositionFromContextWeel(int ipos);

public slots:
    void onChangeUnfold(int iSel);
    void onUpdatePositionFromView(int ipos);

protected:
    void paintGL() override;
    bool event(QEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;

private:
    ContextPoligrammePicture m_picture;
    QOpenGLPaintDevice *m_device = nullptr;
    bool m_dragging = false;
    int m_grabOffset = 0;

    void startDrag(const QPointF &point);
    void endDrag();
};
