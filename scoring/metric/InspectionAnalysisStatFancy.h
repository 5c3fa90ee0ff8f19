#pragma once

#include "fancy/FancyMainWindow.h"

class Inspection;
class QLabel;

// The statistics window: every score of the examination side by side.
class InspectionAnalysisStatFancy : public Fancy::FancyMainWindow
{
    Q_OBJECT
public:
    explicit InspectionAnalysisStatFancy(QWidget *parent = nullptr);

public slots:
    void onChangedPersone(QString path, Inspection *inspection);

private:
    QLabel *m_summary;
};
