#include "ValuationMetrSpravParamDlg.h"

#include "DefMertValuation.h"
#include "MetricParamTable.h"
#include "ValuationMetrEditParamDlg.h"

#include "data/SpravDB.h"
#include "fancy/FontScale.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

constexpr int kUidRole = Qt::UserRole + 1;

// The two tables, one above the other, grow with the font within the screen.
QTreeView *fixedTable(QWidget *parent)
{
    using Fancy::FontScale;
    auto *table = new QTreeView(parent);
    table->setFixedSize(FontScale::px(450, FontScale::screenWidth(parent) * 2 / 3),
                        FontScale::px(250, FontScale::screenHeight(parent) / 3));
    table->setRootIsDecorated(false);
    return table;
}

// A table beside its column of buttons, aligned to the top.
QHBoxLayout *tableWithButtons(QTreeView *table, const QList<QPushButton *> &buttons)
{
    auto *column = new QVBoxLayout;
    for (QPushButton *button : buttons)
        column->addWidget(button, 0, Qt::AlignTop);
    column->addStretch();
    auto *row = new QHBoxLayout;
    row->addWidget(table, 0, Qt::AlignLeft);
    row->addLayout(column);
    return row;
}

const Inspection::_MetricParam *findIn(const QVector<Inspection::_MetricParam> &list, const QUuid &uid)
{
    for (const Inspection::_MetricParam &param : list) {
        if (param.uid == uid)
            return &param;
    }
    return nullptr;
}

}  // namespace

ValuationMetrSpravParamDlg::ValuationMetrSpravParamDlg(QWidget *parent, const Params &params)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_params(params)
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(tr("Справочник параметров метрической оценки"));
    m_standard = fixedTable(this);
    m_custom = fixedTable(this);
    auto *selectAll = new QPushButton(tr("Выбрать все"), this);
    auto *unselectAll = new QPushButton(tr("Отменить все"), this);
    auto *add = new QPushButton(tr("Добавить..."), this);
    auto *edit = new QPushButton(tr("Изменить..."), this);
    auto *remove = new QPushButton(tr("Удалить"), this);
    connect(selectAll, &QPushButton::released, this, &ValuationMetrSpravParamDlg::onSelectAll);
    connect(unselectAll, &QPushButton::released, this, &ValuationMetrSpravParamDlg::onUnselectAll);
    connect(add, &QPushButton::released, this, &ValuationMetrSpravParamDlg::onAdd);
    connect(edit, &QPushButton::released, this, &ValuationMetrSpravParamDlg::onEdit);
    connect(remove, &QPushButton::released, this, &ValuationMetrSpravParamDlg::onDelete);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ValuationMetrSpravParamDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ValuationMetrSpravParamDlg::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Стандартные параметры:"), this));
    layout->addLayout(tableWithButtons(m_standard, {selectAll, unselectAll}));
    layout->addWidget(new QLabel(tr("Настраиваемые параметры:"), this));
    layout->addLayout(tableWithButtons(m_custom, {add, edit, remove}));
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    fillStandardTable();
    fillCustomTable();
}

ValuationMetrSpravParamDlg::Params ValuationMetrSpravParamDlg::withListedChecks(Params params) const
{
    for (Inspection::_MetricParam &param : params) {
        const Inspection::_MetricParam *listed = findIn(m_params, param.uid);
        param.bEnable = listed && listed->bEnable;
    }
    return params;
}

void ValuationMetrSpravParamDlg::fillStandardTable()
{
    Params basic;
    DefMertValuation::fillBasic(basic);
    MetricParamTable::show(m_standard, MetricParamTable::newModel(withListedChecks(basic), m_standard));
}

void ValuationMetrSpravParamDlg::fillCustomTable()
{
    MetricParamTable::show(m_custom, MetricParamTable::newModel(withListedChecks(customParams()), m_custom));
}

ValuationMetrSpravParamDlg::Params ValuationMetrSpravParamDlg::customParams()
{
    Params all;
    SpravDB().readMetricVal(all);
    return all;
}

void ValuationMetrSpravParamDlg::onSelectAll()
{
    setAllChecks(m_standard, Qt::Checked);
}

void ValuationMetrSpravParamDlg::onUnselectAll()
{
    setAllChecks(m_standard, Qt::Unchecked);
}

void ValuationMetrSpravParamDlg::setAllChecks(QTreeView *table, Qt::CheckState state)
{
    auto *model = static_cast<QStandardItemModel *>(table->model());
    for (int row = 0; row < model->rowCount(); ++row)
        model->item(row, 0)->setCheckState(state);
}

void ValuationMetrSpravParamDlg::onAdd()
{
    ValuationMetrEditParamDlg dialog(this, nullptr);
    if (dialog.exec() != QDialog::Accepted)
        return;
    Params all = customParams();
    all.append(dialog.param);
    writeCustom(all);
}

bool ValuationMetrSpravParamDlg::currentCustom(Params &all, int &index) const
{
    const QModelIndex current = m_custom->currentIndex();
    if (!current.isValid())
        return false;
    const QUuid uid = current.siblingAtColumn(0).data(kUidRole).toUuid();
    all = customParams();
    for (index = 0; index < all.size(); ++index) {
        if (all[index].uid == uid)
            return true;
    }
    return false;
}

void ValuationMetrSpravParamDlg::onEdit()
{
    Params all;
    int index = -1;
    if (!currentCustom(all, index))
        return;
    ValuationMetrEditParamDlg dialog(this, &all[index]);
    if (dialog.exec() != QDialog::Accepted)
        return;
    all[index] = dialog.param;
    writeCustom(all);
}

void ValuationMetrSpravParamDlg::onDelete()
{
    Params all;
    int index = -1;
    if (!currentCustom(all, index))
        return;
    all.remove(index);
    writeCustom(all);
}

void ValuationMetrSpravParamDlg::writeCustom(const Params &all)
{
    const SpravDB::Result result = SpravDB().writeMetricVal(all);
    fillCustomTable();
    if (result != SpravDB::Result::Done) {
        QMessageBox::warning(this, tr("Воркел"),
                             tr("Не удалось сохранить параметры в справочнике.\n"
                                "Показаны параметры, которые хранит справочник."));
    }
}

QVector<QUuid> ValuationMetrSpravParamDlg::checkedUids(const QTreeView *table)
{
    QVector<QUuid> uids;
    const auto *model = static_cast<const QStandardItemModel *>(table->model());
    for (int row = 0; row < model->rowCount(); ++row) {
        const QStandardItem *item = model->item(row, 0);
        if (item->checkState() == Qt::Checked)
            uids.append(item->data(kUidRole).toUuid());
    }
    return uids;
}

ValuationMetrSpravParamDlg::Params ValuationMetrSpravParamDlg::selectedParams() const
{
    Params basic;
    DefMertValuation::fillBasic(basic);
    const Params custom = customParams();
    Params chosen;
    const auto take = [&chosen](const Params &source, const QVector<QUuid> &uids) {
        for (const QUuid &uid : uids) {
            if (const Inspection::_MetricParam *param = findIn(source, uid)) {
                chosen.append(*param);
                chosen.last().bEnable = true;
            }
        }
    };
    take(basic, checkedUids(m_standard));
    take(custom, checkedUids(m_custom));
    // What the dialog cannot show, such as a parameter made by hand in the
    // examination, stays as it is: nothing disappears unasked.
    for (const Inspection::_MetricParam &param : m_params) {
        if (!findIn(basic, param.uid) && !findIn(custom, param.uid))
            chosen.append(param);
    }
    return chosen;
}
