#include "ChangeQuestsDlg.h"

#include "InspectionTreeView.h"
#include "SubjectGrowth.h"

#include "resources/VugResources.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QShortcut>
#include <QStandardItemModel>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
constexpr int kIndexRole = Qt::UserRole + 1;
const QSize kTreeSize(1024, 350);

void lockCell(QStandardItem *item)
{
    item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable
                                     | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled));
}
}  // namespace

ChangeQuestsDlg::ChangeQuestsDlg(QWidget *parent, const Inspection::_Test *test, int group, int theme)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , m_tree(new InspectionTreeView(1))
    , m_currentGroup(group)
    , m_currentTheme(theme)
{
    initVugResources();
    setWindowTitle(tr("Изменение порядка"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *addGroup = new QAction(VugImages::icon(QStringLiteral("addGroup.png")), tr("Добавить предъявление"), this);
    connect(addGroup, &QAction::triggered, this, &ChangeQuestsDlg::onAction_AddGroup);
    auto *edit = new QAction(VugImages::icon(QStringLiteral("edit")), tr("Изменить вопрос (F2)"), this);
    connect(edit, &QAction::triggered, this, &ChangeQuestsDlg::onAction_Edit);
    auto *tools = new QToolBar(this);
    tools->addAction(addGroup);
    tools->addAction(edit);

    m_tree->setObjectName(QStringLiteral("Navigator"));
    m_tree->setFixedSize(kTreeSize);
    // The view refills itself after its own moves and edits: the locks follow every fill.
    connect(m_tree, &InspectionTreeView::modelFilled, this, &ChangeQuestsDlg::applyLocks);

    // Structure only: the live test's sample arrays are being filled meanwhile.
    m_inspection.appendTest(test->structureCopy());
    fillTree();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ChangeQuestsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ChangeQuestsDlg::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tools);
    layout->addWidget(m_tree);
    layout->addWidget(buttons);
    // The fixed-size hint means nothing on X11; the layout holds the size instead.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    auto *f2 = new QShortcut(QKeySequence(Qt::Key_F2), this);
    f2->setContext(Qt::WindowShortcut);
    connect(f2, &QShortcut::activated, this, &ChangeQuestsDlg::F2);
    QTimer::singleShot(0, this, &ChangeQuestsDlg::onTimer_SetSelectedFirst);
}

// The tree, and an editor still open in it, go before the examination they write into.
ChangeQuestsDlg::~ChangeQuestsDlg() { delete m_tree; }

void ChangeQuestsDlg::accept() { QDialog::accept(); }

void ChangeQuestsDlg::F2() { m_tree->edit(m_tree->currentIndex()); }

void ChangeQuestsDlg::onAction_Edit() { F2(); }

void ChangeQuestsDlg::fillTree() { m_tree->fillModel(&m_inspection, false, nullptr); }

void ChangeQuestsDlg::applyLocks()
{
    auto *model = qobject_cast<QStandardItemModel *>(m_tree->model());
    QStandardItem *testItem = model ? model->item(0, 0) : nullptr;
    if (!testItem)
        return;
    lockCell(testItem);
    m_currentRow = -1;
    const QBrush grey(QColor(200, 200, 200));
    for (int column = 0; column < m_currentGroup; ++column) {
        for (int row = 0; QStandardItem *cell = testItem->child(row, column); ++row) {
            lockCell(cell);
            cell->setData(grey, Qt::ForegroundRole);
            if (column == m_currentGroup - 1 && cell->data(kIndexRole).toInt() == m_currentTheme) {
                m_currentRow = row;
                break;
            }
        }
    }
}

void ChangeQuestsDlg::onTimer_SetSelectedFirst()
{
    if (m_currentRow < 0 || m_currentGroup < 1)
        return;
    const QModelIndex testIndex = m_tree->model()->index(0, 0);
    const QModelIndex current = m_tree->model()->index(m_currentRow, m_currentGroup - 1, testIndex);
    m_tree->selectionModel()->setCurrentIndex(current, QItemSelectionModel::Select | QItemSelectionModel::Current);
    m_tree->setCurrentIndex(current);
}

void ChangeQuestsDlg::onAction_AddGroup()
{
    const auto addPresentation = [](Inspection::_Test &grown) { grown.addPresentation(); };
    if (SubjectGrowth::grow(this, m_inspection, *editedTest(), addPresentation, tr("предъявление не добавлено")))
        fillTree();
}
