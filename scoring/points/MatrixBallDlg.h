#pragma once

#include "data/Inspection.h"

#include <QDialog>
#include <QPixmap>

class QMenu;
class QTableView;

// Every recorded reaction of one test at once: a row per presentation, a cell
// per question presented in it. It only reads the test.
class MatrixBallDlg : public QDialog
{
    Q_OBJECT
public:
    MatrixBallDlg(Inspection::_Test *test, QWidget *parent = nullptr);
    // Writes the dialog's settings.
    ~MatrixBallDlg() override;

    // The longest question interval of the test's marks, in ticks.
    static int maxQuestInterval(const Inspection::_Test &test);
    // The cell picture of a mark: the analysis interval after the question,
    // right-aligned, framed in the colour of the question's kind.
    QPixmap renderFragment(const InspectionLabel &mark) const;
    // Builds the grid anew.
    void fillGrid();
    // The context menu of the grid.
    QMenu *buildMenu();

    QTableView *table() const { return m_table; }
    int scale() const { return iScale; }
    int unfold() const { return iUnfold; }

public slots:
    void onImageListMenu(const QPoint &point);
    void setScale(int value);
    void setUnfold(int value);
    void onShowTextQuestAction();
    void onShowQuest();
    void onShowAsLabel();
    void onShowQuestC();
    void onShowQuestN();
    void onShowQuestP();

private:
    void readSettings();
    bool passesKind(const InspectionLabel &mark) const;
    void toggle(bool &flag);

    QTableView *m_table;
    Inspection::_Test *m_test;
    int iScale = 100;
    int iUnfold = 1000;
    bool bShowQuestText = false;
    bool bShowQuestC = true;
    bool bShowQuestP = true;
    bool bShowQuestN = true;
    bool bShowQuestBk = true;
    bool bShowAsLabel = true;
};
