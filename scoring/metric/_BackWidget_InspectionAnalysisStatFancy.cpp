#include "_BackWidget_InspectionAnalysisStatFancy.h"

void _BackWidget_InspectionAnalysisStatFancy::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    emit notifyResize(event);
}
