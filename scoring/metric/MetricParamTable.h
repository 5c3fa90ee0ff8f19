#pragma once

#include "data/Inspection.h"

#include <QCoreApplication>
#include <QVector>

class QStandardItemModel;
class QTreeView;

// The five-column table of metric parameters ("N", name, channel, kind, weight)
// that the metric window and the reference book dialog show.
class MetricParamTable
{
    Q_DECLARE_TR_FUNCTIONS(MetricParamTable)
public:
    using Params = QVector<Inspection::_MetricParam>;

    // The text of a measure kind, empty for an unknown one.
    static QString measureKindText(int eMet);
    // One row per parameter: column 0 the row number, checked by bEnable,
    // with the parameter's uid in Qt::UserRole + 1.
    static QStandardItemModel *newModel(const Params &params, QObject *parent);
    // Shows the model in the view, freeing the view's previous model.
    static void show(QTreeView *view, QStandardItemModel *model);
};
