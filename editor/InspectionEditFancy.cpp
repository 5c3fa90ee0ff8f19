#include "InspectionEditFancy.h"

#include "data/ExaminationSummary.h"
#include "data/SettingsStore.h"
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
    restoreLayout();
}

// The main window saves this layout when the examiner confirms quitting.
void InspectionEditFancy::restoreLayout()
{
    auto settings = SettingsStore::open();
    settings->beginGroup(QStringLiteral("InspectionEditFancy_v3"));
    const QByteArray geometry = settings->value(QStringLiteral("geo_data")).toByteArray();
    const QByteArray state = settings->value(QStringLiteral("layout_data")).toByteArray();
    settings->endGroup();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
    if (!state.isEmpty())
        restoreState(state, 0);
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
