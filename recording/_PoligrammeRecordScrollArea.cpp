#include "_PoligrammeRecordScrollArea.h"

#include "PoligrammeRecordWindow.h"
#include "RecordingSession.h"

#include "polygram/SweepTable.h"

#include <QScrollBar>

_PoligrammeRecordScrollArea::_PoligrammeRecordScrollArea(QWidget *parent)
    : QAbstractScrollArea(parent)
{
}

bool _PoligrammeRecordScrollArea::viewportEvent(QEvent *event)
{
    if (window && (event->type() == QEvent::Paint || event->type() == QEvent::Resize)) {
        window->event(event);
        // The window container must see them too: it sizes the native window.
        return false;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void _PoligrammeRecordScrollArea::scrollContentsBy(int, int)
{
    if (!window)
        return;
    window->setVerticalPosition(verticalScrollBar()->value());
    // No repaint here: the renderer presents the next round anyway.
    if (!following)
        window->seekPosition(horizontalScrollBar()->value());
}

void _PoligrammeRecordScrollArea::onReleaseVSlider()
{
    if (window)
        verticalScrollBar()->setValue(0);
}

void _PoligrammeRecordScrollArea::onReleasedHSlider()
{
    if (window && window->session())
        window->session()->setSliderPressed(false);
}

void _PoligrammeRecordScrollArea::onPressedHSlider()
{
    if (window && window->session())
        window->session()->setSliderPressed(true);
}

void _PoligrammeRecordScrollArea::onUpdateUI(int ipos)
{
    following = true;
    horizontalScrollBar()->setValue(ipos);
    following = false;
}

int _PoligrammeRecordScrollArea::onSetMashtab(int iSel)
{
    if (window)
        window->setSweep(SweepTable::sweep(iSel));
    return 0;
}
