#pragma once

#include "data/Inspection.h"

#include <QDialog>
#include <QVector>

class QTreeView;

// Chooses an examination's hand-measured parameters from the basic catalogue
// and from the custom parameters of the reference book, and keeps the custom
// ones: every addition, change and deletion is written to the reference book
// at once, whatever the dialog's answer.
class ValuationMetrSpravParamDlg : public QDialog
{
    Q_OBJECT
public:
    using Params = QVector<Inspection::_MetricParam>;

    // params decide the first check marks (a parameter held with bEnable set).
    ValuationMetrSpravParamDlg(QWidget *parent, const Params &params);

    void fillStandardTable();
    void fillCustomTable();
    // The checked basic entries, then the checked custom ones as the reference
    // book holds them now, each with bEnable set; then, unchanged, the given
    // parameters that are in neither table.
    Params selectedParams() const;

    QTreeView *standardTable() const { return m_standard; }
    QTreeView *customTable() const { return m_custom; }  // for tests

public slots:
    void onSelectAll();
    void onUnselectAll();
    void onAdd();
    void onEdit();
    void onDelete();

private:
    // The row's parameters with bEnable as the given list holds them.
    Params withListedChecks(Params params) const;
    static Params customParams();
    // The custom parameter of the current row, read anew; false when there is none.
    bool currentCustom(Params &all, int &index) const;
    // Writes the whole custom list; a write that did not go through refills
    // the table from the reference book and is told.
    void writeCustom(const Params &all);
    static QVector<QUuid> checkedUids(const QTreeView *table);
    static void setAllChecks(QTreeView *table, Qt::CheckState state);

    QTreeView *m_standard = nullptr;
    QTreeView *m_custom = nullptr;
    Params m_params;
};
