#include "AlignmentPlot.h"

#include <QPainter>
#include <QResizeEvent>

const QColor AlignmentPlot::Background(200, 200, 200);

AlignmentPlot::AlignmentPlot(QWidget *parent)
    : QWidget(parent)
{
    // Every pixel is painted here: nothing of what lay below may show through.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_size = size();
}

void AlignmentPlot::showPicture(const QImage &picture)
{
    m_picture = picture;
    update();
}

void AlignmentPlot::clearPicture()
{
    m_picture = QImage();
    update();
}

void AlignmentPlot::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Background);
    // A picture drawn at an older size keeps its scale; the rest stays background.
    painter.drawImage(0, 0, m_picture);
}

void AlignmentPlot::resizeEvent(QResizeEvent *event)
{
    m_size = event->size();
    QWidget::resizeEvent(event);
}
