#pragma once

#include <QDockWidget>
#include <QModelIndex>

#include "PreTestTextCache.h"
#include "SubjectPackage.h"
#include "_PersoneDock_TreeView.h"

class QAction;
class QFileSystemModel;
class QMenu;
class QShortcut;

// The subject store ("Обследуемые"): the folders and ".qmz" subject files under
// the data root. The selected entry is announced to the examination editor.
class PersoneDockWindow : public QDockWidget
{
    Q_OBJECT
public:
    class _Proxy;
    class _FolderStyledItemDelegate;
    class _QStyle;

    explicit PersoneDockWindow(QWidget *parent = nullptr);
    ~PersoneDockWindow() override;

    // Builds the tree over the data root and announces the root; called once,
    // after the signals are wired.
    void initModel();
    // Leaves no entry current, silently: the choice came from another dock.
    void clearSelection();
    // Makes the entry of path current and the only one selected, silently:
    // the editor kept that subject open instead of the one chosen.
    void chooseQuietly(const QString &path);

    _PersoneDock_TreeView *treeView() const { return m_tree; }
    QAction *createFolderAction() const { return m_createFolder; }  // for tests
    QAction *addUserAction() const { return m_addUser; }  // for tests
    QAction *userPropertyAction() const { return m_userProperty; }  // for tests
    QAction *createLinkAction() const { return m_createLink; }
    QFileSystemModel *fileModel() const { return m_files; }
    // The pre-test texts shown as tool tips, read once per file version.
    PreTestTextCache &preTestTexts() { return m_preTestTexts; }  // for tests

    // The context menu for the entry at a point of the tree's viewport, with
    // its actions parented to the dock; empty where no entry lies.
    QMenu *createContextMenu(const QPoint &pos);

    // Renames the entry to the typed text, as the in-place editor commits it:
    // refused names are told in a message and change nothing.
    void renameEntry(const QModelIndex &index, const QString &text);

signals:
    // The entry chosen, or a rename (fileOld to fileNew); an empty fileNew
    // after a path ends the choice of the entry another program took away.
    void notificationChangedPerosneSignal(QString fileOld, QString fileNew, QObject *pSender);
    void notyfyCreatePersoneLinkAndVerify(QString file);

public slots:
    void onSelectedItem(const QModelIndex &current, const QModelIndex &previous);
    void onCustomContextMenu(const QPoint &pos);
    void onChangedPerosneSignal_ForSync(QString file);
    void onActionCreateLink();
    void action_CreateFolder();
    void action_EditFolder();
    void action_DeleteFolder();
    void action_RunExplorer();
    void action_ExpandFolder();
    void action_CollapseFolder();
    void onActionInspectionCopy();
    void onActionInspectionPaste();
    void action_AddUser();
    void action_EditUser();
    void action_DeleteUser();
    void onActionImport();
    void onActionExport();
    void onAction_UserProperty();
    void onRowsAboutToBeRemoved(const QModelIndex &parent, int first, int last);
    void onFileRenamed(const QString &path, const QString &oldName, const QString &newName);
    void onDirectoryLoaded(const QString &path);
    void onUpdate_ItemVisible_Folder();
    void onUpdate_ItemVisible_File();

private:
    void createToolBar();
    void createShortcuts();
    QString pathOf(const QModelIndex &index) const;
    QModelIndex indexOfPath(const QString &path) const;
    // The current entry, else the first selected one.
    QModelIndex actedIndex() const;
    QModelIndex firstSelected() const;
    bool isFolder(const QModelIndex &index) const;
    bool isSubject(const QModelIndex &index) const;
    bool isDataRoot(const QModelIndex &index) const;
    void updateActions(const QModelIndex &fallback = QModelIndex());
    // Makes the entry of path current and scrolls to it.
    void showPath(const QString &path);
    // No subject stays chosen, and links to vanished files go.
    void announceRemoval();
    void addFolderEntries(QMenu *menu, const QModelIndex &index);
    void addSubjectEntries(QMenu *menu);
    // A yes/no question in the middle of an operation that shows the wait cursor.
    bool askDuringWait(const QString &question);

    _PersoneDock_TreeView *m_tree;
    QAction *m_createFolder;
    QAction *m_addUser;
    QAction *m_userProperty;
    QAction *m_createLink;
    QFileSystemModel *m_files = nullptr;
    _Proxy *m_proxy = nullptr;
    QString m_rootPath;
    QPersistentModelIndex m_rootIndex;
    // Paths the delayed slots make visible: the folder and the subject file
    // most recently created or renamed.
    QString m_shownFolder;
    QString m_shownFile;
    PreTestTextCache m_preTestTexts;
};
