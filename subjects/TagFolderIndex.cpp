#include "TagFolderIndex.h"

#include "TagTreeText.h"

#include <QStandardItemModel>

TagFolderIndex::TagFolderIndex(QStandardItemModel *model) : m_root(model->invisibleRootItem()) {}

QStandardItem *TagFolderIndex::buildTagFolderItems(const QStringList &parts)
{
    QStandardItem *folder = m_root;
    for (int part = 0; part + 1 < parts.size(); ++part) {
        QStandardItem *next = childNamed(folder, parts.at(part));
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
    const auto indexed = m_children.find(folder);
    if (indexed != m_children.end() && !indexed->contains(item->text()))
        indexed->insert(item->text(), item);
}

QStandardItem *TagFolderIndex::childNamed(QStandardItem *folder, const QString &name)
{
    const int rows = folder->rowCount();
    if (rows > ScannedRows)
        return children(folder).value(name);
    for (int row = 0; row < rows; ++row) {
        if (folder->child(row)->text() == name)
            return folder->child(row);
    }
    return nullptr;
}

QHash<QString, QStandardItem *> &TagFolderIndex::children(QStandardItem *folder)
{
    auto known = m_children.find(folder);
    if (known != m_children.end())
        return *known;
    QHash<QString, QStandardItem *> &named = m_children[folder];
    // Made from the rows when first needed; going backwards leaves the first of a name.
    for (int row = folder->rowCount() - 1; row >= 0; --row)
        named.insert(folder->child(row)->text(), folder->child(row));
    return named;
}
