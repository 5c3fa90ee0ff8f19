// The folder trees of the question and test books, filled into item models.
#include "SpravDB.h"

#include "BinaryJson.h"
#include "FolderIcon.h"
#include "InspectionTest.h"
#include "QuestTypeColor.h"
#include "SharedConnection.h"
#include "SqliteLengthLimit.h"
#include "resources/VugResources.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QVariant>

namespace {

void appendItem(QStandardItemModel *model, QStandardItem *parent, QStandardItem *item)
{
    if (parent)
        parent->appendRow(item);
    else
        model->appendRow(item);
}

// One stored row: its id and the column the tree shows (a name, a question or a test).
struct StoredRow {
    int id;
    QVariant value;
};

// A whole table read at once, its rows grouped by folder in stored order: one
// statement per folder would scan the table once per folder.
QHash<int, QVector<StoredRow>> rowsByFolder(const QString &table, const char *column, int *count)
{
    QHash<int, QVector<StoredRow>> rows;
    QSqlQuery query(SharedConnection::database());
    query.setForwardOnly(true);
    query.exec(QStringLiteral("SELECT id, folder_id, %1 FROM %2").arg(QLatin1String(column), table));
    int read = 0;
    while (query.isActive() && query.next()) {
        rows[query.value(1).toInt()].append({query.value(0).toInt(), query.value(2)});
        ++read;
    }
    if (count)
        *count = read;
    return rows;
}

// A folder waiting to be filled: its item is null once it lies too deep to be shown.
struct PendingFolder {
    int id;
    QStandardItem *item;
    int depth;
};

}  // namespace

SpravDB::Result SpravDB::loadQuestTree(QStandardItemModel *model, int folderId, QStandardItem *parent)
{
    return loadTree(Tree::Quest, model, folderId, parent);
}

SpravDB::Result SpravDB::loadTestTree(QStandardItemModel *model, int folderId, QStandardItem *parent)
{
    return loadTree(Tree::Test, model, folderId, parent);
}

// Filled without recursion: a stored chain of folders may be any length.
SpravDB::Result SpravDB::loadTree(Tree tree, QStandardItemModel *model, int folderId, QStandardItem *parent)
{
    m_skippedFolders = 0;
    m_storedRows = 0;
    if (!isOpen())
        return Result::NotOpen;
    initVugResources();
    const bool quests = tree == Tree::Quest;
    const QString folderTable = table(quests ? "folder_quest" : "folder_test");
    const QString rowTable = table(quests ? "quest" : "test");
    const char *rowColumn = quests ? "quest_name" : "data";
    // No value read may be larger than all of them may be.
    const SqliteLengthLimit limit(MaxTreeBytes);
    if (!withinTreeBounds(folderTable, rowTable, rowColumn))
        return Result::TooLarge;
    int folderCount = 0;
    const auto folders = rowsByFolder(folderTable, "folder_name", &folderCount);
    const auto rows = rowsByFolder(rowTable, rowColumn, nullptr);
    QSet<int> reached{folderId};
    int shown = 0;
    QVector<PendingFolder> pending{{folderId, parent, 0}};
    while (!pending.isEmpty()) {
        const PendingFolder folder = pending.takeLast();
        const bool visible = folder.depth == 0 || folder.item;
        for (const StoredRow &child : folders.value(folder.id)) {
            // Stored parent ids may loop; a folder already reached is not shown again.
            if (reached.contains(child.id))
                continue;
            reached.insert(child.id);
            QStandardItem *item = nullptr;
            if (visible && folder.depth < MaxFolderDepth) {
                const QString name = child.value.toString();
                item = quests ? newQuestFolderItem(child.id, name) : newTestFolderItem(child.id, name);
                appendItem(model, folder.item, item);
                ++shown;
            }
            pending.append({child.id, item, folder.depth + 1});
        }
        for (const StoredRow &row : rows.value(folder.id)) {
            if (visible)
                appendItem(model, folder.item, newRowItem(tree, row.id, row.value));
        }
    }
    // From the top every folder should be reached; below a folder only its own.
    m_skippedFolders = (folderId == 0 ? folderCount : reached.size() - 1) - shown;
    model->sort(0, Qt::AscendingOrder);
    return Result::Done;
}

// The rows are counted first, from the tables' pages alone; their lengths
// are summed only for a count within the bound.
bool SpravDB::withinTreeBounds(const QString &folders, const QString &rows, const char *column)
{
    const qint64 folderCount = rowCount(folders);
    const qint64 rowsCount = rowCount(rows);
    if (folderCount < 0 || rowsCount < 0)
        return true;  // no such tables: nothing to fill
    m_storedRows = folderCount + rowsCount;
    if (m_storedRows > MaxTreeRows)
        return false;
    QSqlQuery query(SharedConnection::database());
    query.setForwardOnly(true);
    const QString lengths = QStringLiteral("SELECT (SELECT total(length(folder_name)) FROM %1) "
                                           "+ (SELECT total(length(%3)) FROM %2)");
    // A value past the length limit fails the sum.
    return query.exec(lengths.arg(folders, rows, QLatin1String(column))) && query.next()
           && query.value(0).toLongLong() <= MaxTreeBytes;
}

qint64 SpravDB::rowCount(const QString &table)
{
    QSqlQuery query(SharedConnection::database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT count(*) FROM %1").arg(table)) || !query.next())
        return -1;
    return query.value(0).toLongLong();
}

QStandardItem *SpravDB::newRowItem(Tree tree, int id, const QVariant &stored) const
{
    if (tree == Tree::Quest) {
        int kind = -1;
        QString text;
        splitQuestText(stored.toString(), kind, text);
        return newQuestItem(id, kind, text);
    }
    QJsonObject document;
    InspectionTest test;
    // A row that does not decode is still listed, so it can be renamed or deleted.
    if (BinaryJson::decode(stored.toByteArray(), document))
        test.fromJson(document);
    else
        test.name = tr("Повреждённая методика №%1").arg(id);
    return newTestItem(id, test);
}

QStandardItem *SpravDB::newQuestFolderItem(int id, const QString &name)
{
    auto *item = new QStandardItem(folderIcon(), name);
    item->setData(id, IdRole);
    return item;
}

QStandardItem *SpravDB::newTestFolderItem(int id, const QString &name)
{
    QStandardItem *item = newQuestFolderItem(id, name);
    item->setDragEnabled(false);
    item->setDropEnabled(true);
    return item;
}

QStandardItem *SpravDB::newQuestItem(int id, int kind, const QString &text)
{
    auto *item = new QStandardItem(text);
    item->setForeground(QBrush(questTypeColor(kind)));
    item->setData(id, IdRole);
    item->setData(kind, KindRole);
    return item;
}

QStandardItem *SpravDB::newTestItem(int id, const InspectionTest &test)
{
    auto *item = new QStandardItem(test.name);
    item->setForeground(QBrush(testColour(test)));
    item->setData(id, IdRole);
    item->setEditable(true);
    QString toolTip = test.formatText();
    toolTip.chop(toolTip.endsWith(QLatin1Char('\n')) ? 1 : 0);
    item->setToolTip(toolTip);
    item->setDragEnabled(true);
    item->setDropEnabled(false);
    return item;
}
