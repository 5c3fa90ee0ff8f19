#include "InspectionAnalysisMetrFancy.h"
#include "MetrFancyShared.h"

#include "_QHeaderView.h"
#include "_QLabel.h"
#include "_QTreeView.h"
#include "data/SettingsStore.h"
#include "data/WindowLayout.h"
#include "resources/VugResources.h"

#include <QDockWidget>
#include <QFrame>
#include <QMainWindow>
#include <QScrollArea>
#include <QStandardItemModel>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

using namespace MetrFancy;

namespace {

const char kSettingsGroup[] = "InspectionAnalysisMetrFancy";

} // namespace

InspectionAnalysisMetrFancy::InspectionAnalysisMetrFancy(QWidget *parent)
    : Fancy::FancyMainWindow(parent)
{
    setObjectName(QStringLiteral("InspectionAnalysisMetrFancy"));
    createDiagramDock();
    createParamsDock();
    createResultsTree();
    fillParamTable();
    readSettings();
}

InspectionAnalysisMetrFancy::~InspectionAnalysisMetrFancy()
{
    auto settings = SettingsStore::open();
    settings->beginGroup(QLatin1String(kSettingsGroup));
    WindowLayout::write(*settings, *this);
    settings->setValue(QStringLiteral("iScale"), iScale);
    settings->setValue(QStringLiteral("bShowQuestText"), bShowQuestText);
    settings->setValue(QStringLiteral("bShowIA"), bShowIA);
    settings->endGroup();
    settings->sync();
}

void InspectionAnalysisMetrFancy::readSettings()
{
    auto settings = SettingsStore::open();
    settings->beginGroup(QLatin1String(kSettingsGroup));
    const int percent = SettingsStore::read(*settings, QStringLiteral("iScale"), iScale);
    if (std::find(std::begin(kScales), std::end(kScales), percent) != std::end(kScales))
        iScale = percent;
    bShowQuestText = SettingsStore::read(*settings, QStringLiteral("bShowQuestText"), bShowQuestText);
    bShowIA = SettingsStore::read(*settings, QStringLiteral("bShowIA"), bShowIA);
    m_diagramDockSized = WindowLayout::read(*settings).restore(*this);
}

QDockWidget *InspectionAnalysisMetrFancy::createDock(const QString &caption, const QString &name, QWidget *content,
                                                     Qt::DockWidgetArea area)
{
    auto *dock = new QDockWidget(caption, this);
    dock->setObjectName(name);
    dock->setFeatures(QDockWidget::DockWidgetMovable);
    dock->setStyleSheet(QStringLiteral("QDockWidget { font: bold }"));
    dock->setWidget(content);
    addDockWidget(area, dock);
    return dock;
}

void InspectionAnalysisMetrFancy::createDiagramDock()
{
    auto *inner = new QMainWindow;
    createCornerActions(inner);
    m_label = new _QLabel;
    m_label->setCursor(QCursor(VugImages::pixmap(QStringLiteral("xy")), 4, 4));
    m_label->setAlignment(Qt::AlignCenter);
    m_diagramArea = new QScrollArea;
    m_diagramArea->setAlignment(Qt::AlignCenter);
    m_diagramArea->setWidget(m_label);
    inner->setCentralWidget(m_diagramArea);
    m_diagramDock = createDock(tr("По вопросам"), QStringLiteral("pDiagramme"), inner, Qt::BottomDockWidgetArea);
    for (QWidget *widget : {static_cast<QWidget *>(m_diagramArea), static_cast<QWidget *>(m_diagramDock)})
        widget->installEventFilter(this);
    for (QWidget *widget : {static_cast<QWidget *>(m_label), static_cast<QWidget *>(m_diagramArea),
                            static_cast<QWidget *>(m_diagramDock)}) {
        widget->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(widget, &QWidget::customContextMenuRequested, this, &InspectionAnalysisMetrFancy::onContextMenuForDigram);
    }
}

void InspectionAnalysisMetrFancy::createCornerActions(QMainWindow *inner)
{
    struct Corner {
        const char *text;
        const char *icon;
        void (InspectionAnalysisMetrFancy::*slot)();
    };
    const Corner corners[] = {
        {"Сдвинуть влево", "edit_metr_lefttop_left.png", &InspectionAnalysisMetrFancy::onMoveLeftAction},
        {"Сдвинуть вправо", "edit_metr_lefttop_right.png", &InspectionAnalysisMetrFancy::onMoveRightAction},
        {"Сдвинуть вверх", "edit_metr_lefttop_top.png", &InspectionAnalysisMetrFancy::onMoveTopAction},
        {"Сдвинуть вниз", "edit_metr_lefttop_bottom.png", &InspectionAnalysisMetrFancy::onMoveBottomAction},
        {"Сдвинуть влево (Ctrl+Left)", "edit_metr_rightbottom_left.png", &InspectionAnalysisMetrFancy::onMoveLeftAction2},
        {"Сдвинуть вправо (Ctrl+Right)", "edit_metr_rightbottom_right.png", &InspectionAnalysisMetrFancy::onMoveRightAction2},
        {"Сдвинуть вверх (Ctrl+Up)", "edit_metr_rightbottom_top.png", &InspectionAnalysisMetrFancy::onMoveTopAction2},
        {"Сдвинуть вниз (Ctrl+Down)", "edit_metr_rightbottom_bottom.png", &InspectionAnalysisMetrFancy::onMoveBottomAction2},
    };
    auto *bar = new QToolBar(inner);
    bar->setMovable(false);
    bar->setContextMenuPolicy(Qt::CustomContextMenu);
    for (int k = 0; k < 8; ++k) {
        if (k == 4)
            bar->addSeparator();
        QAction *action = bar->addAction(VugImages::icon(QLatin1String(corners[k].icon)),
                                         tr(corners[k].text));
        connect(action, &QAction::triggered, this, corners[k].slot);
    }
    inner->addToolBar(bar);
}

void InspectionAnalysisMetrFancy::createParamsDock()
{
    auto *frame = new QFrame;
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    m_paramTable = new QTreeView;
    m_paramTable->setRootIsDecorated(false);
    m_paramTable->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_paramTable, &QWidget::customContextMenuRequested, this, &InspectionAnalysisMetrFancy::onContextMenuForParams);
    m_description = new QTextEdit;
    m_description->setReadOnly(true);
    m_description->setFixedHeight(40);
    layout->addWidget(m_paramTable, 32);
    layout->addWidget(m_description);
    createDock(tr("Параметры"), QStringLiteral("pParams"), frame, Qt::RightDockWidgetArea);
}

void InspectionAnalysisMetrFancy::createResultsTree()
{
    m_tree = new _QTreeView(this);
    m_header = new _QHeaderView(m_tree);
    m_tree->setHeader(m_header);
    m_tree->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_tree->installEventFilter(this);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tree, &QWidget::customContextMenuRequested, this, &InspectionAnalysisMetrFancy::onContextMenuForData);
    connect(m_header, &QHeaderView::sectionDoubleClicked, this, &InspectionAnalysisMetrFancy::sectionHandleDoubleClicked);
    setResultsModel(new QStandardItemModel);
    setCentralWidget(m_tree);
}

void InspectionAnalysisMetrFancy::onChangedPersone(QString path, Inspection *inspection)
{
    m_menuTest = -1;
    if (path.isEmpty()) {
        // The editor has let go of that examination: nothing of it may stay on show.
        m_inspection = nullptr;
        clearTables();
        return;
    }
    m_inspection = inspection;
    reload();
}

void InspectionAnalysisMetrFancy::reload()
{
    if (!m_inspection) {
        clearTables();
        return;
    }
    readParams();
    loadMarks();
    fillParamTable();
    fillResultsTree(false);
}

// The results count presentations by the marks of each recorded test and read
// its measured values, both stored with the recording.
void InspectionAnalysisMetrFancy::loadMarks()
{
    readInto(tr("отметки записанных тестов"), [this] { return m_inspection->loadMarks(); });
}

bool InspectionAnalysisMetrFancy::readParams()
{
    return readInto(tr("параметры"), [this] { return m_inspection->loadMetricParams(); });
}

void InspectionAnalysisMetrFancy::clearTables()
{
    fillParamTable();
    setResultsModel(new QStandardItemModel);
    m_header->setSectionColours({});
    clearDiagram();
}
