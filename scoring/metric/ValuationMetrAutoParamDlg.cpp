#include "ValuationMetrAutoParamDlg.h"

#include "DefMertValuation.h"

#include "data/DefChannel.h"
#include "fancy/FontScale.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

constexpr int kUidRole = Qt::UserRole + 1;
constexpr int kDescriptionRole = Qt::UserRole + 2;
constexpr int kPictureRole = Qt::UserRole + 3;
constexpr int kLabelWidth = 250;

QStandardItem *fixedItem(const QString &text, const QBrush &brush)
{
    auto *item = new QStandardItem(text);
    item->setEditable(false);
    item->setCheckable(false);
    item->setForeground(brush);
    return item;
}

QLabel *framedLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setFixedWidth(Fancy::FontScale::px(kLabelWidth, Fancy::FontScale::screenWidth(parent) / 3));
    label->setStyleSheet(QStringLiteral("border: 1px solid black;"));
    return label;
}

bool heldEnabled(const QVector<Inspection::_MetricParam> &list, const QUuid &uid)
{
    return std::any_of(list.cbegin(), list.cend(),
                       [&uid](const Inspection::_MetricParam &param) { return param.uid == uid && param.bEnable; });
}

}  // namespace

ValuationMetrAutoParamDlg::ValuationMetrAutoParamDlg(QWidget *parent, const Params &current)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(tr("Автоматические параметры метрической оценки"));
    m_tree = new QTreeView(this);
    m_tree->setHeaderHidden(true);
    // The tree and the texts beside it grow with the font within the screen.
    using Fancy::FontScale;
    m_tree->setFixedSize(FontScale::px(250, FontScale::screenWidth(parent) / 2),
                         FontScale::px(350, FontScale::screenHeight(parent) * 2 / 3));
    m_description = framedLabel(this);
    m_description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_description->setWordWrap(true);
    m_picture = framedLabel(this);
    m_picture->setAlignment(Qt::AlignCenter);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ValuationMetrAutoParamDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ValuationMetrAutoParamDlg::reject);

    auto *labels = new QVBoxLayout;
    labels->addWidget(m_description);
    labels->addWidget(m_picture);
    auto *row = new QHBoxLayout;
    row->addWidget(m_tree);
    row->addLayout(labels);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    fillTree(current);
    connect(m_tree->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ValuationMetrAutoParamDlg::onSelection);
}

// Groups and sub-groups appear in the order of their first entry.
void ValuationMetrAutoParamDlg::fillTree(const Params &current)
{
    m_model = new QStandardItemModel(this);
    DefMertValuation catalogue;
    catalogue.fillStandard();
    DefChannel channels;
    for (const Inspection::_MetricParam &entry : catalogue.entries) {
        const QStringList parts = entry.Name.split(QLatin1Char('\n'));
        const Inspection::_Channel *channel = channels.findByCode(entry.nKodChannel);
        const QBrush brush(channel && channel->Color ? *channel->Color : QColor(Qt::black));
        QStandardItem *group = childNamed(m_model->invisibleRootItem(), parts.value(0), brush);
        QStandardItem *subGroup = childNamed(group, parts.value(1), brush);
        QStandardItem *item = fixedItem(parts.value(2), brush);
        item->setCheckable(true);
        item->setData(entry.uid, kUidRole);
        item->setData(entry.sDescription, kDescriptionRole);
        item->setData(catalogue.picturePath(entry.uid), kPictureRole);
        item->setCheckState(heldEnabled(current, entry.uid) ? Qt::Checked : Qt::Unchecked);
        subGroup->appendRow(item);
    }
    m_tree->setModel(m_model);
}

QStandardItem *ValuationMetrAutoParamDlg::childNamed(QStandardItem *parent, const QString &text, const QBrush &brush)
{
    for (int row = 0; row < parent->rowCount(); ++row) {
        if (parent->child(row)->text() == text)
            return parent->child(row);
    }
    QStandardItem *child = fixedItem(text, brush);
    parent->appendRow(child);
    return child;
}

void ValuationMetrAutoParamDlg::onSelection(const QItemSelection &selected, const QItemSelection &)
{
    const QModelIndexList indexes = selected.indexes();
    // An emptied selection leaves nothing described.
    const QModelIndex index = indexes.isEmpty() ? QModelIndex() : indexes.first();
    m_description->setText(index.data(kDescriptionRole).toString());
    const QString picture = index.data(kPictureRole).toString();
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setPixmap(picture.isEmpty() ? QPixmap() : QPixmap(picture));
}

ValuationMetrAutoParamDlg::Params ValuationMetrAutoParamDlg::checkedParams() const
{
    DefMertValuation catalogue;
    catalogue.fillStandard();
    Params checked;
    for (int g = 0; g < m_model->rowCount(); ++g) {
        const QStandardItem *group = m_model->item(g);
        for (int s = 0; s < group->rowCount(); ++s) {
            const QStandardItem *subGroup = group->child(s);
            for (int p = 0; p < subGroup->rowCount(); ++p) {
                const QStandardItem *item = subGroup->child(p);
                if (item->checkState() != Qt::Checked)
                    continue;
                if (Inspection::_MetricParam *entry = DefMertValuation::find(catalogue.entries, item->data(kUidRole).toUuid())) {
                    checked.append(*entry);
                    checked.last().bEnable = true;
                }
            }
        }
    }
    return checked;
}
