#include "ZoomWidget.h"

#include "ZoomWidget_Frame.h"
#include "data/GenericSettings.h"
#include "resources/VugResources.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QMouseEvent>
#include <QStyle>

ZoomWidget::ZoomWidget(QWidget *parent, QObject *target, Painter paint)
    : QLabel(parent)
    , m_target(target)
    , m_paint(std::move(paint))
{
    initVugResources();
    const int side = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    setPixmap(QPixmap::fromImage(QImage(VugImages::path(QStringLiteral("search.png"))))
                  .scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    setToolTip(tr("Лупа"));
    qApp->installEventFilter(this);
}

bool ZoomWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease)
        return removeFrame(watched);
    if (watched != this)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return showFrame(static_cast<QMouseEvent *>(event));
    case QEvent::MouseMove:
        if (!m_frame)
            return false;
        centreFrame(static_cast<QMouseEvent *>(event)->globalPos());
        return true;
    default:
        return false;
    }
}

QWidget *ZoomWidget::viewport() const
{
    auto *area = qobject_cast<QAbstractScrollArea *>(parentWidget());
    return area ? area->viewport() : nullptr;
}

bool ZoomWidget::showFrame(QMouseEvent *event)
{
    QWidget *target = viewport();
    if (m_frame || event->buttons() != Qt::LeftButton || !target)
        return false;
    GenericSettings settings;
    settings.load();
    m_frame = new _Frame(target);
    m_frame->setVisible(true);
    m_frame->setFrameShape(QFrame::Panel);
    m_frame->resize(settings.iZoomH, settings.iZoomV);
    connect(m_frame, &_Frame::DrawZoomSignal, m_target, m_paint, Qt::DirectConnection);
    centreFrame(event->globalPos());
    m_frame->show();
    return true;
}

void ZoomWidget::centreFrame(const QPoint &globalPos)
{
    const QPoint cursor = m_frame->parentWidget()->mapFromGlobal(globalPos);
    m_frame->move(cursor - QPoint(m_frame->width() / 2, m_frame->height() / 2));
}

bool ZoomWidget::removeFrame(QObject *watched)
{
    if (!m_frame)
        return false;
    _Frame *frame = m_frame;
    m_frame = nullptr;
    frame->hide();
    // A frame cannot be deleted inside the delivery of its own event.
    if (watched == frame)
        frame->deleteLater();
    else
        delete frame;
    return true;
}
