#include "InspectionAnalysisMetrFancy.h"

#include "DefMertValuation.h"
#include "MetricAutoMeasure.h"
#include "MetricParamTable.h"
#include "ValuationMetrAutoParamDlg.h"
#include "ValuationMetrEditParamDlg.h"
#include "ValuationMetrSpravParamDlg.h"
#include "MetricMeasure.h"
#include "_QHeaderView.h"
#include "_QLabel.h"
#include "_QTreeView.h"

#include "app/services/TreeViewExport.h"
#include "data/ActivePopupMenu.h"
#include "polygram/drawG.h"
#include "data/DefChannel.h"
#include "data/QuestTypeColor.h"
#include "data/QuestionKindName.h"
#include "data/SettingsStore.h"
#include "data/SharedHelpers.h"

#include <QDockWidget>
#include <QFrame>
#include <QItemSelectionModel>
#include <QJsonArray>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const char kSettingsGroup[] = "InspectionAnalysisMetrFancy";
constexpr int kUidRole = Qt::UserRole + 1;
// Columns before the first parameter: name, sum, t, probability.
constexpr int kFirstParamColumn = 4;
const int kScales[] = {100, 80, 60, 40, 20};

const QBrush &positiveBrush()
{
    static const QBrush brush(QColor(0, 200, 0));
    return brush;
}

const QBrush &testBrush()
{
    static const QBrush brush(QColor(200, 200, 200));
    return brush;
}

const QBrush &questionBrush(int quest)
{
    static const QBrush even(QColor(230, 230, 230));
    static const QBrush odd(QColor(220, 220, 220));
    return quest % 2 == 0 ? even : odd;
}

int themeKind(const Inspection::_Theme &theme)
{
    return theme.SubType >= 0 ? theme.SubType : theme.Type;
}

QStandardItem *emptyItem(const QBrush &background)
{
    auto *item = new QStandardItem;
    item->setFlags(Qt::NoItemFlags);
    item->setBackground(background);
    item->setForeground(Qt::black);
    return item;
}

// The test's index in the examination, carried by the top-level row of the index.
int testIndexOf(const QModelIndex &index)
{
    if (!index.isValid())
        return -1;
    QModelIndex top = index;
    while (top.parent().isValid())
        top = top.parent();
    bool isNumber = false;
    const int test = top.siblingAtColumn(0).data(kUidRole).toInt(&isNumber);
    return isNumber ? test : -1;
}

QAction *addCheckable(QMenu *menu, const QString &text, bool checked)
{
    QAction *action = menu->addAction(text);
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

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
    settings->setValue(QStringLiteral("geo_data"), saveGeometry());
    settings->setValue(QStringLiteral("layout_data"), saveState(0));
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
    const QByteArray layout = settings->value(QStringLiteral("layout_data")).toByteArray();
    m_diagramDockSized = !layout.isEmpty() && restoreState(layout, 0);
    const QByteArray geometry = settings->value(QStringLiteral("geo_data")).toByteArray();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
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
    m_label->setCursor(QCursor(QPixmap(QStringLiteral(":/Pelmar/Images/xy")), 4, 4));
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
        QAction *action = bar->addAction(QIcon(QStringLiteral(":/Pelmar/Images/") + QLatin1String(corners[k].icon)),
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

// --- examination shown ---

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
    m_saveFailureTold = false;
    reload();
}

void InspectionAnalysisMetrFancy::reload()
{
    if (!m_inspection) {
        clearTables();
        return;
    }
    m_inspection->loadMetricParams();
    loadMarks();
    fillParamTable();
    fillResultsTree(false);
}

// The results count presentations by the marks of each recorded test and read
// its measured values, both stored with the recording.
void InspectionAnalysisMetrFancy::loadMarks()
{
    for (Inspection::_Test &test : m_inspection->tests) {
        if (test.recorded && test.labels.isEmpty() && !test.samplesLoaded())
            m_inspection->loadRecording(&test, true);
    }
}

void InspectionAnalysisMetrFancy::clearTables()
{
    fillParamTable();
    setResultsModel(new QStandardItemModel);
    m_header->setSectionColours({});
    clearDiagram();
}

// --- parameter table ---

void InspectionAnalysisMetrFancy::fillParamTable()
{
    QStandardItemModel *model = MetricParamTable::newModel(m_inspection ? m_inspection->metricParams : Params(), m_paramTable);
    MetricParamTable::show(m_paramTable, model);
    connect(m_paramTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &InspectionAnalysisMetrFancy::onSelectionChangedParam);
    connect(model, &QStandardItemModel::itemChanged, this, &InspectionAnalysisMetrFancy::onParamItemChanged);
    disconnect(m_paramTable, &QTreeView::doubleClicked, this, nullptr);
    connect(m_paramTable, &QTreeView::doubleClicked, this, &InspectionAnalysisMetrFancy::onDoubleClickParams);
    m_tree->clearSelection();
    clearDiagram();
    m_description->clear();
}

QUuid InspectionAnalysisMetrFancy::currentParamUid() const
{
    return m_paramTable->currentIndex().siblingAtColumn(0).data(kUidRole).toUuid();
}

void InspectionAnalysisMetrFancy::onSelectionChangedParam(const QItemSelection &, const QItemSelection &)
{
    const Inspection::_MetricParam *param
        = m_inspection ? DefMertValuation::find(m_inspection->metricParams, currentParamUid()) : nullptr;
    if (!param) {
        m_description->clear();
        return;
    }
    const QStringList lines = param->sDescription.split(QLatin1Char('\n'));
    m_description->setPlainText(param->bAuto && lines.size() >= 2 ? lines[1] : param->sDescription);
}

void InspectionAnalysisMetrFancy::onParamItemChanged(QStandardItem *item)
{
    const QUuid uid = item ? item->data(kUidRole).toUuid() : QUuid();
    const Inspection::_MetricParam *param = m_inspection ? DefMertValuation::find(m_inspection->metricParams, uid) : nullptr;
    if (!param || !item->isCheckable())
        return;
    const bool enabled = item->checkState() == Qt::Checked;
    if (param->bEnable != enabled
        && !changeParams([&uid, enabled](Params &list) { DefMertValuation::find(list, uid)->bEnable = enabled; })) {
        QSignalBlocker blocker(item->model());
        item->setCheckState(enabled ? Qt::Unchecked : Qt::Checked);
    }
    fillResultsTree(true);
}

void InspectionAnalysisMetrFancy::sectionHandleDoubleClicked(int section)
{
    const QStandardItem *header = resultsModel()->horizontalHeaderItem(section);
    const QUuid uid = header ? header->data(kUidRole).toUuid() : QUuid();
    if (!m_inspection || !DefMertValuation::find(m_inspection->metricParams, uid))
        return;
    changeParams([&uid](Params &list) {
        Inspection::_MetricParam *param = DefMertValuation::find(list, uid);
        param->dK = -param->dK;
    });
    fillResultsTree(true);
    fillParamTable();
}

// --- parameter changes ---

void InspectionAnalysisMetrFancy::onCreateParamAction()
{
    if (!m_inspection)
        return;
    ValuationMetrEditParamDlg dialog(this, nullptr);
    if (dialog.exec() == QDialog::Accepted && m_inspection)
        appendParam(dialog.param);
}

void InspectionAnalysisMetrFancy::onEditParamAction()
{
    editCurrentParam();
}

void InspectionAnalysisMetrFancy::onDoubleClickParams()
{
    editCurrentParam();
}

void InspectionAnalysisMetrFancy::editCurrentParam()
{
    const QUuid uid = currentParamUid();
    const Inspection::_MetricParam *param = m_inspection ? DefMertValuation::find(m_inspection->metricParams, uid) : nullptr;
    if (!param)
        return;
    ValuationMetrEditParamDlg dialog(this, param);
    // replaceParam finds the parameter again: the list may have changed while the dialog was open.
    if (dialog.exec() == QDialog::Accepted)
        replaceParam(uid, dialog.param);
}

void InspectionAnalysisMetrFancy::onLoadFromSpravAction()
{
    if (!m_inspection)
        return;
    ValuationMetrSpravParamDlg dialog(this, DefMertValuation::manualParams(m_inspection->metricParams));
    if (dialog.exec() == QDialog::Accepted && m_inspection)
        setManualParams(dialog.selectedParams());
}

void InspectionAnalysisMetrFancy::onLoadAutoAction()
{
    if (!m_inspection)
        return;
    ValuationMetrAutoParamDlg dialog(this, DefMertValuation::autoParams(m_inspection->metricParams));
    if (dialog.exec() == QDialog::Accepted && m_inspection)
        setAutoParams(dialog.checkedParams());
}

void InspectionAnalysisMetrFancy::appendParam(const Inspection::_MetricParam &param)
{
    changeParams([&param](Params &list) { list.append(param); });
    fillParamTable();
    fillResultsTree(false);
}

void InspectionAnalysisMetrFancy::replaceParam(const QUuid &uid, const Inspection::_MetricParam &param)
{
    if (!m_inspection || !DefMertValuation::find(m_inspection->metricParams, uid))
        return;
    changeParams([&uid, &param](Params &list) { *DefMertValuation::find(list, uid) = param; });
    fillParamTable();
    fillResultsTree(true);
}

void InspectionAnalysisMetrFancy::setManualParams(const Params &chosen)
{
    changeParams([&chosen](Params &list) { list = chosen + DefMertValuation::autoParams(list); });
    fillParamTable();
    fillResultsTree(false);
}

void InspectionAnalysisMetrFancy::setAutoParams(const Params &ticked)
{
    changeParams([&ticked](Params &list) { list = DefMertValuation::manualParams(list) + ticked; });
    fillParamTable();
    fillResultsTree(false);
}

void InspectionAnalysisMetrFancy::onDeleteParamAction()
{
    const QUuid uid = currentParamUid();
    if (!m_inspection || !DefMertValuation::find(m_inspection->metricParams, uid))
        return;
    changeParams([&uid](Params &list) {
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [&uid](const Inspection::_MetricParam &param) { return param.uid == uid; }),
                   list.end());
    });
    fillParamTable();
    fillResultsTree(false);
}

void InspectionAnalysisMetrFancy::onDeleteAllParamAction()
{
    if (!m_inspection || !askYes(tr("Вы хотите удалить все параметры ?")) || !m_inspection)
        return;
    changeParams([](Params &list) { list.clear(); });
    fillParamTable();
    fillResultsTree(false);
}

bool InspectionAnalysisMetrFancy::changeParams(const std::function<void(Params &)> &change)
{
    if (!m_inspection)
        return false;
    const Params before = m_inspection->metricParams;
    change(m_inspection->metricParams);
    if (m_inspection->saveMetricParams() == StoreResult::Ok)
        return true;
    m_inspection->metricParams = before;
    tellSaveFailed();
    return false;
}

bool InspectionAnalysisMetrFancy::changeValues(Inspection::_Test *test,
                                               const std::function<void(Inspection::_Test &)> &change)
{
    const MetricValuationMap before = test->valuationMetric;
    change(*test);
    if (m_inspection->saveMetricValuation(test) == StoreResult::Ok)
        return true;
    test->valuationMetric = before;
    tellSaveFailed();
    return false;
}

void InspectionAnalysisMetrFancy::tellSaveFailed()
{
    if (m_saveFailureTold)
        return;
    m_saveFailureTold = true;
    QMessageBox::warning(this, tr("Воркел"),
                         tr("Не удалось сохранить изменение в файл обследуемого.\n"
                            "Изменение отменено: показано то, что хранит файл."));
}

bool InspectionAnalysisMetrFancy::askYes(const QString &question)
{
    return QMessageBox::question(this, tr("Воркел"), question, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

// --- measured values ---

Inspection::_Test *InspectionAnalysisMetrFancy::menuTest()
{
    Inspection::_Test *test = m_inspection ? m_inspection->test(m_menuTest) : nullptr;
    return test && test->recorded ? test : nullptr;
}

void InspectionAnalysisMetrFancy::clearTestValues(Inspection::_Test *test)
{
    if (!test->samplesLoaded())
        m_inspection->loadRecording(test);
    changeValues(test, [](Inspection::_Test &t) { t.valuationMetric.clear(); });
}

void InspectionAnalysisMetrFancy::autoCalcTest(Inspection::_Test *test)
{
    if (!test->samplesLoaded())
        m_inspection->loadRecording(test);
    const Params params = m_inspection->metricParams;
    changeValues(test, [&params](Inspection::_Test &t) { MetricAutoMeasure::measureTest(params, t); });
}

void InspectionAnalysisMetrFancy::runOnMenuTestAsked(const QString &question, TestWork work)
{
    const Inspection::_Test *asked = menuTest();
    if (!asked || !askYes(question.arg(asked->name)))
        return;
    // Another window may have reloaded the examination while the question was open.
    Inspection::_Test *test = menuTest();
    if (!test)
        return;
    (this->*work)(test);
    fillParamTable();
    fillResultsTree(false);
}

void InspectionAnalysisMetrFancy::runOnEveryTestAsked(const QString &question, TestWork work)
{
    if (!m_inspection || !askYes(question) || !m_inspection)
        return;
    for (int index = 0; Inspection::_Test *test = m_inspection->test(index); ++index) {
        if (test->recorded)
            (this->*work)(test);
    }
    fillParamTable();
    fillResultsTree(false);
}

void InspectionAnalysisMetrFancy::onClearTestAction()
{
    runOnMenuTestAsked(tr("Вы хотите удалить данные для: '%0'?"), &InspectionAnalysisMetrFancy::clearTestValues);
}

void InspectionAnalysisMetrFancy::onClearAllAction()
{
    runOnEveryTestAsked(tr("Вы хотите удалить данные всех тестов ?"), &InspectionAnalysisMetrFancy::clearTestValues);
}

void InspectionAnalysisMetrFancy::onAutoCalcTestAction()
{
    runOnMenuTestAsked(tr("Вы хотите выполнить расчет автоматических параметров для: '%0'?"),
                    &InspectionAnalysisMetrFancy::autoCalcTest);
}

void InspectionAnalysisMetrFancy::onAutoCalcAllAction()
{
    runOnEveryTestAsked(tr("Вы хотите выполнить расчет автоматических параметров для всех тестов ?"),
                     &InspectionAnalysisMetrFancy::autoCalcTest);
}

void InspectionAnalysisMetrFancy::onToExcelAction()
{
    exportTreeViewToExcel(m_tree);
}

// --- results ---

QStandardItemModel *InspectionAnalysisMetrFancy::resultsModel() const
{
    return static_cast<QStandardItemModel *>(m_tree->model());
}

void InspectionAnalysisMetrFancy::setResultsModel(QStandardItemModel *model)
{
    QAbstractItemModel *old = m_tree->model();
    QItemSelectionModel *oldSelection = m_tree->selectionModel();
    model->setParent(m_tree);
    m_tree->setModel(model);
    delete oldSelection;
    delete old;
    connect(m_tree->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &InspectionAnalysisMetrFancy::mySelectionChanged);
}

QStandardItemModel *InspectionAnalysisMetrFancy::newResultsModel() const
{
    const Params &params = m_inspection->metricParams;
    auto *model = new QStandardItemModel(0, kFirstParamColumn + params.size() + 1);
    const QStringList fixed = {tr("Тесты и вопросы"), tr("ИП"), tr("Кр.Стьюдента"), tr("Вероятность")};
    for (int column = 0; column < model->columnCount(); ++column) {
        auto *header = new QStandardItem;
        if (column < kFirstParamColumn) {
            header->setText(fixed[column]);
        } else if (column - kFirstParamColumn < params.size()) {
            header->setText(params[column - kFirstParamColumn].Name);
            header->setData(params[column - kFirstParamColumn].uid, kUidRole);
        }
        if (column > 0)
            header->setTextAlignment(Qt::AlignRight);
        model->setHorizontalHeaderItem(column, header);
    }
    return model;
}

// A refresh finds the rows by position; when the parameters or the recorded
// tests no longer match them, the results are built anew.
bool InspectionAnalysisMetrFancy::resultsShapeMatches() const
{
    const QStandardItemModel *model = resultsModel();
    const Params &params = m_inspection->metricParams;
    if (model->columnCount() != kFirstParamColumn + params.size() + 1)
        return false;
    for (int j = 0; j < params.size(); ++j) {
        if (model->horizontalHeaderItem(kFirstParamColumn + j)->data(kUidRole).toUuid() != params[j].uid)
            return false;
    }
    int row = 0;
    for (int index = 0; const Inspection::_Test *test = m_inspection->test(index); ++index) {
        if (!test->recorded)
            continue;
        const QStandardItem *testRow = model->item(row++);
        if (!testRow || testIndexOf(testRow->index()) != index || testRow->rowCount() != test->themis.size())
            return false;
    }
    return params.isEmpty() || row == model->rowCount();
}

void InspectionAnalysisMetrFancy::fillResultsTree(bool refresh)
{
    if (!m_inspection) {
        m_tree->clearSelection();
        clearDiagram();
        return;
    }
    refresh = refresh && resultsShapeMatches();
    const QPersistentModelIndex current = m_tree->currentIndex();
    QStandardItemModel *model = refresh ? resultsModel() : newResultsModel();
    if (!m_inspection->metricParams.isEmpty()) {
        int row = 0;
        for (int index = 0; Inspection::_Test *test = m_inspection->test(index); ++index) {
            if (!test->recorded)
                continue;
            if (refresh) {
                fillTestRows(model->item(row++), *test, index, true);
            } else {
                const QList<QStandardItem *> testRow = makeTestRow(index, *test, model->columnCount());
                fillTestRows(testRow.first(), *test, index, false);
                model->appendRow(testRow);
            }
        }
    }
    if (!refresh) {
        setResultsModel(model);
        m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
        const int widths[] = {400, 50, 100, 100};
        for (int column = 0; column < kFirstParamColumn; ++column)
            m_tree->setColumnWidth(column, widths[column]);
        for (int row = 0; row < model->rowCount(); ++row)
            m_tree->expand(model->index(row, 0));
    } else if (current.isValid() && m_tree->isExpanded(current.parent())) {
        m_tree->setCurrentIndex(current);
    }
    showParamColumns();
    m_tree->clearSelection();
    clearDiagram();
}

void InspectionAnalysisMetrFancy::showParamColumns()
{
    const Params &params = m_inspection->metricParams;
    QMap<int, QColor> colours;
    for (int j = 0; j < params.size(); ++j) {
        m_tree->setColumnHidden(kFirstParamColumn + j, !params[j].bEnable);
        colours.insert(kFirstParamColumn + j, params[j].dK >= 0 ? QColor(Qt::green) : QColor(Qt::red));
    }
    m_header->setSectionColours(colours);
}

QList<QStandardItem *> InspectionAnalysisMetrFancy::makeTestRow(int testIndex, const Inspection::_Test &test,
                                                                 int columns) const
{
    auto *name = new QStandardItem(test.name);
    QFont font = name->font();
    font.setWeight(QFont::Bold);
    name->setFont(font);
    name->setForeground(Qt::black);
    name->setBackground(testBrush());
    name->setFlags(Qt::ItemIsEnabled);
    name->setData(testIndex, kUidRole);
    QList<QStandardItem *> row{name};
    for (int column = 1; column < columns; ++column)
        row << emptyItem(testBrush());
    return row;
}

QList<QStandardItem *> InspectionAnalysisMetrFancy::makeQuestionRow(const Inspection::_Test &test, int quest,
                                                                     int columns) const
{
    const Inspection::_Theme &theme = test.themis[quest];
    const int kind = themeKind(theme);
    auto *name = new QStandardItem(
        QStringLiteral("%1%2 %3").arg(quest + 1, 2, 10, QLatin1Char('0')).arg(questionKindName(kind), theme.Theme));
    name->setFlags(Qt::NoItemFlags);
    name->setForeground(questTypeColor(kind));
    name->setBackground(questionBrush(quest));
    QList<QStandardItem *> row{name};
    for (int column = 1; column < columns; ++column)
        row << emptyItem(questionBrush(quest));
    return row;
}

QList<QStandardItem *> InspectionAnalysisMetrFancy::makeGroupRow(int presentation) const
{
    auto *name = new QStandardItem(tr("Группа: ") + romanNumeral(presentation));
    name->setFlags(Qt::NoItemFlags);
    name->setForeground(Qt::black);
    QList<QStandardItem *> row{name};
    for (int column = 1; column < kFirstParamColumn; ++column) {
        auto *cell = new QStandardItem;
        cell->setFlags(Qt::NoItemFlags);
        row << cell;
    }
    return row;
}

// The question rows of one test with their sums, t and probability, and the
// presentation rows with the measured values. A test with no complete
// presentation keeps its question rows without values.
void InspectionAnalysisMetrFancy::fillTestRows(QStandardItem *testRow, const Inspection::_Test &test, int testIndex,
                                                bool refresh)
{
    const Params &params = m_inspection->metricParams;
    const CMathMetrics::QuestionScores scores = CMathMetrics().scoreQuestions(*m_inspection, test);
    const int columns = kFirstParamColumn + params.size() + 1;
    for (int quest = 0; quest < test.themis.size(); ++quest) {
        const QBrush &background = questionBrush(quest);
        if (!refresh)
            testRow->appendRow(makeQuestionRow(test, quest, columns));
        QStandardItem *questionRow = testRow->child(quest);
        const auto putSum = [&](int column, double value) {
            const QString text = valueText(value);
            if (!refresh || !readsAlready(testRow, quest, column, text))
                testRow->setChild(quest, column, makeValueItem(text, background));
        };
        if (quest < scores.sums.size()) {
            putSum(1, scores.sums[quest]);
            putSum(2, scores.t[quest]);
            putSum(3, scores.probability[quest]);
            for (int j = 0; j < params.size(); ++j)
                putSum(kFirstParamColumn + j, sumValues(scores.z, quest, params[j].uid));
        }
        for (int p = 1; p <= test.presentationCount(); ++p) {
            if (!refresh)
                questionRow->appendRow(makeGroupRow(p));
            // Read without inserting: showing the results must not add records to store.
            const auto cells = test.valuationMetric.value(p).value(quest);
            for (int j = 0; j < params.size(); ++j) {
                const QUuid &uid = params[j].uid;
                const qint32 value = cells.value(uid).nValue;
                if (!refresh || !readsAlready(questionRow, p - 1, kFirstParamColumn + j, QString::number(value)))
                    questionRow->setChild(p - 1, kFirstParamColumn + j, makeValueCell(testIndex, p, quest, uid, value));
            }
        }
    }
}

// A refresh replaces only the cells whose value changed: the view then
// repaints those alone.
bool InspectionAnalysisMetrFancy::readsAlready(const QStandardItem *parent, int row, int column, const QString &text)
{
    const QStandardItem *cell = parent->child(row, column);
    return cell && cell->text() == text;
}

QStandardItem *InspectionAnalysisMetrFancy::makeValueCell(int test, int presentation, int quest, const QUuid &uid,
                                                          qint32 value)
{
    auto *cell = new QStandardItem(QString::number(value));
    cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    cell->setData(QJsonArray{test, presentation, quest, uid.toString()}, kUidRole);
    if (value > 0)
        cell->setForeground(positiveBrush());
    return cell;
}

QString InspectionAnalysisMetrFancy::valueText(double value)
{
    // A sum that rounds to zero reads 0.00, never -0.00.
    return QString::number(qAbs(value) < 0.005 ? 0.0 : value, 'f', 2);
}

QStandardItem *InspectionAnalysisMetrFancy::makeValueItem(const QString &text, const QBrush &background)
{
    auto *item = emptyItem(background);
    item->setText(text);
    QFont font = item->font();
    font.setWeight(QFont::Bold);
    item->setFont(font);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

double InspectionAnalysisMetrFancy::sumValues(const MetricZMap &z, int quest, const QUuid &uid)
{
    double sum = 0.0;
    for (const auto &byQuestion : z)
        sum += byQuestion.value(quest).value(uid);
    return sum;
}

void InspectionAnalysisMetrFancy::selectNextCell()
{
    const QModelIndex cell = m_tree->currentIndex();
    const QModelIndex quest = cell.parent();
    const QModelIndex test = quest.parent();
    const QAbstractItemModel *model = m_tree->model();
    QModelIndex next;
    if (test.isValid() && cell.column() >= kFirstParamColumn) {
        next = model->index(cell.row() + 1, cell.column(), quest);
        const QModelIndex nextQuest = model->index(quest.row() + 1, 0, test);
        // An invalid parent would name the top-level rows.
        if (!next.isValid() && nextQuest.isValid())
            next = model->index(0, cell.column(), nextQuest);
        if (!next.isValid()) {
            int column = cell.column() + 1;
            while (column < model->columnCount() && m_tree->isColumnHidden(column))
                ++column;
            next = model->index(0, column, model->index(0, 0, test));
        }
    }
    if (next.isValid() && next.data(kUidRole).isValid()) {
        m_tree->setCurrentIndex(next);
    } else {
        m_tree->clearSelection();
        clearDiagram();
    }
}

bool InspectionAnalysisMetrFancy::eventFilter(QObject *watched, QEvent *event)
{
    // Keys over the results and the picture belong to the measurement.
    if (event->type() == QEvent::KeyPress && isVisible()) {
        auto *key = static_cast<QKeyEvent *>(event);
        moveByKey(key->modifiers(), key->key());
        return true;
    }
    return Fancy::FancyMainWindow::eventFilter(watched, event);
}

// --- menus ---

QMenu *InspectionAnalysisMetrFancy::buildParamsMenu()
{
    auto *menu = new QMenu;
    menu->addAction(QIcon(QStringLiteral(":/Pelmar/Images/folder-add.png")), tr("Создать ПАРАМЕТР..."), this,
                    &InspectionAnalysisMetrFancy::onCreateParamAction);
    QAction *edit = menu->addAction(QIcon(QStringLiteral(":/Pelmar/Images/edit")), tr("Изменить ПАРАМЕТР..."), this,
                                    &InspectionAnalysisMetrFancy::onEditParamAction);
    edit->setEnabled(m_paramTable->currentIndex().isValid());
    menu->setDefaultAction(edit);
    QAction *remove = menu->addAction(QIcon(QStringLiteral(":/Pelmar/Images/iconDelete.png")), tr("Удалить ПАРАМЕТР"), this,
                                      &InspectionAnalysisMetrFancy::onDeleteParamAction);
    remove->setEnabled(m_paramTable->currentIndex().isValid());
    menu->addSeparator();
    menu->addAction(tr("Удалить ВСЕ ПАРАМЕТРЫ"), this, &InspectionAnalysisMetrFancy::onDeleteAllParamAction);
    menu->addSeparator();
    menu->addAction(tr("Загрузить ПАРАМЕТРЫ из справочника..."), this,
                    &InspectionAnalysisMetrFancy::onLoadFromSpravAction);
    menu->addSeparator();
    menu->addAction(tr("Загрузить автоматические параметры..."), this, &InspectionAnalysisMetrFancy::onLoadAutoAction);
    return menu;
}

QMenu *InspectionAnalysisMetrFancy::buildDataMenu(const QModelIndex &index)
{
    m_menuTest = testIndexOf(index);
    const bool hasTest = menuTest() != nullptr;
    auto *menu = new QMenu;
    menu->addAction(tr("Очистить параметры во всех тестах"), this, &InspectionAnalysisMetrFancy::onClearAllAction);
    menu->addAction(tr("Очистить параметры в текущем тесте"), this, &InspectionAnalysisMetrFancy::onClearTestAction)
        ->setEnabled(hasTest);
    menu->addSeparator();
    menu->addAction(tr("Расчет автоматических параметров во всех тестах"), this,
                    &InspectionAnalysisMetrFancy::onAutoCalcAllAction);
    menu->addAction(tr("Расчет автоматических параметров в текущем тесте"), this,
                    &InspectionAnalysisMetrFancy::onAutoCalcTestAction)
        ->setEnabled(hasTest);
    menu->addSeparator();
    menu->addAction(QIcon(QStringLiteral(":/Pelmar/Images/Microsoft-Excel-icon.png")), tr("Экспорт в MSExcel"), this,
                    &InspectionAnalysisMetrFancy::onToExcelAction);
    return menu;
}

QMenu *InspectionAnalysisMetrFancy::buildDiagramMenu()
{
    void (InspectionAnalysisMetrFancy::*const scaleSlots[])() = {
        &InspectionAnalysisMetrFancy::onScale100Action, &InspectionAnalysisMetrFancy::onScale80Action,
        &InspectionAnalysisMetrFancy::onScale60Action, &InspectionAnalysisMetrFancy::onScale40Action,
        &InspectionAnalysisMetrFancy::onScale20Action};
    auto *menu = new QMenu;
    for (int k = 0; k < 5; ++k) {
        QAction *action = addCheckable(menu, tr("Масштаб (Y) - %1%").arg(kScales[k]), iScale == kScales[k]);
        connect(action, &QAction::triggered, this, scaleSlots[k]);
    }
    menu->addSeparator();
    connect(addCheckable(menu, tr("Показать вопросы"), bShowQuestText), &QAction::triggered, this,
            &InspectionAnalysisMetrFancy::onShowTextQuestAction);
    connect(addCheckable(menu, tr("Показать только интервал анализа"), bShowIA), &QAction::triggered, this,
            &InspectionAnalysisMetrFancy::onShowIAAction);
    return menu;
}

void InspectionAnalysisMetrFancy::onContextMenuForParams(const QPoint &point)
{
    QScopedPointer<QMenu> menu(buildParamsMenu());
    ActivePopupMenu marker(menu.data());
    menu->exec(m_paramTable->viewport()->mapToGlobal(point));
}

void InspectionAnalysisMetrFancy::onContextMenuForData(const QPoint &point)
{
    QScopedPointer<QMenu> menu(buildDataMenu(m_tree->indexAt(point)));
    ActivePopupMenu marker(menu.data());
    menu->exec(m_tree->viewport()->mapToGlobal(point));
}

void InspectionAnalysisMetrFancy::onContextMenuForDigram(const QPoint &point)
{
    auto *source = qobject_cast<QWidget *>(sender());
    QScopedPointer<QMenu> menu(buildDiagramMenu());
    ActivePopupMenu marker(menu.data());
    menu->exec(source ? source->mapToGlobal(point) : point);
}

void InspectionAnalysisMetrFancy::onScale100Action()
{
    iScale = 100;
    updateDiagram();
}

void InspectionAnalysisMetrFancy::onScale80Action()
{
    iScale = 80;
    updateDiagram();
}

void InspectionAnalysisMetrFancy::onScale60Action()
{
    iScale = 60;
    updateDiagram();
}

void InspectionAnalysisMetrFancy::onScale40Action()
{
    iScale = 40;
    updateDiagram();
}

void InspectionAnalysisMetrFancy::onScale20Action()
{
    iScale = 20;
    updateDiagram();
}

void InspectionAnalysisMetrFancy::onShowTextQuestAction()
{
    bShowQuestText = !bShowQuestText;
    updateDiagram();
}

void InspectionAnalysisMetrFancy::onShowIAAction()
{
    bShowIA = !bShowIA;
    updateDiagram();
}

// --- measurement picture ---

void InspectionAnalysisMetrFancy::showEvent(QShowEvent *event)
{
    Fancy::FancyMainWindow::showEvent(event);
    if (!m_diagramDockSized)
        sizeDiagramDock();
    updateDiagram();
}

// Without a saved layout the dock would open at its empty picture's height.
void InspectionAnalysisMetrFancy::sizeDiagramDock()
{
    m_diagramDockSized = true;
    const int chrome = m_diagramDock->sizeHint().height() - m_diagramArea->sizeHint().height();
    const int frame = 2 * m_diagramArea->frameWidth() + m_diagramArea->horizontalScrollBar()->sizeHint().height();
    resizeDocks({m_diagramDock}, {pictureHeight() + frame + chrome}, Qt::Vertical);
}

int InspectionAnalysisMetrFancy::pictureHeight() const
{
    return iScale * 550 / 100;
}

void InspectionAnalysisMetrFancy::mySelectionChanged(const QItemSelection &, const QItemSelection &)
{
    updateDiagram();
}

InspectionAnalysisMetrFancy::CellKey InspectionAnalysisMetrFancy::currentCellKey() const
{
    const QJsonArray data = m_tree->currentIndex().data(kUidRole).toJsonArray();
    CellKey key;
    if (data.size() == 4)
        key = {data[0].toInt(-1), data[1].toInt(-1), data[2].toInt(-1), QUuid(data[3].toString())};
    return key;
}

// The test, question mark and parameter of a cell; the later ones null when
// an earlier one is missing.
InspectionAnalysisMetrFancy::CellPlace InspectionAnalysisMetrFancy::placeOf(const CellKey &key) const
{
    CellPlace place;
    place.test = m_inspection ? m_inspection->test(key.test) : nullptr;
    place.mark = place.test ? place.test->findLabel(key.group, key.quest) : nullptr;
    place.param = place.mark ? DefMertValuation::find(m_inspection->metricParams, key.uid) : nullptr;
    return place;
}

void InspectionAnalysisMetrFancy::clearDiagram()
{
    m_label->setPixmap(QPixmap());
    m_label->setFixedSize(0, 0);
    m_label->unload();
    m_shownKey = CellKey();
}

void InspectionAnalysisMetrFancy::updateDiagram()
{
    const CellKey key = currentCellKey();
    Inspection::_Test *test = m_inspection ? m_inspection->test(key.test) : nullptr;
    const Inspection::_MetricParam *found = test ? DefMertValuation::find(m_inspection->metricParams, key.uid) : nullptr;
    if (!found)
        return;
    const Inspection::_MetricParam param = *found;
    if (!test->samplesLoaded())
        m_inspection->loadRecording(test);
    const QPixmap pixmap = drawDiagram(key.test, key.group, key.quest, param.nKodChannel);
    m_label->setPixmap(pixmap);
    m_label->setFixedSize(pixmap.size());
    const Inspection::_Label *mark = test->findLabel(key.group, key.quest);
    if (!mark || pixmap.isNull()) {
        m_label->unload();
        m_shownKey = CellKey();
        return;
    }
    // Read without inserting: a cell only looked at must not become a record.
    const Inspection::_MetricValuation record = test->valuationMetric.value(key.group).value(key.quest).value(key.uid);
    const int code = param.nKodChannel;
    _QLabel::Corners corners;
    corners.x1 = record.ptStart_x;
    corners.y1 = MetricMeasure::valueToPanelY(*test, code, record.ptStart_y, 1);
    corners.x2 = record.ptEnd_x;
    corners.y2 = MetricMeasure::valueToPanelY(*test, code, record.ptEnd_y, 1);
    // The picture starts at the question's end mark when it shows only the
    // analysis interval, else at its start mark (see drawDiagram).
    const int firstTick = bShowIA ? mark->TickQEnd : mark->TickQStart;
    m_label->load(m_inspection, key.test, mark->TickQStart, param, corners, firstTick - mark->TickQStart, iScale / 100.0);
    m_shownKey = key;
}

QPixmap InspectionAnalysisMetrFancy::drawDiagram(int testIndex, int group, int quest, int code)
{
    Inspection::_Test *test = m_inspection ? m_inspection->test(testIndex) : nullptr;
    const Inspection::_Label *mark = test ? test->findLabel(group, quest) : nullptr;
    if (!mark)
        return QPixmap();
    const int ia = test->ia.lengthTicks();
    const int width = bShowIA ? ia : ia + (mark->TickQEnd - mark->TickQStart) + 100;
    const int end = bShowIA ? mark->TickQEnd + ia : mark->TickQEnd + ia + 100;
    const int height = pictureHeight();
    if (width <= 0)
        return QPixmap();
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    drawG polygram(test, 1000);
    polygram.setRenderHints(painter);
    const QRect area(0, 0, width, height);
    polygram.fillReactionShades(painter, area, end, 0, test->labels);
    polygram.fillQuestionIntervals(painter, area, end, 0, test->labels);
    if (bShowQuestText)
        polygram.drawLabels(painter, area, end, 0, test->labels);
    polygram.drawChannelCurve(painter, area, end, 0, code, false, false);
    polygram.drawChannelBand(painter, area, code, true, isSixteenBitUnit(test->idsensor));
    return pixmap;
}

void InspectionAnalysisMetrFancy::moveByKey(Qt::KeyboardModifiers modifiers, int key)
{
    if (key == Qt::Key_Shift && modifiers == Qt::ShiftModifier) {
        emitShowPlace();
        return;
    }
    const bool shift = modifiers == Qt::ShiftModifier;
    const bool ctrl = modifiers == Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Escape:
        m_label->restoreCorners();
        break;
    case Qt::Key_Left:
        if (shift || ctrl)
            shift ? onMoveLeftAction() : onMoveLeftAction2();
        break;
    case Qt::Key_Right:
        if (shift || ctrl)
            shift ? onMoveRightAction() : onMoveRightAction2();
        break;
    case Qt::Key_Up:
        if (shift || ctrl)
            shift ? onMoveTopAction() : onMoveTopAction2();
        break;
    case Qt::Key_Down:
        if (shift || ctrl)
            shift ? onMoveBottomAction() : onMoveBottomAction2();
        break;
    case Qt::Key_Space:
        storeMeasurement();
        break;
    default:
        break;
    }
}

// The review screen is asked to show where the current cell's question starts.
void InspectionAnalysisMetrFancy::emitShowPlace()
{
    const QModelIndex current = m_tree->currentIndex();
    if (current.row() == 0 && current.column() == 0)
        return;
    const CellKey key = currentCellKey();
    const CellPlace place = placeOf(key);
    if (place.param)
        emit notifyShowPoligrammeFromMetr(key.test, place.mark->TickQStart, place.param->nKodChannel);
}

void InspectionAnalysisMetrFancy::storeMeasurement()
{
    const CellKey key = currentCellKey();
    const CellPlace place = placeOf(key);
    // The corners belong to the cell the picture was loaded for.
    if (!place.param || !m_label->isLoaded() || !(key == m_shownKey))
        return;
    Inspection::_Test *test = place.test;
    const _QLabel::Corners &corners = m_label->corners();
    const int code = place.param->nKodChannel;
    Inspection::_MetricValuation record;
    record.iGroup = key.group;
    record.iQuest = key.quest;
    record.uidParam = key.uid;
    record.ptStart_x = corners.x1;
    record.ptStart_y = MetricMeasure::valueToPanelY(*test, code, corners.y1, -1);
    record.ptEnd_x = corners.x2;
    record.ptEnd_y = MetricMeasure::valueToPanelY(*test, code, corners.y2, -1);
    // What the readout shows is what is stored.
    record.nValue = m_label->currentValue();
    const auto store = [&record](Inspection::_Test &t) {
        t.valuationMetric[record.iGroup][record.iQuest][record.uidParam] = record;
    };
    if (!changeValues(test, store))
        return;
    fillResultsTree(true);
    selectNextCell();
}

void InspectionAnalysisMetrFancy::onMoveLeftAction()
{
    m_label->moveCorners(-1, 0, 0, 0);
}

void InspectionAnalysisMetrFancy::onMoveRightAction()
{
    m_label->moveCorners(1, 0, 0, 0);
}

void InspectionAnalysisMetrFancy::onMoveTopAction()
{
    m_label->moveCorners(0, -1, 0, 0);
}

void InspectionAnalysisMetrFancy::onMoveBottomAction()
{
    m_label->moveCorners(0, 1, 0, 0);
}

void InspectionAnalysisMetrFancy::onMoveLeftAction2()
{
    m_label->moveCorners(0, 0, -1, 0);
}

void InspectionAnalysisMetrFancy::onMoveRightAction2()
{
    m_label->moveCorners(0, 0, 1, 0);
}

void InspectionAnalysisMetrFancy::onMoveTopAction2()
{
    m_label->moveCorners(0, 0, 0, -1);
}

void InspectionAnalysisMetrFancy::onMoveBottomAction2()
{
    m_label->moveCorners(0, 0, 0, 1);
}
