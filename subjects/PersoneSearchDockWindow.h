#pragma once

#include "PersoneSearchDlg.h"
#include "SubjectListDock.h"

#include <QModelIndex>

class QAction;
class QStandardItemModel;
class QStatusBar;

// The found subjects ("Найденные обследуемые"): asks for the conditions, looks
// through the subject files below the data root and lists those that meet
// them, by their paths below the data root. Choosing one opens it in the editor.
class PersoneSearchDockWindow : public SubjectListDock
{
    Q_OBJECT
public:
    explicit PersoneSearchDockWindow(QWidget *parent = nullptr);

    QAction *searchAction() const { return m_search; }
    QAction *createLinkAction() const { return m_createLink; }
    // The conditions of the searches of this run, made at the first search.
    static PersoneSearchDlg::_Conditions *conditions();

signals:
    void notyfyCreatePersoneLinkAndVerifyFromSearch(QString file);

public slots:
    void onSelectionChanged(const QModelIndex &current, const QModelIndex &previous);
    void onCreatePersoneLinkAndVerify(QString file);
    void onSearch();
    void onCreateLink();

private:
    // Searches folder; results are named relative to root. Returns how many
    // subject files could not be read.
    int search(const QString &folder, const QString &root);
    void showResults(QStandardItemModel *results);

    QStandardItemModel *m_results;
    QStatusBar *m_status;
    QAction *m_search;
    QAction *m_createLink;
};
