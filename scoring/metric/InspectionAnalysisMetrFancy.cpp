#include "InspectionAnalysisMetrFancy.h"

#include "data/ExaminationSummary.h"

#include <QLabel>

InspectionAnalysisMetrFancy::InspectionAnalysisMetrFancy(QWidget *parent)
    : Fancy::FancyMainWindow(parent), m_summary(new QLabel(this))
{
    setObjectName(QStringLiteral("InspectionAnalysisMetrFancy"));
    m_summary->setAlignment(Qt::AlignCenter);
    setCentralWidget(m_summary);
    reload();
}

void InspectionAnalysisMetrFancy::onChangedPersone(QString path, Inspection *inspection)
{
    Q_UNUSED(path);
    m_inspection = inspection;
    reload();
}

void InspectionAnalysisMetrFancy::reload()
{
    m_summary->setText(examinationSummary(m_inspection));
}
