#include "InspectionAnalysisBallFancy.h"
#include "BallFancyShared.h"

#include "FragmentPanel.h"
#include "PointerTracker.h"
#include "Style_tweaks.h"
#include "_GridDelegate.h"
#include "_QDockWidget.h"
#include "_QListView.h"
#include "_QTreeViewExpand.h"
#include "data/SettingsStore.h"
#include "data/WarningTone.h"
#include "data/WindowLayout.h"
#include "resources/VugResources.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QToolBar>

using namespace BallFancy;

namespace {

const char kSettingsGroup[] = "InspectionAnalysisBallFancy_v3";
const char *const kScaleNames[] = {"012", "101", "3210123"};
const char *const kGroupCaptions[] = {"КГР (кгр)", "ПГ (пг/ад/доп.)", "Дых (дых.в/дых.н)"};

} // namespace

InspectionAnalysisBallFancy::InspectionAnalysisBallFancy(QWidget *parent)
    : Fancy::FancyMainWindow(parent), m_tree(new _QTreeViewExpand(this))
{
    setObjectName(QStringLiteral("InspectionAnalysisBallFancy"));
    readSettings();

    m_tree->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tree->setMinimumSize(10, 10);
    m_tree->setItemDelegate(new _GridDelegate(this, m_tree));
    auto *style = new Style_tweaks;
    style->setParent(m_tree);
    m_tree->setStyle(style);
    setTreeModel(new QStandardItemModel(m_tree));

    createToolBar();
    createPanels();

    auto settings = SettingsStore::open();
    settings->beginGroup(QLatin1String(kSettingsGroup));
    WindowLayout::read(*settings, QStringLiteral("2")).restore(*this);

    setCentralWidget(m_tree);
    updateUi();
    m_warningTone = [this] { playTone(this); };
    for (int panel = 0; panel < 2; ++panel) {
        m_fragments[panel]->list()->installEventFilter(this);
        m_listPointers[panel] = new PointerTracker(m_fragments[panel]->list()->viewport());
    }
    m_tree->installEventFilter(this);
    m_treePointer = new PointerTracker(m_tree->viewport());
    for (FragmentPanel *panel : m_fragments)
        panel->dock()->setFloatingMode(panel->options().bModePinnable);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tree, &QWidget::customContextMenuRequested, this, &InspectionAnalysisBallFancy::onNavigatorMenu);
    for (FragmentPanel *panel : m_fragments)
        panel->list()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_fragments[1]->list(), &QWidget::customContextMenuRequested, this,
            &InspectionAnalysisBallFancy::onImageListMenu2);
    connect(m_fragments[0]->list(), &QWidget::customContextMenuRequested, this,
            &InspectionAnalysisBallFancy::onImageListMenu);
}

InspectionAnalysisBallFancy::~InspectionAnalysisBallFancy()
{
    auto settings = SettingsStore::open();
    settings->beginGroup(QLatin1String(kSettingsGroup));
    // A dock still enlarged by its floating mode keeps the size it had before.
    for (FragmentPanel *panel : m_fragments)
        panel->dock()->shrinkNow();
    QCoreApplication::sendPostedEvents(this, QEvent::LayoutRequest);
    WindowLayout::write(*settings, *this, QStringLiteral("2"));
    m_panel.write(*settings, QString());
    m_panel2.write(*settings, QStringLiteral("2"));
    settings->setValue(QStringLiteral("iModeValuation"), iModeValuation);
    settings->setValue(QStringLiteral("iModeInput"), iModeInput);
    settings->endGroup();
    settings->sync();
}

void InspectionAnalysisBallFancy::readSettings()
{
    auto settings = SettingsStore::open();
    settings->beginGroup(QLatin1String(kSettingsGroup));
    m_panel.read(*settings, QString());
    m_panel2.read(*settings, QStringLiteral("2"));
    iModeInput = SettingsStore::read(*settings, QStringLiteral("iModeInput"), iModeInput);
    iModeValuation = SettingsStore::read(*settings, QStringLiteral("iModeValuation"), iModeValuation);
}

void InspectionAnalysisBallFancy::createToolBar()
{
    auto *bar = new QToolBar(this);
    // Named so the saved layout holds the tool bar too.
    bar->setObjectName(QStringLiteral("BallToolBar"));
    void (InspectionAnalysisBallFancy::*const selectors[])(bool) = {
        &InspectionAnalysisBallFancy::onSelectChannelGSR, &InspectionAnalysisBallFancy::onSelectChannelPG,
        &InspectionAnalysisBallFancy::onSelectChannelRG};
    for (int group = 0; group < 3; ++group) {
        m_groupButtons[group] = new QRadioButton(tr(kGroupCaptions[group]), bar);
        connect(m_groupButtons[group], &QRadioButton::toggled, this, selectors[group]);
        bar->addWidget(m_groupButtons[group]);
    }
    bar->addSeparator();
    m_prevGroup = bar->addAction(VugImages::icon(QStringLiteral("PrevGroup")), tr("Перейти к ПЕРДЫДУЩЕЙ группе"));
    connect(m_prevGroup, &QAction::triggered, this, &InspectionAnalysisBallFancy::onShowGroupPrevAction);
    m_nextGroup = bar->addAction(VugImages::icon(QStringLiteral("NextGroup")), tr("Перейти к СЛЕДУЮЩЕЙ группе"));
    connect(m_nextGroup, &QAction::triggered, this, &InspectionAnalysisBallFancy::onShowGroupNextAction);
    bar->addSeparator();
    QAction *matrix = bar->addAction(VugImages::icon(QStringLiteral("Table-icon")), tr("Матрица реакций"));
    connect(matrix, &QAction::triggered, this, &InspectionAnalysisBallFancy::onShowTableImages);
    bar->addSeparator();
    // The window is a page of the main window, whose title bar it does not
    // own: its title shows here, where the examiner scores.
    auto *title = new QLabel(bar);
    title->setObjectName(QStringLiteral("BallTitle"));
    title->setStyleSheet(QStringLiteral("QLabel { font: bold; padding: 0 8px; }"));
    connect(this, &QWidget::windowTitleChanged, title, &QLabel::setText);
    bar->addWidget(title);
    addToolBar(bar);
}

void InspectionAnalysisBallFancy::createPanels()
{
    m_fragments[0] = new FragmentPanel(tr("Полиграммы: вид1"), QStringLiteral("m_pDiagramme"), m_panel, this);
    m_fragments[1] = new FragmentPanel(tr("Полиграммы: вид2"), QStringLiteral("m_pDiagramme2"), m_panel2, this);
    m_fragments[1]->list()->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    for (int panel = 0; panel < 2; ++panel) {
        _QListView *list = m_fragments[panel]->list();
        connect(m_fragments[panel], &FragmentPanel::refill, this, [this, panel] { updateImageList(panel); });
        connect(list, &QAbstractItemView::doubleClicked, this, &InspectionAnalysisBallFancy::onDoubleClick);
        connect(list, &_QListView::notifyCloseQuest, this, &InspectionAnalysisBallFancy::notifyCloseQuestFomImage);
    }
    connect(m_fragments[0]->list(), &_QListView::notifyResize, this, &InspectionAnalysisBallFancy::onResizeListImages);
    connect(m_fragments[1]->list(), &_QListView::notifyResize, this, &InspectionAnalysisBallFancy::onResizeListImages2);
    addDockWidget(Qt::BottomDockWidgetArea, m_fragments[0]->dock());
    tabifyDockWidget(m_fragments[0]->dock(), m_fragments[1]->dock());
}

void InspectionAnalysisBallFancy::onChangedPersone(QString path, Inspection *pInspection)
{
    Q_UNUSED(path);
    m_inspection = pInspection;
    m_menuIndex = QModelIndex();
    if (m_inspection && parentWidget() && !isVisible()) {
        // A page of the main window not on show fills its trees when shown:
        // a subject of many tests is not scored into trees nobody sees.
        setTreeModel(new QStandardItemModel(m_tree));
        m_treesStale = true;
    } else if (m_inspection) {
        updateTitle();
    } else {
        // The previous subject's scores must not stay over an examination the editor cleared.
        setTreeModel(new QStandardItemModel(m_tree));
        fillImageLists();
        setWindowTitle(QString());
    }
    updateUi();
}

void InspectionAnalysisBallFancy::updateTitle()
{
    m_treesStale = false;
    const QString scale = iModeValuation >= 0 && iModeValuation < 3 ? QLatin1String(kScaleNames[iModeValuation]) : QString();
    QString prefix;
    if (iModeInput == Navigator) {
        prefix = tr("Навигатор: ");
        fillNavigatorTree(false);
    } else {
        prefix = tr("Эксперт: ");
        fillExpertTree(false);
    }
    setWindowTitle(prefix + scale);
    if (parentWidget())
        parentWidget()->setWindowTitle(windowTitle());
}

void InspectionAnalysisBallFancy::updateTree()
{
    if (iModeInput == Navigator)
        fillNavigatorTree(true);
    else
        fillExpertTree(true);
    // The weight markers are drawn from the test, not from the model: no cell change repaints them.
    m_tree->viewport()->update();
}

void InspectionAnalysisBallFancy::updateUi()
{
    const QModelIndex current = m_tree->currentIndex();
    const bool hasCell = current.isValid() || !m_tree->selectionModel()->selection().isEmpty();
    const int group = hasCell ? questKeyOf(current).iParam : -1;
    for (int index = 0; index < 3; ++index) {
        QSignalBlocker blocker(m_groupButtons[index]);
        if (index == group)
            m_groupButtons[index]->setChecked(true);
        m_groupButtons[index]->setEnabled(hasCell);
    }
    m_prevGroup->setEnabled(hasCell);
    m_nextGroup->setEnabled(hasCell);
    for (FragmentPanel *panel : m_fragments) {
        panel->showKindFilter(iModeInput == Expert);
        panel->dock()->setVisible(panel->options().bVisiblePanel);
    }
}

Inspection::_Test *InspectionAnalysisBallFancy::currentTest() const
{
    const QModelIndex current = m_tree->currentIndex();
    if (!m_inspection || !current.isValid())
        return nullptr;
    return m_inspection->test(questKeyOf(current).iTest);
}

void InspectionAnalysisBallFancy::showEvent(QShowEvent *event)
{
    Fancy::FancyMainWindow::showEvent(event);
    if (m_treesStale && m_inspection)
        updateTitle();
    if (!currentTest())
        return;
    if (m_panel.bVisiblePanel)
        updateImageList(0);
    if (m_panel2.bVisiblePanel)
        updateImageList(1);
}
