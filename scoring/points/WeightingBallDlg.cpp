#include "WeightingBallDlg.h"

#include "QuestKey.h"

#include "data/Inspection.h"
#include "data/SharedHelpers.h"
#include "data/TestCaption.h"
#include "data/WaitCursor.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

const char *const kGroupCaptions[] = {QT_TRANSLATE_NOOP("WeightingBallDlg", "КГР (кгр)"),
                                      QT_TRANSLATE_NOOP("WeightingBallDlg", "ПГ (пг/ад/доп.)"),
                                      QT_TRANSLATE_NOOP("WeightingBallDlg", "ДЫХ (дых.в/дых.н)")};
constexpr int kPresentationWidth = 50;

}  // namespace

WeightingBallDlg::WeightingBallDlg(QWidget *parent, Inspection *inspection)
    : QDialog(parent), m_tree(new QTreeView), m_inspection(inspection)
{
    const WaitCursor wait;
    setWindowTitle(tr("Весовые коэффициенты параметров"));
    setWindowFlags((windowFlags() | Qt::Dialog) & ~Qt::WindowContextHelpButtonHint);
    resize(700, 500);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &WeightingBallDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tree);
    layout->addWidget(buttons);
    buildModel();
}

// OK keeps the dialog open and stores nothing.
void WeightingBallDlg::accept() {}

void WeightingBallDlg::buildModel()
{
    QList<int> recorded;
    int presentations = 0;
    for (int index = 0; m_inspection && m_inspection->test(index); ++index) {
        if (m_inspection->test(index)->recorded) {
            recorded << index;
            presentations = qMax(presentations, m_inspection->test(index)->presentationCount());
        }
    }
    // The tree owns its model.
    auto *model = new QStandardItemModel(0, presentations + 1, m_tree);
    QFont bold = font();
    bold.setWeight(QFont::Bold);
    for (int index : qAsConst(recorded)) {
        const Inspection::_Test *test = m_inspection->test(index);
        auto *row = new QStandardItem(testCaption(*m_inspection, index));
        row->setFlags(Qt::NoItemFlags);
        row->setData(QBrush(Qt::black, Qt::SolidPattern), Qt::ForegroundRole);
        row->setData(index, QuestKey::Role);
        row->setData(bold, Qt::FontRole);
        for (const char *caption : kGroupCaptions) {
            QList<QStandardItem *> cells{new QStandardItem(tr(caption))};
            for (int presentation = 1; presentation <= test->presentationCount(); ++presentation)
                cells << new QStandardItem(QStringLiteral("1.0"));
            row->appendRow(cells);
        }
        model->appendRow(row);
    }
    model->setHorizontalHeaderItem(0, new QStandardItem(QString()));
    for (int presentation = 1; presentation <= presentations; ++presentation)
        model->setHorizontalHeaderItem(presentation, new QStandardItem(romanNumeral(presentation)));
    m_tree->setModel(model);
    m_tree->expandAll();
    m_tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tree->setColumnWidth(0, m_tree->width() - 30 - kPresentationWidth * qMax(0, presentations - 1));
    for (int presentation = 1; presentation <= presentations; ++presentation)
        m_tree->setColumnWidth(presentation, kPresentationWidth);
}
