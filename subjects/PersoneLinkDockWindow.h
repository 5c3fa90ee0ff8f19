#pragma once

#include <QDockWidget>

class QListView;
class QMenu;
class QStandardItemModel;

// Links to subject files chosen in the subject tree or in the search results
// ("Ярлыки выбранных обследуемых"), for switching quickly between subjects of
// different folders. The list lives as long as the program runs; only the
// synchronisation switch is kept in the settings.
class PersoneLinkDockWindow : public QDockWidget
{
    Q_OBJECT
public:
    explicit PersoneLinkDockWindow(QWidget *parent = nullptr);
    // Keeps the synchronisation switch.
    ~PersoneLinkDockWindow() override;

    // Leaves no link current, silently: the choice came from another dock.
    void clearSelection();
    QListView *listView() const { return m_list; }
    bool isSyncEnabled() const { return bEnabledSync; }
    // The context menu for a point of the list's viewport, its actions parented to it.
    QMenu *createContextMenu(const QPoint &pos);
    // Links to a renamed subject, or to subjects inside a renamed folder,
    // take the new path, so the check for vanished files keeps them.
    void followRename(const QString &oldPath, const QString &newPath);

signals:
    void notificationChangedPerosneSignal(QString fileOld, QString fileNew, QObject *pSender);
    void notificationChangedPerosneSignal_ForSync(QString file);
    // Asks the editor whether the open examination has a recorded test.
    void notificationIsRecordedTest(bool *recorded);

public slots:
    void onCustomContextMenu(const QPoint &pos);
    void onSelectionChanged(const QModelIndex &current, const QModelIndex &previous);
    // A path adds a link or makes its link current; an empty path drops the
    // links whose files are gone.
    void onCreatePersoneLinkAndVerify(QString file);
    void onActionInspectionCopy();
    void onActionRunExplorer();
    void onActionMakeSync();
    void onActionDeleteItem();
    void onActionDeleteAll();

private:
    QString currentPath() const;
    int rowOf(const QString &path) const;
    // Announces the current link, or no subject when none is left.
    void announceCurrent();

    QListView *m_list;
    QStandardItemModel *m_model;
    bool bEnabledSync = false;
};
