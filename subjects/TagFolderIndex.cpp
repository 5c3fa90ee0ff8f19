#include "TagFolderIndex.h"

#include "TagTreeText.h"

#include <QStandardItemModel>

TagFolderIndex::TagFolderIndex(QStandardItemModel *model) : m_root(model->invisibleRootItem()) {}

QStandardItem *TagFolderIndex::folderFor(const QStringList &parts)
{
    QStandardItem *folder = m_root;
    for (int part = 0; part + 1 < parts.size(); ++part) {
        QStandardItem *next = children(folder).value(parts.at(part));
        if (!next) {
            next = newTagFolderItem(parts.at(part));
            append(folder, next);
        }
        folder = next;
    }
    return folder;
}

void TagFolderIndex::append(QStandardItem *folder, QStandardItem *item)
{
    folder->appendRow(item);
    QHash<QString, QStandardItem *> &named = children(folder);
    if (!named.contains(item->text()))
        named.insert(item->text(), item);
}

QHash<QString, QStandardItem *> &TagFolderIndex::children(QStandardItem *folder)
{
    auto known = m_children.find(folder);
    if (known != m_children.end())
        return *known;
    QHash<QString, QStandardItem *> &named = m_children[folder];
    // Rows the model held before; going backwards leaves the first of a name.
    for (int row = folder->rowCount() - 1; row >= 0; --row)
        named.insert(folder->child(row)->text(), folder->child(row));
    return named;
}
