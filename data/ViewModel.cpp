#include "ViewModel.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

void replaceViewModel(QAbstractItemView *view, QAbstractItemModel *model)
{
    QAbstractItemModel *old = view->model();
    QItemSelectionModel *oldSelection = view->selectionModel();
    view->setModel(model);
    if (oldSelection != view->selectionModel())
        delete oldSelection;
    if (old != model)
        delete old;
}
