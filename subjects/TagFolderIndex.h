#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class QStandardItem;
class QStandardItemModel;

// The children of each folder of a key tree by name, the first one of a name
// winning as a scan of the rows would find it, so that a text of many folders
// is read in linear time.
class TagFolderIndex
{
public:
    explicit TagFolderIndex(QStandardItemModel *model);

    // Finds or creates the folders of parts but the last and returns the one that receives the key.
    QStandardItem *buildTagFolderItems(const QStringList &parts);
    // Appends item to folder and indexes it.
    void append(QStandardItem *folder, QStandardItem *item);

private:
    // Folders of a few rows are scanned: a table each would cost more than
    // the folder, and most folders of a deep tree hold one row.
    static constexpr int ScannedRows = 8;
    QStandardItem *childNamed(QStandardItem *folder, const QString &name);
    QHash<QString, QStandardItem *> &children(QStandardItem *folder);

    QStandardItem *m_root;
    QHash<QStandardItem *, QHash<QString, QStandardItem *>> m_children;
};
