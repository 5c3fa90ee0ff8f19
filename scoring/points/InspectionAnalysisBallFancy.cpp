#include "InspectionAnalysisBallFancy.h"

#include "data/ExaminationSummary.h"

#include <QLabel>

InspectionAnalysisBallFancy::InspectionAnalysisBallFancy(QWidget *parent)
    : Fancy::FancyMainWindow(parent), m_summary(new QLabel(this))
{
    setObjectName(QStringLiteral("InspectionAnalysisBallFancy"));
    m_summary->setAlignment(Qt::AlignCenter);
    m_summary->setFocusPolicy(Qt::StrongFocus);
    setCentralWidget(m_summary);
    updateTitle();
}

void InspectionAnalysisBallFancy::onChangedPersone(QString path, Inspection *inspection)
{
    Q_UNUSED(path);
    m_inspection = inspection;
    updateTitle();
}

void InspectionAnalysisBallFancy::updateTitle()
{
    m_summary->setText(examinationSummary(m_inspection));
    setWindowTitle(m_summary->text());
}
