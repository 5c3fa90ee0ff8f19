#pragma once

#include "SubjectListDock.h"

class QStandardItemModel;

// Links to subject files chosen in the subject tree or in the search results
// ("Ярлыки выбранных обследуемых"), for switching quickly between subjects of
// different folders. The list lives as long as the program runs; only the
// synchronisation switch is kept in the settings.
class PersoneLinkDockWindow : public SubjectListDock
{
    Q_OBJECT
public:
    explicit PersoneLinkDockWindow(QWidget *parent = nullptr);

    // Leaves no link current, silently: the choice came from another dock.
    void clearSelection();
    QMenu *createContextMenu(const QPoint &pos) override;
    // Links to a renamed subject, or to subjects inside a renamed folder,
    // take the new path, so the check for vanished files keeps them.
    void followRename(const QString &oldPath, const QString &newPath);

signals:
    // Asks the editor whether the open examination has a recorded test.
    void notificationIsRecordedTest(bool *recorded);

public slots:
    void onSelectionChanged(const QModelIndex &current, const QModelIndex &previous);
    // A path adds a link or makes its link current; an empty path drops the
    // links whose files are gone.
    void onCreatePersoneLinkAndVerify(QString file);
    void onActionDeleteItem();
    void onActionDeleteAll();

private:
    int rowOf(const QString &path) const;
    // Announces the current link, or no subject when none is left.
    void announceCurrent();

    QStandardItemModel *m_model;
};
