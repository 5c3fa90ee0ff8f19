#pragma once

#include <QDockWidget>
#include <QModelIndex>

class QAction;
class QFileSystemModel;
class QTreeView;
class _PersoneDock_Proxy;

// The subject store ("Обследуемые"): the folders and ".qmz" subject files under
// the data root. The selected entry is announced to the examination editor.
class PersoneDockWindow : public QDockWidget
{
    Q_OBJECT
public:
    explicit PersoneDockWindow(QWidget *parent = nullptr);

    // Builds the tree over the data root and announces the root; called once,
    // after the signals are wired.
    void initModel();
    // Leaves no entry current, silently: the choice came from another dock.
    void clearSelection();
    QTreeView *treeView() const { return m_tree; }
    QAction *addUserAction() const { return m_addUser; }

signals:
    void notificationChangedPerosneSignal(QString fileOld, QString fileNew, QObject *pSender);
    void notyfyCreatePersoneLinkAndVerify(QString file);

public slots:
    void onSelectedItem(const QModelIndex &current, const QModelIndex &previous);
    void onChangedPerosneSignal_ForSync(QString file);
    void action_AddUser();
    void onUpdate_ItemVisible_File();

private:
    QString pathOf(const QModelIndex &index) const;
    QModelIndex indexOfPath(const QString &path) const;
    // The current entry, else the first selected one.
    QModelIndex actedIndex() const;
    bool isFolder(const QModelIndex &index) const;
    void updateActions(const QModelIndex &fallback = QModelIndex());
    // Makes the entry of path current and scrolls to it.
    void showPath(const QString &path);

    QTreeView *m_tree;
    QAction *m_addUser;
    QFileSystemModel *m_files = nullptr;
    _PersoneDock_Proxy *m_proxy = nullptr;
    QString m_createdFile;
};
