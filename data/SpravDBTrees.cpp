// The folder trees of the question and test books, filled into item models.
#include "SpravDB.h"

#include "BinaryJson.h"
#include "InspectionTest.h"
#include "QuestTypeColor.h"
#include "SharedConnection.h"
#include "resources/VugResources.h"

#include <QSqlQuery>
#include <QSqlRecord>
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

// The rows of a table under one folder, in stored order.
struct Rows {
    explicit Rows(const QString &table, int folderId) : query(SharedConnection::database())
    {
        query.setForwardOnly(true);
        if (query.prepare(QStringLiteral("SELECT * FROM %1 WHERE folder_id=?").arg(table))) {
            query.bindValue(0, folderId);
            query.exec();
        }
    }
    bool next() { return query.isActive() && query.next(); }
    int id() const { return query.value(QStringLiteral("id")).toInt(); }
    QVariant value(const char *column) const { return query.value(QLatin1String(column)); }

    QSqlQuery query;
};

}  // namespace

int SpravDB::loadQuestTree(QStandardItemModel *model, int folderId, QStandardItem *parent)
{
    return loadTree(Tree::Quest, model, folderId, parent);
}

int SpravDB::loadTestTree(QStandardItemModel *model, int folderId, QStandardItem *parent)
{
    return loadTree(Tree::Test, model, folderId, parent);
}

int SpravDB::loadTree(Tree tree, QStandardItemModel *model, int folderId, QStandardItem *parent)
{
    if (!isOpen())
        return NotOpen;
    initVugResources();
    QSet<int> filled;
    fillTree(tree, model, folderId, parent, filled);
    model->sort(0, Qt::AscendingOrder);
    return Done;
}

void SpravDB::fillTree(Tree tree, QStandardItemModel *model, int folderId, QStandardItem *parent,
                       QSet<int> &filled)
{
    filled.insert(folderId);
    QVector<QPair<int, QStandardItem *>> folders;
    {
        Rows rows(table(tree == Tree::Quest ? "folder_quest" : "folder_test"), folderId);
        while (rows.next()) {
            const int id = rows.id();
            // Stored parent ids may loop; a folder already shown is not shown again.
            if (filled.contains(id))
                continue;
            filled.insert(id);
            const QString name = rows.value("folder_name").toString();
            QStandardItem *item = tree == Tree::Quest ? newQuestFolderItem(id, name) : newTestFolderItem(id, name);
            appendItem(model, parent, item);
            folders.append({id, item});
        }
    }
    // Recursing after the folder query is done keeps one statement open at a time.
    for (const auto &folder : folders)
        fillTree(tree, model, folder.first, folder.second, filled);
    if (tree == Tree::Quest)
        fillQuests(model, folderId, parent);
    else
        fillTests(model, folderId, parent);
}

void SpravDB::fillQuests(QStandardItemModel *model, int folderId, QStandardItem *parent)
{
    Rows rows(table("quest"), folderId);
    while (rows.next()) {
        int kind = -1;
        QString text;
        splitQuestText(rows.value("quest_name").toString(), kind, text);
        appendItem(model, parent, newQuestItem(rows.id(), kind, text));
    }
}

void SpravDB::fillTests(QStandardItemModel *model, int folderId, QStandardItem *parent)
{
    Rows rows(table("test"), folderId);
    while (rows.next()) {
        QJsonObject document;
        InspectionTest test;
        // A row that does not decode is still listed, so it can be renamed or deleted.
        if (BinaryJson::decode(rows.value("data").toByteArray(), document))
            test.fromJson(document);
        else
            test.name = tr("Повреждённая методика №%1").arg(rows.id());
        appendItem(model, parent, newTestItem(rows.id(), test));
    }
}

QStandardItem *SpravDB::newQuestFolderItem(int id, const QString &name)
{
    initVugResources();
    auto *item = new QStandardItem(QIcon(QStringLiteral(":/Pelmar/Images/folder")), name);
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
