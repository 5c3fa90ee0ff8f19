#include "MetricParamTable.h"

#include "data/DefChannel.h"
#include "data/ViewModel.h"
#include "fancy/FontScale.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTreeView>

namespace {

// Wider than this the table would crowd out the results beside it.
constexpr int kWidestTable = 800;

constexpr int kUidRole = Qt::UserRole + 1;

QStandardItem *fixedText(const QString &text)
{
    auto *item = new QStandardItem(text);
    item->setEditable(false);
    return item;
}

}  // namespace

QString MetricParamTable::measureKindText(int eMet)
{
    static const char *const texts[] = {QT_TRANSLATE_NOOP("_ValuationMetricParam", "По оси X"),
                                        QT_TRANSLATE_NOOP("_ValuationMetricParam", "По оси Y"),
                                        QT_TRANSLATE_NOOP("_ValuationMetricParam", "По оси XY"),
                                        QT_TRANSLATE_NOOP("_ValuationMetricParam", "Длина сигнала"),
                                        QT_TRANSLATE_NOOP("_ValuationMetricParam", "Частота")};
    return eMet >= 1 && eMet <= 5 ? QCoreApplication::translate("_ValuationMetricParam", texts[eMet - 1]) : QString();
}

QStandardItemModel *MetricParamTable::newModel(const Params &params, QObject *parent)
{
    auto *model = new QStandardItemModel(0, 5, parent);
    model->setHorizontalHeaderLabels({QStringLiteral("N"), tr("Наименование"), tr("Кнал"), tr("Вид измерения"), tr("Вес")});
    for (int row = 0; row < params.size(); ++row) {
        const Inspection::_MetricParam &param = params[row];
        auto *number = fixedText(QString::number(row + 1));
        number->setCheckable(true);
        number->setCheckState(param.bEnable ? Qt::Checked : Qt::Unchecked);
        number->setData(param.uid, kUidRole);
        const QString kind = measureKindText(param.eMet) + (param.bAuto ? tr("(А)") : QString());
        model->appendRow({number, fixedText(param.Name), fixedText(DefChannel::channelName(param.nKodChannel, false)),
                          fixedText(kind), fixedText(QString::asprintf("%.2f", param.dK))});
    }
    return model;
}

void MetricParamTable::show(QTreeView *view, QStandardItemModel *model)
{
    using Fancy::FontScale;
    replaceViewModel(view, model);
    view->setRootIsDecorated(false);
    view->setColumnWidth(0, FontScale::px(50));
    for (int column = 1; column <= 3; ++column)
        view->resizeColumnToContents(column);
    view->setColumnWidth(4, FontScale::px(20));
    // The dock or dialog opens wide enough for the whole table, up to a limit within the screen.
    const int wanted = view->header()->length() + 2 * view->frameWidth() + view->verticalScrollBar()->sizeHint().width();
    view->setMinimumWidth(qMin(wanted, FontScale::px(kWidestTable, FontScale::screenWidth(view) * 2 / 3)));
}
