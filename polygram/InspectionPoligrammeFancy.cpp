#include "InspectionPoligrammeFancy.h"

#include "data/ExaminationSummary.h"
#include "data/Inspection.h"

#include <QLabel>

InspectionPoligrammeFancy::InspectionPoligrammeFancy(QWidget *parent)
    : Fancy::FancyMainWindow(parent), m_summary(new QLabel(this))
{
    setObjectName(QStringLiteral("InspectionPoligrammeFancy"));
    m_summary->setAlignment(Qt::AlignCenter);
    setCentralWidget(m_summary);
    loadInspection();
}

void InspectionPoligrammeFancy::onChangedPersone(QString path, Inspection *inspection)
{
    Q_UNUSED(path);
    m_inspection = inspection;
    m_shownTest = -1;
    loadInspection();
}

void InspectionPoligrammeFancy::loadInspection()
{
    m_summary->setText(examinationSummary(m_inspection));
}

void InspectionPoligrammeFancy::showTest(int test, int position, int channel)
{
    Q_UNUSED(position);
    Q_UNUSED(channel);
    if (m_inspection && m_inspection->test(test))
        m_shownTest = test;
}
