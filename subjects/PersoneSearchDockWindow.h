#pragma once

#include "PersoneSearchDlg.h"

#include <QDockWidget>
#include <QModelIndex>

class QAction;
class QListView;
class QMenu;
class QStandardItemModel;
class QStatusBar;

// The found subjects ("Найденные обследуемые"): asks for the conditions, looks
// through the subject files below the data root and lists those that meet
// them, by their paths below the data root. Choosing one opens it in the editor.
class PersoneSearchDockWindow : public QDockWidget
{
    Q_OBJECT
public:
    explicit PersoneSearchDockWindow(QWidget *parent = nullptr);
    ~PersoneSearchDockWindow() override;

    QListView *listView() const { return m_list; }
    QAction *searchAction() const { return m_search; }
    QAction *createLinkAction() const { return m_createLink; }
    bool isSyncEnabled() const { return bEnabledSync; }
    // The context menu for a point of the list's viewport.
    QMenu *newContextMenu(const QPoint &point);
    // The conditions of the searches of this run, made at the first search.
    static PersoneSearchDlg::_Conditions *conditions();

signals:
    void notificationChangedPerosneSignal(QString fileOld, QString fileNew, QObject *pSender);
    void notificationChangedPerosneSignal_ForSync(QString file);
    void notyfyCreatePersoneLinkAndVerifyFromSearch(QString file);

public slots:
    void onCustomContextMenu(const QPoint &point);
    void onSelectionChanged(const QModelIndex &current, const QModelIndex &previous);
    void onCreatePersoneLinkAndVerify(QString file);
    void onActionInspectionCopy();
    void onActionRunExplorer();
    void onActionMakeSync();
    void onSearch();
    void onCreateLink();

private:
    QString currentFile() const;
    // Searches folder; results are named relative to root. Returns how many
    // subject files could not be read.
    int search(const QString &folder, const QString &root);
    void showResults(QStandardItemModel *results);

    QListView *m_list;
    QStandardItemModel *m_results;
    QStatusBar *m_status;
    QAction *m_search;
    QAction *m_createLink;
    bool bEnabledSync = false;
};
