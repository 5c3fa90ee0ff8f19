#pragma once

#include <QResizeEvent>
#include <QWidget>

// The statistics window's first central widget: passes its resizes on.
class _BackWidget_InspectionAnalysisStatFancy : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

signals:
    void notifyResize(QResizeEvent *pEvt);

protected:
    void resizeEvent(QResizeEvent *event) override;
};
