#pragma once

class QAbstractItemModel;
class QAbstractItemView;

// Puts a new model under the view and frees the old model and its selection,
// which the view does not free itself.
void replaceViewModel(QAbstractItemView *view, QAbstractItemModel *model);
