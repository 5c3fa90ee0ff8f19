#pragma once

#include "fancy/FancyMainWindow.h"

#include <QByteArray>

class Inspection;
class QLabel;
class QMenu;
class QResizeEvent;
class QStandardItemModel;
class QTreeView;

// The statistics window: every score of the examination side by side, one
// column per scoring, computed when the examiner asks for it.
class InspectionAnalysisStatFancy : public Fancy::FancyMainWindow
{
    Q_OBJECT
public:
    explicit InspectionAnalysisStatFancy(QWidget *parent = nullptr);
    // Writes the column mask.
    ~InspectionAnalysisStatFancy() override;

    QTreeView *tree() const { return m_tree; }
    // True when the table shown was computed from scores, weights or values
    // that have changed since; the window then says so above the table.
    bool isOutOfDate() const;
    int columnsMask() const { return ulColumnsMask; }  // for tests
    // The column menu at its current state; the caller owns it.
    QMenu *buildColumnMenu();
    // Columns 1 to 5 fitted to their contents.
    void resizeColumns();
    void fitNamesColumn();

public slots:
    void onChangedPersone(QString path, Inspection *pInspection);
    void onResizeContent(QResizeEvent *pEvt);
    void onLocalMenu(const QPoint &point);
    void action_Calc();
    void action_ExportExcel();
    void onShowMathColumnAction();
    void onShowBall3210123ColumnAction();
    void onShowBall101ColumnAction();
    void onShowBall012ColumnAction();
    void onShowMetrColumnAction();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createToolBar();
    QWidget *tableWithNote();
    void updateOutOfDateNote();
    // False when the examiner cancels an export of figures out of date.
    bool exportedFiguresAreCurrent();
    void toggleColumn(int column);
    void setTreeModel(QStandardItemModel *model);

    QTreeView *m_tree;
    QLabel *m_outOfDateNote = nullptr;
    Inspection *m_inspection = nullptr;
    QByteArray m_computedFrom;  // digest of the inputs of the table shown
    int ulColumnsMask;  // bit k - 1 shows result column k (1-5)
};
