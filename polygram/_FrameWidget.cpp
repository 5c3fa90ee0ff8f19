#include "_FrameWidget.h"

#include "ContextPoligrammeWidget.h"
#include "_QAbstractScrollArea.h"

#include <QSplitter>
#include <QVBoxLayout>

_FrameWidget::_FrameWidget(QWidget *parent)
    : QFrame(parent)
    , m_scrollArea(new _QAbstractScrollArea)
    , m_strip(new ContextPoligrammeWidget)
{
    auto *splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(m_scrollArea);
    splitter->addWidget(m_strip);
    splitter->setStretchFactor(0, 20);
    splitter->setStretchFactor(1, 2);
    // The same proportion from the start, not only for the space beyond the hints.
    splitter->setSizes({2000, 200});
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    connect(m_strip, &ContextPoligrammeWidget::updatePositionFromContext, m_scrollArea,
            &_QAbstractScrollArea::onUpdatePositionFromContext);
    connect(m_strip, &ContextPoligrammeWidget::updatePositionFromContextWeel, m_scrollArea,
            &_QAbstractScrollArea::onUpdatePositionFromContextWeel);
    connect(m_scrollArea, &_QAbstractScrollArea::updatePositionFromView, m_strip,
            &ContextPoligrammeWidget::onUpdatePositionFromView);
}

void _FrameWidget::onUpdateConextView()
{
    m_strip->update();
}
