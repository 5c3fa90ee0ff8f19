#pragma once

#include "data/Inspection.h"

#include <QDialog>

class InspectionTreeView;

// Reorders, mid-recording, the questions of a test not yet presented, edits
// their texts and appends presentations, all on a copy of the test held in an
// examination of its own that has no subject file. The opener takes the copy
// back when the dialog is accepted.
class ChangeQuestsDlg : public QDialog
{
    Q_OBJECT
public:
    // group and theme: the test's latest mark, -1 and -1 when it has none.
    ChangeQuestsDlg(QWidget *parent, const Inspection::_Test *test, int group, int theme);
    ~ChangeQuestsDlg() override;

    // Test 0 of the dialog's own examination: the edited copy.
    Inspection::_Test *editedTest() { return &m_inspection.tests[0]; }
    InspectionTreeView *tree() const { return m_tree; }
    // Row of the latest mark's question in its presentation's column; -1 = none.
    int currentRow() const { return m_currentRow; }

public slots:
    void accept() override;
    void F2();
    void onTimer_SetSelectedFirst();
    void onAction_AddGroup();
    void onAction_Edit();

private:
    void fillTree();
    // Greys and freezes what has been presented: the test's own item, every
    // earlier presentation and the current one up to its latest question.
    void applyLocks();

    Inspection m_inspection;
    InspectionTreeView *m_tree;
    const int m_currentGroup;
    const int m_currentTheme;
    int m_currentRow = -1;
};
