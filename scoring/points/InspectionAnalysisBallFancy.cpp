#include "InspectionAnalysisBallFancy.h"

#include "ExpertTreeFill.h"
#include "FragmentPanel.h"
#include "MatrixBallDlg.h"
#include "FragmentListFill.h"
#include "NavigatorTreeFill.h"
#include "PointerTracker.h"
#include "QuestKey.h"
#include "Style_tweaks.h"
#include "ViewModel.h"
#include "_GridDelegate.h"
#include "_QDockWidget.h"
#include "_QListView.h"
#include "_QTreeViewExpand.h"

#include "app/services/TreeViewExport.h"
#include "data/ActivePopupMenu.h"
#include "data/SettingsStore.h"
#include "data/SharedHelpers.h"
#include "data/WarningTone.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollBar>
#include <QMenu>
#include <QMessageBox>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QToolBar>

namespace {

const char kSettingsGroup[] = "InspectionAnalysisBallFancy_v3";
const char *const kScaleNames[] = {"012", "101", "3210123"};
const char *const kGroupCaptions[] = {"КГР (кгр)", "ПГ (пг/ад/доп.)", "Дых (дых.в/дых.н)"};
const char *const kWeightCaptions[] = {"КГР x %1", "ПГ x %1", "Дых x %1"};
constexpr float kMaxWeight = 3.0f;
// Samples are recorded every 50 ms.
constexpr int kTicksPerSecond = 20;

QuestKey questKeyOf(const QModelIndex &index)
{
    QuestKey key;
    key.fromJson(index.data(QuestKey::Role).toJsonObject());
    return key;
}

bool isQuestion(const Inspection::_Test &test, int quest)
{
    return quest >= 0 && quest < test.themis.size();
}

bool isPresentation(const Inspection::_Test &test, int presentation)
{
    return presentation >= 1 && presentation <= test.presentationCount();
}

// Images are shown at their own size: the icon size is the largest of them.
QSize largestPicture(const QAbstractItemModel &model)
{
    QSize largest(1, 1);
    for (int row = 0; row < model.rowCount(); ++row)
        largest = largest.expandedTo(model.index(row, 0).data(Qt::DecorationRole).value<QPixmap>().size());
    return largest;
}

QString tellSaveFailed()
{
    return QObject::tr("Не удалось сохранить оценки в файл обследуемого.\n"
                       "Изменение отменено: показаны оценки, которые хранит файл.");
}

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
    const QByteArray layout = settings->value(QStringLiteral("layout_data2")).toByteArray();
    if (!layout.isEmpty())
        restoreState(layout, 0);
    const QByteArray geometry = settings->value(QStringLiteral("geo_data2")).toByteArray();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);

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
    settings->setValue(QStringLiteral("geo_data2"), saveGeometry());
    // A dock still enlarged by its floating mode keeps the size it had before.
    for (FragmentPanel *panel : m_fragments)
        panel->dock()->shrinkNow();
    QCoreApplication::sendPostedEvents(this, QEvent::LayoutRequest);
    settings->setValue(QStringLiteral("layout_data2"), saveState(0));
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
    m_prevGroup = bar->addAction(QIcon(QStringLiteral(":/Pelmar/Images/PrevGroup")), tr("Перейти к ПЕРДЫДУЩЕЙ группе"));
    connect(m_prevGroup, &QAction::triggered, this, &InspectionAnalysisBallFancy::onShowGroupPrevAction);
    m_nextGroup = bar->addAction(QIcon(QStringLiteral(":/Pelmar/Images/NextGroup")), tr("Перейти к СЛЕДУЮЩЕЙ группе"));
    connect(m_nextGroup, &QAction::triggered, this, &InspectionAnalysisBallFancy::onShowGroupNextAction);
    bar->addSeparator();
    QAction *matrix = bar->addAction(QIcon(QStringLiteral(":/Pelmar/Images/Table-icon")), tr("Матрица реакций"));
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

// --- state shown ---

void InspectionAnalysisBallFancy::onChangedPersone(QString path, Inspection *pInspection)
{
    Q_UNUSED(path);
    m_inspection = pInspection;
    m_menuIndex = QModelIndex();
    m_saveFailureTold = false;
    if (m_inspection) {
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

void InspectionAnalysisBallFancy::setTreeModel(QStandardItemModel *model)
{
    putTreeModel(model);
    followTree(true);
}

void InspectionAnalysisBallFancy::putTreeModel(QStandardItemModel *model)
{
    model->setParent(m_tree);
    replaceViewModel(m_tree, model);
}

// The window hears the tree's selection and check boxes except while a fill
// sets them itself.
void InspectionAnalysisBallFancy::followTree(bool follow)
{
    QItemSelectionModel *selection = m_tree->selectionModel();
    auto *model = qobject_cast<QStandardItemModel *>(m_tree->model());
    if (follow) {
        connect(selection, &QItemSelectionModel::selectionChanged, this,
                &InspectionAnalysisBallFancy::onSelectionChangeNavigator, Qt::UniqueConnection);
        if (model)
            connect(model, &QStandardItemModel::itemChanged, this,
                    &InspectionAnalysisBallFancy::onItemChanged_CheckedUnchecked, Qt::UniqueConnection);
    } else {
        disconnect(selection, &QItemSelectionModel::selectionChanged, this,
                   &InspectionAnalysisBallFancy::onSelectionChangeNavigator);
        if (model)
            disconnect(model, &QStandardItemModel::itemChanged, this,
                       &InspectionAnalysisBallFancy::onItemChanged_CheckedUnchecked);
    }
}

void InspectionAnalysisBallFancy::fillNavigatorTree(bool refresh)
{
    NavigatorTreeFill fill(m_inspection, iModeValuation);
    fillTree(fill, refresh);
}

void InspectionAnalysisBallFancy::fillExpertTree(bool refresh)
{
    ExpertTreeFill fill(m_inspection, iModeValuation);
    fillTree(fill, refresh);
}

// A refresh rewrites the values in the tree's model, keeping rows, expansion
// and selection; a model that no longer fits the examination is built anew.
void InspectionAnalysisBallFancy::fillTree(ScoringTreeFill &fill, bool refresh)
{
    followTree(false);
    auto *model = qobject_cast<QStandardItemModel *>(m_tree->model());
    QItemSelectionModel *selection = m_tree->selectionModel();
    const QModelIndexList selected = selection->selectedIndexes();
    const QList<QPersistentModelIndex> remembered(selected.begin(), selected.end());
    if (refresh && model && fill.refresh(*model)) {
        for (const QPersistentModelIndex &index : remembered)
            selection->select(index, QItemSelectionModel::Select);
    } else {
        putTreeModel(fill.build());
        const QVector<int> widths = fill.columnWidths();
        for (int column = 0; column < widths.size(); ++column) {
            if (widths[column] >= 0)
                m_tree->setColumnWidth(column, widths[column]);
        }
        removeImageListModels();
    }
    followTree(true);
}

void InspectionAnalysisBallFancy::removeImageListModels()
{
    for (FragmentPanel *panel : m_fragments)
        replaceViewModel(panel->list(), nullptr);
}

// Panels draw every image again at each fill, so only a visible one is filled.
void InspectionAnalysisBallFancy::updateImageList(int panel)
{
    QListView *list = m_fragments[panel]->list();
    if (!m_tree->model() || !list->isVisible())
        return;
    QScopedValueRollback<bool> filling(m_filling, true);
    list->clearSelection();
    list->setCurrentIndex(QModelIndex());
    list->clearFocus();
    QVector<QJsonObject> selected;
    for (const QModelIndex &cell : m_tree->selectionModel()->selectedIndexes())
        selected << cell.data(QuestKey::Role).toJsonObject();
    int current = -1;
    QStandardItemModel *model = m_inspection
        ? FragmentListFill(*m_inspection, iModeValuation, panelOptions(panel), imageUnit(list, panelOptions(panel)))
              .build(selected, questKeyOf(m_tree->currentIndex()), &current)
        : new QStandardItemModel(0, 1);
    model->setParent(this);
    replaceViewModel(list, model);
    list->setIconSize(largestPicture(*model));
    if (panel == 0)
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &InspectionAnalysisBallFancy::onSelectionChanged_ListView, Qt::UniqueConnection);
    if (current >= 0) {
        list->setCurrentIndex(model->index(current, 0));
        list->scrollTo(model->index(current, 0));
    }
    list->viewport()->update();
}

// The height unit of the panel's images: its scale, or in auto scale what
// fits the list's height under its scroll bar.
int InspectionAnalysisBallFancy::imageUnit(const QListView *list, const PointsPanelOptions &panel)
{
    if (panel.iScale != -1)
        return panel.iScale;
    const int bar = list->horizontalScrollBar()->isVisible() ? 25 : 5;
    return (list->contentsRect().height() - bar) / 5;
}

void InspectionAnalysisBallFancy::fillImageLists()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    updateImageList(0);
    updateImageList(1);
    QApplication::restoreOverrideCursor();
}

void InspectionAnalysisBallFancy::showEvent(QShowEvent *event)
{
    Fancy::FancyMainWindow::showEvent(event);
    if (!currentTest())
        return;
    if (m_panel.bVisiblePanel)
        updateImageList(0);
    if (m_panel2.bVisiblePanel)
        updateImageList(1);
}

// --- selection ---

void InspectionAnalysisBallFancy::onSelectionChangeNavigator(const QItemSelection &, const QItemSelection &)
{
    QCoreApplication::processEvents();
    if (m_selectionReaction && !m_tree->selectionModel()->selection().isEmpty()) {
        fillImageLists();
        updateUi();
    }
    m_selectionReaction = true;
}

void InspectionAnalysisBallFancy::moveSelection(const std::function<QModelIndex(const QModelIndex &)> &target)
{
    m_selectionReaction = false;
    QItemSelectionModel *selection = m_tree->selectionModel();
    const QModelIndexList remembered = selection->selectedIndexes();
    selection->clearSelection();
    for (const QModelIndex &cell : remembered) {
        const QModelIndex moved = target(cell);
        if (moved.isValid())
            selection->setCurrentIndex(moved, QItemSelectionModel::Select);
    }
    if (selection->selectedIndexes().isEmpty()) {
        for (const QModelIndex &cell : remembered)
            selection->setCurrentIndex(cell, QItemSelectionModel::Select);
    }
}

void InspectionAnalysisBallFancy::selectChannel(int group)
{
    moveSelection([group](const QModelIndex &cell) { return cell.sibling(group, cell.column()); });
    updateUi();
}

void InspectionAnalysisBallFancy::stepGroup(int step)
{
    Inspection *examination = m_inspection;
    moveSelection([examination, step](const QModelIndex &cell) {
        const Inspection::_Test *test = examination ? examination->test(questKeyOf(cell).iTest) : nullptr;
        if (!test)
            return QModelIndex();
        const int column = cell.column();
        if ((column > 1 && step < 0) || (step > 0 && column < test->presentationCount()))
            return cell.siblingAtColumn(column + step);
        return QModelIndex();
    });
    fillImageLists();
    updateUi();
}

void InspectionAnalysisBallFancy::onSelectChannelGSR(bool checked)
{
    if (checked)
        selectChannel(0);
}

void InspectionAnalysisBallFancy::onSelectChannelPG(bool checked)
{
    if (checked)
        selectChannel(1);
}

void InspectionAnalysisBallFancy::onSelectChannelRG(bool checked)
{
    if (checked)
        selectChannel(2);
}

void InspectionAnalysisBallFancy::onShowGroupPrevAction()
{
    stepGroup(-1);
}

void InspectionAnalysisBallFancy::onShowGroupNextAction()
{
    stepGroup(+1);
}

// --- menus ---

void InspectionAnalysisBallFancy::onNavigatorMenu(const QPoint &point)
{
    m_menuIndex = m_tree->indexAt(point);
    const bool ctrl = QGuiApplication::keyboardModifiers() & Qt::ControlModifier;
    QScopedPointer<QMenu> menu(buildNavigatorMenu(m_menuIndex, ctrl));
    ActivePopupMenu marker(menu.data());
    menu->exec(m_tree->viewport()->mapToGlobal(point));
}

QMenu *InspectionAnalysisBallFancy::buildNavigatorMenu(QModelIndex index, bool ctrl)
{
    m_menuIndex = index;
    auto *menu = new QMenu;
    if (ctrl) {
        const Inspection::_Test *test = testOfTreeIndex(index);
        addWeightRuns(menu, test);
        menu->addSeparator();
        addPresentations(menu, test);
    } else {
        addCommands(menu);
    }
    return menu;
}

void InspectionAnalysisBallFancy::addWeightRuns(QMenu *menu, const Inspection::_Test *test)
{
    void (InspectionAnalysisBallFancy::*const setters[])() = {
        &InspectionAnalysisBallFancy::onSetGSR, &InspectionAnalysisBallFancy::onSetPG, &InspectionAnalysisBallFancy::onSetRG};
    for (int group = 0; group < 3; ++group) {
        if (group > 0)
            menu->addSeparator();
        for (int step = 0; step <= 6; ++step) {
            const float weight = step * 0.5f;
            QAction *action = menu->addAction(tr(kWeightCaptions[group]).arg(double(weight), 0, 'f', 1));
            action->setCheckable(true);
            action->setChecked(test && test->valuationBall_ChannelK[group] == weight);
            action->setData(double(weight));
            action->setEnabled(test != nullptr);
            connect(action, &QAction::triggered, this, setters[group]);
        }
    }
}

void InspectionAnalysisBallFancy::addPresentations(QMenu *menu, const Inspection::_Test *test)
{
    const int count = test ? test->presentationCount() : 0;
    for (int presentation = 1; presentation <= count; ++presentation) {
        QAction *action = menu->addAction(tr("Предъявление - ") + romanNumeral(presentation));
        action->setCheckable(true);
        action->setChecked(!test->valuationBall_GroupsDisabled.contains(presentation));
        action->setData(presentation);
        connect(action, &QAction::triggered, this, &InspectionAnalysisBallFancy::onSetGroup);
    }
}

void InspectionAnalysisBallFancy::addCommands(QMenu *menu)
{
    const auto addChoice = [this, menu](QActionGroup *group, const QString &text, bool checked,
                                        void (InspectionAnalysisBallFancy::*slot)()) {
        QAction *action = menu->addAction(text, this, slot);
        action->setCheckable(true);
        action->setChecked(checked);
        group->addAction(action);
    };
    menu->addAction(QIcon(QStringLiteral(":/Pelmar/Images/Microsoft-Excel-icon.png")), tr("Экспорт в MSExel..."), this,
                    &InspectionAnalysisBallFancy::onExportExel);
    menu->addSeparator();
    auto *scales = new QActionGroup(menu);
    addChoice(scales, tr("Бальная оценка 012"), iModeValuation == Scale012, &InspectionAnalysisBallFancy::onEnableBall012);
    addChoice(scales, tr("Бальная оценка 101"), iModeValuation == Scale101, &InspectionAnalysisBallFancy::onEnableBall101);
    addChoice(scales, tr("Бальная оценка 3210123"), iModeValuation == Scale3210123,
              &InspectionAnalysisBallFancy::onEnableBall3210123);
    menu->addSeparator();
    auto *modes = new QActionGroup(menu);
    addChoice(modes, tr("Режим НАВИГАТОР"), iModeInput == Navigator, &InspectionAnalysisBallFancy::onModeInput_0);
    addChoice(modes, tr("Режим ЭКСПЕРТ"), iModeInput == Expert, &InspectionAnalysisBallFancy::onModeInput_1);
    menu->addSeparator();
    QAction *view = menu->addAction(tr("Включить панель: вид1"), this, &InspectionAnalysisBallFancy::onShowView);
    view->setCheckable(true);
    view->setChecked(m_panel.bVisiblePanel);
    QAction *view2 = menu->addAction(tr("Включить панель: вид2"), this, &InspectionAnalysisBallFancy::onShowView2);
    view2->setCheckable(true);
    view2->setChecked(m_panel2.bVisiblePanel);
    menu->addSeparator();
    QAction *clearTest = menu->addAction(tr("Очистить параметры текущем тесте"), this, &InspectionAnalysisBallFancy::onClearTest);
    clearTest->setEnabled(m_menuIndex.isValid());
    menu->addSeparator();
    menu->addAction(tr("Очистить параметры во всех тестах"), this, &InspectionAnalysisBallFancy::onClearAll);
}

void InspectionAnalysisBallFancy::onExportExel()
{
    exportTreeViewToExcel(m_tree);
}

void InspectionAnalysisBallFancy::onEnableBall012()
{
    iModeValuation = Scale012;
    updateTitle();
}

void InspectionAnalysisBallFancy::onEnableBall101()
{
    iModeValuation = Scale101;
    updateTitle();
}

void InspectionAnalysisBallFancy::onEnableBall3210123()
{
    iModeValuation = Scale3210123;
    updateTitle();
}

void InspectionAnalysisBallFancy::onModeInput_0()
{
    iModeInput = Navigator;
    updateTitle();
    updateUi();
}

void InspectionAnalysisBallFancy::onModeInput_1()
{
    iModeInput = Expert;
    updateTitle();
    updateUi();
}

void InspectionAnalysisBallFancy::onShowView()
{
    m_panel.bVisiblePanel = !m_panel.bVisiblePanel;
    updateUi();
    if (m_panel.bVisiblePanel)
        updateImageList(0);
}

void InspectionAnalysisBallFancy::onShowView2()
{
    m_panel2.bVisiblePanel = !m_panel2.bVisiblePanel;
    updateUi();
    if (m_panel2.bVisiblePanel)
        updateImageList(1);
}

// --- changes of points ---

BallValuationMap &InspectionAnalysisBallFancy::activeScale(Inspection::_Test &test) const
{
    switch (iModeValuation) {
    case Scale101:
        return test.valuationBall_101;
    case Scale3210123:
        return test.valuationBall_3210123;
    default:
        return test.valuationBall_012;
    }
}

Inspection::_Test *InspectionAnalysisBallFancy::menuTest() const
{
    return testOfTreeIndex(m_menuIndex);
}

bool InspectionAnalysisBallFancy::changeScores(Inspection::_Test *test,
                                                const std::function<void(Inspection::_Test &)> &change)
{
    if (!m_inspection || !test)
        return false;
    const Inspection::_Test before = *test;
    change(*test);
    if (m_inspection->saveBallValuation(test) == StoreResult::Ok)
        return true;
    test->valuationBall_012 = before.valuationBall_012;
    test->valuationBall_101 = before.valuationBall_101;
    test->valuationBall_3210123 = before.valuationBall_3210123;
    std::copy(std::begin(before.valuationBall_ChannelK), std::end(before.valuationBall_ChannelK),
              std::begin(test->valuationBall_ChannelK));
    test->valuationBall_GroupsDisabled = before.valuationBall_GroupsDisabled;
    if (!m_saveFailureTold) {
        m_saveFailureTold = true;
        QMessageBox::warning(this, tr("Воркел"), tellSaveFailed());
    }
    return false;
}

void InspectionAnalysisBallFancy::setWeight(int group)
{
    auto *action = qobject_cast<QAction *>(sender());
    const float weight = action ? action->data().toFloat() : -1.0f;
    if (weight < 0.0f || weight > kMaxWeight)
        return;
    if (changeScores(menuTest(), [group, weight](Inspection::_Test &test) { test.valuationBall_ChannelK[group] = weight; }))
        updateTree();
}

void InspectionAnalysisBallFancy::onSetGSR()
{
    setWeight(0);
}

void InspectionAnalysisBallFancy::onSetPG()
{
    setWeight(1);
}

void InspectionAnalysisBallFancy::onSetRG()
{
    setWeight(2);
}

void InspectionAnalysisBallFancy::onSetGroup()
{
    auto *action = qobject_cast<QAction *>(sender());
    Inspection::_Test *test = menuTest();
    if (!action || !test || !isPresentation(*test, action->data().toInt()))
        return;
    const int presentation = action->data().toInt();
    const bool changed = changeScores(test, [presentation](Inspection::_Test &t) {
        if (!t.valuationBall_GroupsDisabled.remove(presentation))
            t.valuationBall_GroupsDisabled.insert(presentation);
    });
    if (changed)
        updateTree();
}

void InspectionAnalysisBallFancy::onClearTest()
{
    Inspection::_Test *test = menuTest();
    if (!test)
        return;
    const QString question = tr("Вы действительно хотите удалить данные для: '%0'?").arg(test->name);
    if (QMessageBox::question(this, tr("Воркел"), question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    if (!test->samplesLoaded())
        m_inspection->loadRecording(test);
    changeScores(test, [this](Inspection::_Test &t) { activeScale(t).clear(); });
    updateTitle();
    fillImageLists();
}

void InspectionAnalysisBallFancy::onClearAll()
{
    if (!m_inspection)
        return;
    const QString question = tr("Вы действительно хотите удалить данные для всех тестов?");
    if (QMessageBox::question(this, tr("Воркел"), question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    for (Inspection::_Test &test : m_inspection->tests) {
        if (!test.recorded)
            continue;
        if (!test.samplesLoaded())
            m_inspection->loadRecording(&test);
        changeScores(&test, [](Inspection::_Test &t) {
            t.valuationBall_012.clear();
            t.valuationBall_101.clear();
            t.valuationBall_3210123.clear();
        });
    }
    updateTitle();
    fillImageLists();
}

void InspectionAnalysisBallFancy::enableQuestion(Inspection::_Test &test, int quest, int presentation, bool enabled)
{
    BallValuationMap &scale = activeScale(test);
    Inspection::_BallValuation entry = scale.value(presentation).value(quest);
    entry.iGroup = presentation;
    entry.iQuest = quest;
    entry.bEnable = enabled;
    scale[presentation][quest] = entry;
}

void InspectionAnalysisBallFancy::notifyCloseQuestFomImage(QListView *sender, int iIndexTest, int iGroup, int iQuest)
{
    Q_UNUSED(sender);
    Inspection::_Test *test = m_inspection ? m_inspection->test(iIndexTest) : nullptr;
    if (!test || !isQuestion(*test, iQuest) || !isPresentation(*test, iGroup))
        return;
    const bool changed = changeScores(test, [this, iGroup, iQuest](Inspection::_Test &t) {
        for (int presentation = 1; presentation <= t.presentationCount(); ++presentation) {
            if (!activeScale(t).value(presentation).contains(iQuest))
                enableQuestion(t, iQuest, presentation, true);
        }
        enableQuestion(t, iQuest, iGroup, false);
    });
    if (changed)
        updateTree();
    fillImageLists();
}

void InspectionAnalysisBallFancy::onItemChanged_CheckedUnchecked(QStandardItem *item)
{
    if (!m_inspection || !item || !item->isCheckable())
        return;
    const QuestKey key = questKeyOf(item->index());
    Inspection::_Test *test = m_inspection->test(key.iTest);
    if (!test || !isQuestion(*test, key.iQuest))
        return;
    const bool enabled = item->checkState() == Qt::Checked;
    const bool changed = changeScores(test, [this, &key, enabled](Inspection::_Test &t) {
        for (int presentation = 1; presentation <= t.presentationCount(); ++presentation)
            enableQuestion(t, key.iQuest, presentation, enabled);
    });
    if (changed)
        updateTree();
    fillImageLists();
}

// The reactions of the current cell's test as a grid.
void InspectionAnalysisBallFancy::onShowTableImages()
{
    Inspection::_Test *test = currentTest();
    if (!test)
        return;
    MatrixBallDlg dialog(test, this);
    // The whole screen also where no window manager maximises.
    dialog.setGeometry(screen()->availableGeometry());
    dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
    dialog.exec();
}

// --- fragment lists ---

QMenu *InspectionAnalysisBallFancy::buildImageListMenu(int panel)
{
    auto *menu = new QMenu;
    QAction *show = menu->addAction(tr("Показать на полиграмме"), this,
                                    panel == 0 ? &InspectionAnalysisBallFancy::onShowQuestToPoligramme
                                               : &InspectionAnalysisBallFancy::onShowQuest2ToPoligramme);
    menu->setDefaultAction(show);
    menu->addAction(tr("Проиграть полиграмму с этого вопроса"), this,
                    panel == 0 ? &InspectionAnalysisBallFancy::onPlayQuest : &InspectionAnalysisBallFancy::onPlayQuest2);
    fragmentPanel(panel)->addMenuEntries(menu, iModeInput == Expert);
    return menu;
}

void InspectionAnalysisBallFancy::openImageListMenu(int panel, const QPoint &point)
{
    QScopedPointer<QMenu> menu(buildImageListMenu(panel));
    ActivePopupMenu marker(menu.data());
    menu->exec(fragmentPanel(panel)->list()->viewport()->mapToGlobal(point));
}

void InspectionAnalysisBallFancy::onImageListMenu(const QPoint &point)
{
    openImageListMenu(0, point);
}

void InspectionAnalysisBallFancy::onImageListMenu2(const QPoint &point)
{
    openImageListMenu(1, point);
}

QuestKey InspectionAnalysisBallFancy::currentImageKey(const QListView *list) const
{
    return questKeyOf(list->currentIndex());
}

void InspectionAnalysisBallFancy::showQuestOnPoligramme(QListView *list)
{
    if (!m_inspection || !list || !list->currentIndex().isValid())
        return;
    const QuestKey key = currentImageKey(list);
    Inspection::_Test *test = m_inspection->test(key.iTest);
    const InspectionLabel *mark = test ? test->findLabel(key.iGroup, key.iQuest) : nullptr;
    if (mark)
        emit notifyShowPoligrammeFromBall(key.iTest, mark->TickQStart, -1);
}

// Panel 1 plays from a second before the question, panel 2 from the question.
void InspectionAnalysisBallFancy::playQuest(int panel)
{
    QListView *list = fragmentPanel(panel)->list();
    if (!m_inspection || !list->currentIndex().isValid())
        return;
    const QuestKey key = currentImageKey(list);
    Inspection::_Test *test = m_inspection->test(key.iTest);
    const InspectionLabel *mark = test ? test->findLabel(key.iGroup, key.iQuest) : nullptr;
    if (mark)
        emit notifyPlayPoligrammeFromBall(key.iTest, panel == 0 ? mark->TickQStart - kTicksPerSecond : mark->TickQStart);
}

void InspectionAnalysisBallFancy::onShowQuestToPoligramme()
{
    showQuestOnPoligramme(fragmentPanel(0)->list());
}

void InspectionAnalysisBallFancy::onShowQuest2ToPoligramme()
{
    showQuestOnPoligramme(fragmentPanel(1)->list());
}

void InspectionAnalysisBallFancy::onPlayQuest()
{
    playQuest(0);
}

void InspectionAnalysisBallFancy::onPlayQuest2()
{
    playQuest(1);
}

void InspectionAnalysisBallFancy::onDoubleClick()
{
    showQuestOnPoligramme(qobject_cast<QListView *>(sender()));
}

// Only auto-scaled images depend on the list's size.
void InspectionAnalysisBallFancy::resizeListImages(int panel, bool shown)
{
    // A new model may show or hide the scroll bar and so resize the list
    // inside the fill itself.
    if (m_filling || (!shown && fragmentPanel(panel)->options().iScale != -1))
        return;
    if (fragmentPanel(panel)->list()->model())
        updateImageList(panel);
}

void InspectionAnalysisBallFancy::onResizeListImages(bool bShow)
{
    resizeListImages(0, bShow);
}

void InspectionAnalysisBallFancy::onResizeListImages2(bool bShow)
{
    resizeListImages(1, bShow);
}

// In expert mode the tree follows the image chosen in list 1, without
// refilling the lists.
void InspectionAnalysisBallFancy::onSelectionChanged_ListView(const QItemSelection &selected, const QItemSelection &)
{
    if (m_tree->selectionModel()->selectedIndexes().size() > 1 || selected.isEmpty() || iModeInput != Expert)
        return;
    const QModelIndex image = selected.indexes().value(0);
    const QuestKey key = questKeyOf(image);
    const QModelIndex testRow = m_tree->currentIndex().parent().parent();
    QAbstractItemModel *model = m_tree->model();
    if (!testRow.isValid() || !model)
        return;
    for (int row = 0; row < model->rowCount(testRow); ++row) {
        const QModelIndex questionRow = model->index(row, 0, testRow);
        for (int child = 0; child < model->rowCount(questionRow); ++child) {
            const QuestKey cell = questKeyOf(model->index(child, key.iGroup, questionRow));
            if (cell.iTest != key.iTest || cell.iGroup != key.iGroup || cell.iQuest != key.iQuest)
                continue;
            const QModelIndex target = model->index(key.iParam, key.iGroup, questionRow);
            if (target.isValid() && target != m_tree->currentIndex()) {
                m_selectionReaction = false;
                m_tree->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
            }
            return;
        }
    }
}

// --- keyboard scoring ---

bool InspectionAnalysisBallFancy::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !isVisible())
        return Fancy::FancyMainWindow::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    // Ctrl with the arrows moves in the views.
    if (key->modifiers() & Qt::ControlModifier)
        return false;
    const bool modifierAlone = key->key() == Qt::Key_Shift || key->key() == Qt::Key_Alt || key->key() == Qt::Key_Meta
        || key->key() == Qt::Key_AltGr;
    if (!modifierAlone)
        enterBallKey(key->modifiers() & Qt::ShiftModifier ? -1 : +1, ballKeyOf(key));
    return true;
}

void InspectionAnalysisBallFancy::enterBallKey(int sign, BallKey key)
{
    if (!m_inspection)
        return;
    if (sign < 0)
        showCurrentOnPoligramme();
    else if (key == BallKeyWeight)
        weightKeyOverTree();
    else if (key == BallKeySpace)
        stepDown();
    else if (digitValue(key) >= 0)
        scoreImageUnderPointer(digitValue(key));
}

// The current image of the shown lists, else the tree's current cell.
void InspectionAnalysisBallFancy::showCurrentOnPoligramme()
{
    QuestKey key = questKeyOf(m_tree->currentIndex());
    for (FragmentPanel *panel : m_fragments) {
        if (panel->options().bVisiblePanel && panel->list()->model())
            key = questKeyOf(panel->list()->currentIndex());
    }
    Inspection::_Test *test = m_inspection->test(key.iTest);
    const InspectionLabel *mark = test ? test->findLabel(key.iGroup, key.iQuest) : nullptr;
    if (!mark)
        return;
    static const int channels[] = {ChannelCode::GSR, ChannelCode::PG, ChannelCode::RG_HI};
    const int channel = key.iParam >= 0 && key.iParam < 3 ? channels[key.iParam] : -1;
    emit notifyShowPoligrammeFromBall(key.iTest, mark->TickQStart, channel);
}

// Over a channel row's name the weight cycles 0.0, 0.5 ... 3.0; over a
// presentation column the presentation is left out of the sums or taken back.
void InspectionAnalysisBallFancy::weightKeyOverTree()
{
    if (!m_treePointer->isInside())
        return;
    const QModelIndex item = m_tree->indexAt(m_treePointer->position());
    Inspection::_Test *test = item.isValid() ? testOfTreeIndex(item) : nullptr;
    if (!test)
        return;
    bool changed = false;
    if (item.column() == 0) {
        const bool channelRow = iModeInput == Navigator ? item.parent().isValid()
                                                        : item.parent().isValid() && item.parent().parent().isValid();
        const int group = item.row();
        if (!channelRow || group > 2)
            return;
        changed = changeScores(test, [group](Inspection::_Test &t) {
            float weight = t.valuationBall_ChannelK[group] + 0.5f;
            if (weight > kMaxWeight)
                weight = 0.0f;
            if (weight < 0.0f)
                weight = kMaxWeight;
            t.valuationBall_ChannelK[group] = weight;
        });
    } else if (isPresentation(*test, item.column())) {
        const int presentation = item.column();
        changed = changeScores(test, [presentation](Inspection::_Test &t) {
            if (!t.valuationBall_GroupsDisabled.remove(presentation))
                t.valuationBall_GroupsDisabled.insert(presentation);
        });
    }
    if (changed)
        updateTree();
}

// Space: the sums brought up to date, then on to the next channel row, the
// next presentation, or past the last one to empty lists.
void InspectionAnalysisBallFancy::stepDown()
{
    updateTree();
    QItemSelectionModel *selection = m_tree->selectionModel();
    const QModelIndexList selected = selection->selectedIndexes();
    if (selected.size() >= 2) {
        for (const QModelIndex &cell : selected)
            selection->select(cell, QItemSelectionModel::Select);
        updateUi();
        return;
    }
    const QModelIndex current = m_tree->currentIndex();
    if (!current.isValid() || !(current.flags() & Qt::ItemIsSelectable))
        return;
    QModelIndex next = current.sibling(current.row() + 1, current.column());
    if (!next.isValid()) {
        const int column = current.column() + 1;
        const Inspection::_Test *test = m_inspection->test(questKeyOf(current).iTest);
        next = test && column <= test->presentationCount() ? current.sibling(0, column) : QModelIndex();
        if (!next.isValid())
            removeImageListModels();
    }
    if (next.isValid())
        m_tree->setCurrentIndex(next);
    updateUi();
}

// The score a digit key gives in the active scale; -1 for a key the scale has not.
int InspectionAnalysisBallFancy::digitValue(BallKey key) const
{
    static const int highest[] = {2, 1, 3};
    const int digit = key - BallKeyDigit0;
    if (iModeValuation < 0 || iModeValuation > 2 || digit < 0 || digit > highest[iModeValuation])
        return -1;
    return digit;
}

// The score of the image under the pointer, negative in the lower half of the
// image in the signed scales; saved at once and drawn on the image.
void InspectionAnalysisBallFancy::scoreImageUnderPointer(int value)
{
    int panel = -1;
    for (int candidate = 1; candidate >= 0; --candidate) {
        if (m_listPointers[candidate]->isInside() && m_fragments[candidate]->list()->isVisible())
            panel = candidate;
    }
    if (panel < 0)
        return;
    _QListView *list = m_fragments[panel]->list();
    const QPoint pointer = m_listPointers[panel]->position();
    const QModelIndex image = list->indexAt(pointer);
    if (!image.isValid())
        return;
    const bool signedScale = iModeValuation != Scale012;
    const QRect area = list->imageRect(image);
    if (signedScale && pointer.y() >= area.top() + (area.height() + 1) / 2)
        value = -value;
    const QuestKey key = questKeyOf(image);
    Inspection::_Test *test = m_inspection->test(key.iTest);
    if (!test || !test->findLabel(key.iGroup, key.iQuest) || key.iParam < 0 || key.iParam > 2)
        return;
    if (signedScale && test->theme(key.iQuest).Type != QuestionKind::Test) {
        m_warningTone();
        return;
    }
    Inspection::_BallValuation entry = activeScale(*test).value(key.iGroup).value(key.iQuest);
    entry.iGroup = key.iGroup;
    entry.iQuest = key.iQuest;
    entry.setScore(key.iParam, value);
    if (!changeScores(test, [this, &entry](Inspection::_Test &t) { activeScale(t)[entry.iGroup][entry.iQuest] = entry; }))
        return;
    QPixmap picture = image.data(FragmentListFill::PlainPictureRole).value<QPixmap>();
    const FragmentOptions options = FragmentListFill::fragmentOptions(m_fragments[panel]->options(), 0);
    FragmentPicture::drawBallOverlay(picture, key.iParam, entry, test, key.iGroup, key.iQuest, iModeValuation, options);
    list->model()->setData(image, picture, Qt::DecorationRole);
}
