#include "InspectionAnalysisStatFancy.h"

#include "StatResultTable.h"
#include "_BackWidget_InspectionAnalysisStatFancy.h"

#include "app/services/TreeViewExport.h"
#include "data/ActivePopupMenu.h"
#include "data/ReadRefusal.h"
#include "data/SettingsStore.h"
#include "data/ViewModel.h"
#include "fancy/FontScale.h"
#include "resources/VugResources.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QStandardItemModel>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

const char kSettingsGroup[] = "InspectionAnalysisStatFancy";
const char kMaskKey[] = "ulColumnsMask";
constexpr int kAllColumns = 31;
constexpr int kNameColumnWidth = 600;

int columnBit(int column)
{
    return 1 << (column - 1);
}

}  // namespace

InspectionAnalysisStatFancy::InspectionAnalysisStatFancy(QWidget *parent)
    : Fancy::FancyMainWindow(parent), m_tree(nullptr), ulColumnsMask(kAllColumns)
{
    setObjectName(QStringLiteral("InspectionAnalysisStatFancy"));
    auto settings = SettingsStore::open();
    settings->beginGroup(QLatin1String(kSettingsGroup));
    ulColumnsMask = SettingsStore::read(*settings, QLatin1String(kMaskKey), kAllColumns);
    settings.reset();

    createToolBar();
    // Made and at once replaced by the table (the framework frees it): kept with
    // its resize signal, which is part of the window's interface.
    auto *back = new _BackWidget_InspectionAnalysisStatFancy;
    connect(back, &_BackWidget_InspectionAnalysisStatFancy::notifyResize, this,
            &InspectionAnalysisStatFancy::onResizeContent);
    setCentralWidget(back);
    m_tree = new QTreeView;
    setCentralWidget(tableWithNote());
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tree, &QWidget::customContextMenuRequested, this, &InspectionAnalysisStatFancy::onLocalMenu);
}

InspectionAnalysisStatFancy::~InspectionAnalysisStatFancy()
{
    auto settings = SettingsStore::open();
    settings->beginGroup(QLatin1String(kSettingsGroup));
    settings->setValue(QLatin1String(kMaskKey), uint(ulColumnsMask));
    settings->endGroup();
    settings->sync();
}

void InspectionAnalysisStatFancy::createToolBar()
{
    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("StatToolBar"));
    QAction *calc = bar->addAction(VugImages::icon(QStringLiteral("Apps-Calc-icon.png")), tr("Выполнить расчет"));
    connect(calc, &QAction::triggered, this, &InspectionAnalysisStatFancy::action_Calc);
    QAction *excel = bar->addAction(VugImages::icon(QStringLiteral("Microsoft-Excel-icon.png")),
                                    tr("Выполнить экспорт в MSExcel"));
    connect(excel, &QAction::triggered, this, &InspectionAnalysisStatFancy::action_ExportExcel);
    addToolBar(bar);
}

QWidget *InspectionAnalysisStatFancy::tableWithNote()
{
    m_outOfDateNote = new QLabel(tr("Оценки изменились после расчета: выполните расчет заново"));
    m_outOfDateNote->setStyleSheet(QStringLiteral("color: #963c3c; padding: 4px;"));
    m_outOfDateNote->hide();
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_outOfDateNote);
    layout->addWidget(m_tree);
    return page;
}

bool InspectionAnalysisStatFancy::isOutOfDate() const
{
    return m_inspection && m_tree->model() && StatResultTable::inputsDigest(*m_inspection) != m_computedFrom;
}

void InspectionAnalysisStatFancy::updateOutOfDateNote()
{
    m_outOfDateNote->setVisible(isOutOfDate());
}

// Scores change in the other windows while this one is hidden.
void InspectionAnalysisStatFancy::showEvent(QShowEvent *event)
{
    Fancy::FancyMainWindow::showEvent(event);
    updateOutOfDateNote();
}

void InspectionAnalysisStatFancy::setTreeModel(QStandardItemModel *model)
{
    if (model)
        model->setParent(m_tree);
    replaceViewModel(m_tree, model);
}

void InspectionAnalysisStatFancy::onChangedPersone(QString path, Inspection *pInspection)
{
    Q_UNUSED(path);
    setTreeModel(nullptr);
    m_inspection = pInspection;
    updateOutOfDateNote();
}

// Kept as a slot of the window's interface; the table lays itself out.
void InspectionAnalysisStatFancy::onResizeContent(QResizeEvent *pEvt)
{
    Q_UNUSED(pEvt);
}

void InspectionAnalysisStatFancy::action_Calc()
{
    if (!m_inspection)
        return;
    StatResultTable table(*m_inspection);
    // A calculation over part of the recordings would pass for one over all.
    while (!table.score()) {
        const QString unread = table.unread().join(QStringLiteral(", ")) + tr("; расчет не выполнен");
        if (!ReadRefusal::tell(this, table.unreadResult(), m_inspection->path, unread)) {
            setTreeModel(nullptr);
            updateOutOfDateNote();
            return;
        }
    }
    table.sum();
    setTreeModel(table.model());
    for (int row = 0; row < m_tree->model()->rowCount(); ++row)
        m_tree->expand(m_tree->model()->index(row, 0));
    for (int column = StatResultTable::StatisticalColumn; column <= StatResultTable::MetricColumn; ++column)
        m_tree->setColumnHidden(column, !(ulColumnsMask & columnBit(column)));
    // Each column as wide as its header and values, as a toggle leaves it.
    resizeColumns();
    fitNamesColumn();
    m_computedFrom = StatResultTable::inputsDigest(*m_inspection);
    updateOutOfDateNote();
}

bool InspectionAnalysisStatFancy::exportedFiguresAreCurrent()
{
    updateOutOfDateNote();
    if (!isOutOfDate())
        return true;
    const auto answer = QMessageBox::question(
        this, tr("Воркел"),
        tr("Оценки изменились после расчета: таблица показывает прежние результаты.\n"
           "Выполнить расчет заново перед экспортом?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Cancel)
        return false;
    if (answer == QMessageBox::Yes)
        action_Calc();
    return true;
}

void InspectionAnalysisStatFancy::action_ExportExcel()
{
    if (exportedFiguresAreCurrent())
        exportTreeViewToExcel(m_tree);
}

// --- columns ---

void InspectionAnalysisStatFancy::onLocalMenu(const QPoint &point)
{
    QScopedPointer<QMenu> menu(buildColumnMenu());
    ActivePopupMenu marker(menu.data());
    menu->exec(m_tree->viewport()->mapToGlobal(point));
}

QMenu *InspectionAnalysisStatFancy::buildColumnMenu()
{
    struct Toggle {
        const char *text;
        void (InspectionAnalysisStatFancy::*slot)();
    };
    static const Toggle toggles[] = {
        {QT_TR_NOOP("Включить колонку мат. обработки"), &InspectionAnalysisStatFancy::onShowMathColumnAction},
        {QT_TR_NOOP("Включить колонку бальной оценки 3210123"), &InspectionAnalysisStatFancy::onShowBall3210123ColumnAction},
        {QT_TR_NOOP("Включить колонку бальной оценки 101"), &InspectionAnalysisStatFancy::onShowBall101ColumnAction},
        {QT_TR_NOOP("Включить колонку бальной оценки 012"), &InspectionAnalysisStatFancy::onShowBall012ColumnAction},
        {QT_TR_NOOP("Включить колонку метрической оценки"), &InspectionAnalysisStatFancy::onShowMetrColumnAction}};
    auto *menu = new QMenu;
    for (int k = 0; k < 5; ++k) {
        QAction *action = menu->addAction(tr(toggles[k].text), this, toggles[k].slot);
        action->setCheckable(true);
        action->setChecked(ulColumnsMask & columnBit(k + 1));
    }
    return menu;
}

void InspectionAnalysisStatFancy::toggleColumn(int column)
{
    const int bit = columnBit(column);
    m_tree->setColumnHidden(column, ulColumnsMask & bit);
    ulColumnsMask ^= bit;
    resizeColumns();
}

void InspectionAnalysisStatFancy::resizeColumns()
{
    for (int column = StatResultTable::StatisticalColumn; column <= StatResultTable::MetricColumn; ++column)
        m_tree->resizeColumnToContents(column);
}

// A large font widens the value columns: the names column gives them room,
// down to its width at scale 1.0 divided by the scale.
void InspectionAnalysisStatFancy::fitNamesColumn()
{
    int values = 0;
    for (int column = StatResultTable::StatisticalColumn; column <= StatResultTable::MetricColumn; ++column)
        values += m_tree->isColumnHidden(column) ? 0 : m_tree->columnWidth(column);
    const int room = m_tree->viewport()->width() - values;
    const int least = int(std::lround(kNameColumnWidth / std::max(1.0, Fancy::FontScale::factor())));
    m_tree->setColumnWidth(StatResultTable::NamesColumn, qBound(least, room, kNameColumnWidth));
}

void InspectionAnalysisStatFancy::onShowMathColumnAction()
{
    toggleColumn(StatResultTable::StatisticalColumn);
}

void InspectionAnalysisStatFancy::onShowBall3210123ColumnAction()
{
    toggleColumn(StatResultTable::Ball3210123Column);
}

void InspectionAnalysisStatFancy::onShowBall101ColumnAction()
{
    toggleColumn(StatResultTable::Ball101Column);
}

void InspectionAnalysisStatFancy::onShowBall012ColumnAction()
{
    toggleColumn(StatResultTable::Ball012Column);
}

void InspectionAnalysisStatFancy::onShowMetrColumnAction()
{
    toggleColumn(StatResultTable::MetricColumn);
}
