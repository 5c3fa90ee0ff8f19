#include "InspectionEditFancy.h"

#include "data/ExaminationSummary.h"
#include "subjects/PreTestCanversationDockWindow.h"

#include <QLabel>

InspectionEditFancy::InspectionEditFancy(QWidget *parent)
    : Fancy::FancyMainWindow(parent),
      m_summary(new QLabel(this)),
      m_preTest(new PreTestCanversationDockWindow(this))
{
    setObjectName(QStringLiteral("InspectionEditFancy"));
    m_summary->setAlignment(Qt::AlignCenter);
    setCentralWidget(m_summary);
    addDockWidget(Qt::RightDockWidgetArea, m_preTest);
    connect(this, SIGNAL(notifyChangePersone(QString, Inspection *)), m_preTest,
            SLOT(onChangedPersone(QString, Inspection *)));
    connect(this, SIGNAL(notifyChangePersone(QString, Inspection *)), this,
            SLOT(onChangedPersone(QString, Inspection *)));
    updateView();
}

void InspectionEditFancy::onChangedPersone(QString path, Inspection *inspection)
{
    Q_UNUSED(path);
    m_inspection = inspection;
    updateView();
}

void InspectionEditFancy::updateView()
{
    m_summary->setText(examinationSummary(m_inspection));
}
