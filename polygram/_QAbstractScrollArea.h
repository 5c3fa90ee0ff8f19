#pragma once

#include "data/Inspection.h"

#include <QAbstractScrollArea>
#include <QMap>

class PoligrammeView;
class QPixmap;

// The review screen's scroll area around the polygram view: scroll values
// become the view's positions, the horizontal range follows the sweep and the
// test's length, and it navigates by presentation group, follows the overview
// strip and paints the magnifier's picture.
class _QAbstractScrollArea : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit _QAbstractScrollArea(QWidget *parent = nullptr);

    PoligrammeView *view() const { return m_view; }
    Inspection::_Test *test() const { return m_test; }
    void setTest(Inspection::_Test *test) { m_test = test; }

    // The tick at the view's left edge.
    int leftTick() const;
    // Remembers the shown test's left-edge tick for when it is shown again.
    void rememberLeftTick();
    // The tick a test was left at; 0 for one never left.
    int rememberedLeftTick(Inspection::_Test *test) const { return m_leftTicks.value(test, 0); }
    // Drops the shown test and every remembered tick: the tests they point
    // into are about to go.
    void forgetTests();
    void updateHorizontalRange();
    // Moves the view to the scroll values (the deltas are not used) and
    // tells the strip; every change of a scroll value arrives here.
    void scrollContentsBy(int dx, int dy) override;

signals:
    // The tick at the view's right edge.
    void updatePositionFromView(int ipos);

public slots:
    void onShowGroupCompleet(int *iUnfold);
    void onShowPrevNextGroup(int iStep);
    void onDrawZoom(QPixmap &px_);
    void onUpdatePositionFromContext(int ipos);
    void onUpdatePositionFromContextWeel(int ipos);
    void onChangeUnfold(int iSel);

protected:
    void wheelEvent(QWheelEvent *e) override;
    bool viewportEvent(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    int sampleCount() const;
    int scrollBarExtent() const;
    QPixmap zoomPicture(int width, int endTick) const;

    Inspection::_Test *m_test = nullptr;
    PoligrammeView *m_view;
    QMap<Inspection::_Test *, int> m_leftTicks;
    bool m_barPressed = false;
};
