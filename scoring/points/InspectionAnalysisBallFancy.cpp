#include "InspectionAnalysisBallFancy.h"

#include "ExpertTreeFill.h"
#include "FragmentListFill.h"
#include "NavigatorTreeFill.h"
#include "QuestKey.h"
#include "Style_tweaks.h"
#include "_GridDelegate.h"
#include "_QTreeViewExpand.h"

#include "app/services/TreeViewExport.h"
#include "data/ActivePopupMenu.h"
#include "data/SettingsStore.h"
#include "data/SharedHelpers.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDockWidget>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QListView>
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

QString tellSaveFailed()
{
    return QObject::tr("Не удалось сохранить оценки в файл обследуемого.\n"
                       "Изменение отменено: показаны оценки, которые хранит файл.");
}

} // namespace

InspectionAnalysisBallFancy::InspectionAnalysisBallFancy(QWidget *parent)
    : Fancy::FancyMainWindow(parent), m_tree(new _QTreeViewExpand(this)), m_list(new QListView), m_list2(new QListView)
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
    m_dock = createPanel(tr("Полиграммы: вид1"), QStringLiteral("BallImages1"), m_list);
    m_dock2 = createPanel(tr("Полиграммы: вид2"), QStringLiteral("BallImages2"), m_list2);
    addDockWidget(Qt::BottomDockWidgetArea, m_dock);
    tabifyDockWidget(m_dock, m_dock2);

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
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tree, &QWidget::customContextMenuRequested, this, &InspectionAnalysisBallFancy::onNavigatorMenu);
}

InspectionAnalysisBallFancy::~InspectionAnalysisBallFancy()
{
    auto settings = SettingsStore::open();
    settings->beginGroup(QLatin1String(kSettingsGroup));
    settings->setValue(QStringLiteral("geo_data2"), saveGeometry());
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
    // The reaction matrix dialog comes later; until then its action stays off.
    QAction *matrix = bar->addAction(QIcon(QStringLiteral(":/Pelmar/Images/Table-icon")), tr("Матрица реакций"));
    matrix->setEnabled(false);
    addToolBar(bar);
}

QDockWidget *InspectionAnalysisBallFancy::createPanel(const QString &caption, const QString &name, QListView *list)
{
    auto *dock = new QDockWidget(caption, this);
    dock->setObjectName(name);
    // One row of images at their own size, scrolled sideways.
    list->setViewMode(QListView::IconMode);
    list->setLayoutMode(QListView::Batched);
    list->setFlow(QListView::LeftToRight);
    list->setResizeMode(QListView::Adjust);
    list->setWrapping(false);
    list->setDragEnabled(false);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setParent(dock);
    dock->setWidget(list);
    return dock;
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
    m_dock->setVisible(m_panel.bVisiblePanel);
    m_dock2->setVisible(m_panel2.bVisiblePanel);
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
    QAbstractItemModel *old = m_tree->model();
    QItemSelectionModel *oldSelection = m_tree->selectionModel();
    model->setParent(m_tree);
    m_tree->setModel(model);
    delete oldSelection;
    if (old != model)
        delete old;
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
    for (QListView *list : {m_list, m_list2}) {
        QAbstractItemModel *old = list->model();
        list->setModel(nullptr);
        delete old;
    }
}

// Panels draw every image again at each fill, so only a visible one is filled.
void InspectionAnalysisBallFancy::fillImageList(int panel)
{
    QListView *list = panel == 0 ? m_list : m_list2;
    if (!m_tree->model() || !list->isVisible())
        return;
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
    QAbstractItemModel *old = list->model();
    list->setModel(model);
    delete old;
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
    fillImageList(0);
    fillImageList(1);
    QApplication::restoreOverrideCursor();
}

void InspectionAnalysisBallFancy::showEvent(QShowEvent *event)
{
    Fancy::FancyMainWindow::showEvent(event);
    if (!currentTest())
        return;
    if (m_panel.bVisiblePanel)
        fillImageList(0);
    if (m_panel2.bVisiblePanel)
        fillImageList(1);
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
        fillImageList(0);
}

void InspectionAnalysisBallFancy::onShowView2()
{
    m_panel2.bVisiblePanel = !m_panel2.bVisiblePanel;
    updateUi();
    if (m_panel2.bVisiblePanel)
        fillImageList(1);
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
