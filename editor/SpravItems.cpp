#include "SpravItems.h"

#include "data/SpravDB.h"

#include <QRegularExpression>
#include <QStandardItem>

namespace SpravItems {

int idOf(const QStandardItem *item)
{
    return item->data(SpravDB::IdRole).toInt();
}

bool isContainer(const QStandardItem *item)
{
    return item->data(Qt::DecorationRole).isValid();
}

bool isInternational(const QStandardItem *item)
{
    for (; item; item = item->parent())
        if (idOf(item) == InternationalRoot)
            return true;
    return false;
}

int folderIdOf(const QStandardItem *container)
{
    return qMax(idOf(container), 0);
}

QString editedText(const QString &text)
{
    static const QRegularExpression breaks(QStringLiteral("[\\n\\t\\r]"));
    return QString(text).remove(breaks);
}

QString singleLine(const QString &text)
{
    static const QRegularExpression breaks(QStringLiteral("\\r\\n|\\n|\\r"));
    return QString(text).replace(breaks, QStringLiteral(" "));
}

}  // namespace SpravItems
