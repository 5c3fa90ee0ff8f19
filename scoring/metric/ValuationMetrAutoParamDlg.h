#pragma once

#include "data/Inspection.h"

#include <QDialog>
#include <QVector>

class QItemSelection;
class QLabel;
class QStandardItem;
class QStandardItemModel;
class QTreeView;

// Chooses which parameters of the standard catalogue an examination measures
// automatically: the catalogue as a tree of groups, sub-groups and ticked
// parameters; a selected parameter shows its description and picture.
class ValuationMetrAutoParamDlg : public QDialog
{
    Q_OBJECT
public:
    using Params = QVector<Inspection::_MetricParam>;

    // current ticks the parameters it holds with bEnable set.
    ValuationMetrAutoParamDlg(QWidget *parent, const Params &current);

    // The ticked catalogue entries in tree order, each with bEnable set.
    Params checkedParams() const;

    QTreeView *tree() const { return m_tree; }
    QLabel *descriptionLabel() const { return m_description; }  // for tests
    QLabel *pictureLabel() const { return m_picture; }

public slots:
    void onSelection(const QItemSelection &selected, const QItemSelection &deselected);

private:
    void fillTree(const Params &current);
    static QStandardItem *childNamed(QStandardItem *parent, const QString &text, const QBrush &brush);

    QTreeView *m_tree = nullptr;
    QLabel *m_description = nullptr;
    QLabel *m_picture = nullptr;
    QStandardItemModel *m_model = nullptr;
};
