#include "InspectionAnalysisStatFancy.h"

#include "data/ExaminationSummary.h"

#include <QLabel>

InspectionAnalysisStatFancy::InspectionAnalysisStatFancy(QWidget *parent)
    : Fancy::FancyMainWindow(parent), m_summary(new QLabel(examinationSummary(nullptr), this))
{
    setObjectName(QStringLiteral("InspectionAnalysisStatFancy"));
    m_summary->setAlignment(Qt::AlignCenter);
    setCentralWidget(m_summary);
}

void InspectionAnalysisStatFancy::onChangedPersone(QString path, Inspection *inspection)
{
    Q_UNUSED(path);
    m_summary->setText(examinationSummary(inspection));
}
