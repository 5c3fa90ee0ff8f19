#include "_QAbstractScrollArea.h"

#include "InputState.h"
#include "PoligrammeView.h"
#include "ReviewScrollRules.h"
#include "SweepTable.h"
#include "ZoomWidget.h"
#include "ZoomWidget_Frame.h"
#include "drawG.h"
#include "data/Diagnostics.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

namespace {

// One notch of the wheel moves the polygram this many times the base rule.
const int kWheelFactor = 30;

}  // namespace

_QAbstractScrollArea::_QAbstractScrollArea(QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_view(new PoligrammeView(this))
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setViewport(m_view);
    horizontalScrollBar()->setStyleSheet(
        "QScrollBar{height: 20px;}QScrollBar::handle{background : pink;}QScrollBar::handle::pressed{background : "
        "red;}");
    verticalScrollBar()->setStyleSheet("QScrollBar{width: 20px;}");
    setCornerWidget(new ZoomWidget(this, this));
    horizontalScrollBar()->installEventFilter(this);
}

bool _QAbstractScrollArea::eventFilter(QObject *watched, QEvent *e)
{
    QScrollBar *bar = horizontalScrollBar();
    if (watched != bar || e->type() != QEvent::MouseButtonPress || m_barPressed)
        return QAbstractScrollArea::eventFilter(watched, e);
    // A press repaints the bar at once, a presentation of its own before the
    // view's; held back, the bar is presented with the view.
    m_barPressed = true;
    bar->setUpdatesEnabled(false);
    QCoreApplication::sendEvent(bar, e);
    bar->setUpdatesEnabled(true);
    m_barPressed = false;
    return true;
}

int _QAbstractScrollArea::sampleCount() const
{
    return m_test ? m_test->samples(ChannelCode::GSR)->size() : 0;
}

int _QAbstractScrollArea::scrollBarExtent() const
{
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

int _QAbstractScrollArea::leftTick() const
{
    return ReviewScrollRules::tickAt(horizontalScrollBar()->value(), m_view->sweep());
}

void _QAbstractScrollArea::rememberLeftTick()
{
    if (m_test)
        m_leftTicks[m_test] = leftTick();
}

void _QAbstractScrollArea::forgetTests()
{
    m_test = nullptr;
    m_leftTicks.clear();
}

void _QAbstractScrollArea::updateHorizontalRange()
{
    const int sweep = m_view->sweep();
    QScrollBar *bar = horizontalScrollBar();
    bar->setRange(0, ReviewScrollRules::horizontalMaximum(sampleCount(), width(), scrollBarExtent(), sweep));
    bar->setPageStep(ReviewScrollRules::horizontalPageStep(width(), scrollBarExtent()));
}

void _QAbstractScrollArea::scrollContentsBy(int, int)
{
    m_view->setVerticalPosition(verticalScrollBar()->value());
    m_view->setPosition(horizontalScrollBar()->value());
    viewport()->update();
    emit updatePositionFromView(m_view->visibleTicks());
}

void _QAbstractScrollArea::onChangeUnfold(int iSel)
{
    const int value = horizontalScrollBar()->value();
    const int oldSweep = m_view->sweep();
    m_view->setSweep(SweepTable::sweep(iSel));
    if (!m_test)
        return;
    updateHorizontalRange();
    horizontalScrollBar()->setValue(ReviewScrollRules::keepLeftTick(value, oldSweep, m_view->sweep()));
    scrollContentsBy(0, 0);
}

void _QAbstractScrollArea::onShowGroupCompleet(int *iUnfold)
{
    *iUnfold = -1;
    if (!m_test)
        return;
    const Inspection::_Label *first = ReviewScrollRules::currentGroupStart(*m_test, horizontalScrollBar()->value(),
                                                                          m_view->width(), m_view->sweep());
    if (!first)
        return;
    *iUnfold = ReviewScrollRules::fitSweepIndex(ReviewScrollRules::groupSpan(*m_test, *first), m_view->width());
    onChangeUnfold(*iUnfold);
}

void _QAbstractScrollArea::onShowPrevNextGroup(int iStep)
{
    if (!m_test)
        return;
    const Inspection::_Label *target = ReviewScrollRules::stepTarget(*m_test, horizontalScrollBar()->value(),
                                                                    m_view->width(), m_view->sweep(), iStep);
    if (!target)
        return;
    qCDebug(vugPolygram) << "m_nGroup=" << target->Group;
    horizontalScrollBar()->setValue(ReviewScrollRules::scrollValueOf(target->TickQStart, m_view->sweep()));
}

void _QAbstractScrollArea::onUpdatePositionFromContext(int ipos)
{
    horizontalScrollBar()->setValue(ReviewScrollRules::scrollValueOf(ipos, m_view->sweep()));
}

void _QAbstractScrollArea::onUpdatePositionFromContextWeel(int ipos)
{
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + ipos);
}

void _QAbstractScrollArea::onDrawZoom(QPixmap &px_)
{
    px_.fill(Qt::white);
    if (!m_test)
        return;
    const QPoint cursor = mapFromGlobal(InputState::current().cursor);
    const int end = ReviewScrollRules::zoomEndTick(horizontalScrollBar()->value(), cursor.x(), px_.width() / 2,
                                                   m_view->width(), sampleCount(), m_view->sweep());
    const QPixmap picture = zoomPicture(px_.width(), end);
    // Centred on the cursor's height; above the picture's top stays white.
    const int top = cursor.y() - px_.height() / 2;
    QPainter painter(&px_);
    if (top >= 0)
        painter.drawPixmap(0, 0, picture, 0, top, px_.width(), px_.height());
    else
        painter.drawPixmap(0, -top, picture, 0, 0, px_.width(), px_.height());
}

// The polygram at one tick per pixel, as tall as the view, ending at endTick.
QPixmap _QAbstractScrollArea::zoomPicture(int width, int endTick) const
{
    QPixmap picture(width, m_view->height());
    picture.fill(Qt::white);
    QPainter painter(&picture);
    drawG g(m_test, 1000);
    g.setRenderHints(painter);
    g.verticalShift = verticalScrollBar()->value();
    g.drawPolygram(painter, picture.rect(), endTick, 0);
    return picture;
}

void _QAbstractScrollArea::wheelEvent(QWheelEvent *e)
{
    e->ignore();
    // The wheel scrolls sideways: the base class turns a horizontal delta
    // into a step of the horizontal bar.
    QWheelEvent sideways(e->position(), e->globalPosition(), QPoint(e->pixelDelta().y(), 0),
                         QPoint(kWheelFactor * e->angleDelta().y(), 0), e->buttons(), e->modifiers(), e->phase(),
                         e->inverted(), Qt::MouseEventSynthesizedByQt);
    QAbstractScrollArea::wheelEvent(&sideways);
}

bool _QAbstractScrollArea::viewportEvent(QEvent *e)
{
    if (!isVisible())
        return true;
    switch (e->type()) {
    case QEvent::Wheel:
        wheelEvent(static_cast<QWheelEvent *>(e));
        return false;
    case QEvent::Resize:
        if (m_test) {
            const int value = horizontalScrollBar()->value();
            updateHorizontalRange();
            horizontalScrollBar()->setValue(value);
            scrollContentsBy(0, 0);
        }
        return static_cast<QObject *>(m_view)->event(e);
    case QEvent::Paint:
        return static_cast<QObject *>(m_view)->event(e);
    default:
        return QAbstractScrollArea::viewportEvent(e);
    }
}
