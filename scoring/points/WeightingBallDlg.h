#pragma once

#include <QDialog>

class Inspection;
class QTreeView;

// A table of weighting coefficients per test, channel group and presentation.
// Its OK stores nothing and keeps the dialog open: the weights the scoring
// applies are the tests' channel weights.
class WeightingBallDlg : public QDialog
{
    Q_OBJECT
public:
    WeightingBallDlg(QWidget *parent, Inspection *inspection);

    QTreeView *tree() const { return m_tree; }

public slots:
    void accept() override;

private:
    void buildModel();

    QTreeView *m_tree;
    Inspection *m_inspection;
};
