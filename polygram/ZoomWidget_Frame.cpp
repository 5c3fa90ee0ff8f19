#include "ZoomWidget_Frame.h"

#include <QPainter>
#include <QPixmap>

void _Frame::paintEvent(QPaintEvent *)
{
    QPixmap px(size());
    emit DrawZoomSignal(px);
    QPainter painter(this);
    painter.drawPixmap(0, 0, px);
    painter.drawRect(0, 0, width() - 2, height() - 2);
}
