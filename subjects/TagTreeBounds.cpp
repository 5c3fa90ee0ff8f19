#include "TagTreeBounds.h"

#include "TagTreeText.h"

#include <QCoreApplication>
#include <QSet>
#include <QStandardItemModel>
#include <QUuid>
#include <QVector>

namespace TagTreeBounds {

namespace {

// Folders by their paths, hashed along the path: the paths themselves could
// cost a multiple of the text.
quint64 folderKey(quint64 parent, const QStringRef &name)
{
    return (parent ^ qHash(name)) * 1099511628211ULL + quint64(qHash(name, 0x9e3779b9));
}

// Keys and folders the text's lines would build, buildTagTree's way; stops
// past MaxItems.
int itemCount(const QString &text)
{
    QSet<quint64> folders;
    int items = 0;
    for (const QStringRef &line : text.splitRef(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QVector<QStringRef> fields = line.split(QLatin1Char('\t'));
        if (fields.size() != 3 || QUuid::fromString(QStringView(fields.at(0).constData(), fields.at(0).size())).isNull())
            continue;
        const QVector<QStringRef> parts = fields.at(2).split(QLatin1Char('/'));
        if (parts.size() > MaxTagDepth)
            continue;
        quint64 key = 14695981039346656037ULL;
        for (int i = 0; i + 1 < parts.size(); ++i) {
            key = folderKey(key, parts.at(i));
            if (!folders.contains(key)) {
                folders.insert(key);
                ++items;
            }
        }
        if (++items > MaxItems)
            break;
    }
    return items;
}

}  // namespace

QString problem(const QString &text)
{
    // Encoded to be measured only when it could be past the size: a UTF-16 unit is at most 3 bytes in UTF-8.
    const bool tooLarge = qint64(text.size()) * 3 > MaxTagFileBytes && tagFileBytes(text).size() > MaxTagFileBytes;
    if (!tooLarge && itemCount(text) <= MaxItems)
        return QString();
    return QCoreApplication::translate("TagTreeBounds",
                                       "Справочник ключей больше, чем может быть файл ключей (%1 МБ, %2 ключей и "
                                       "папок вместе)")
        .arg(MaxTagFileBytes >> 20)
        .arg(MaxItems);
}

QStandardItemModel *problemModel(const QString &problem)
{
    auto *model = new QStandardItemModel;
    auto *line = new QStandardItem(problem + QCoreApplication::translate("TagTreeBounds", ": дерево не показано."));
    line->setFlags(Qt::ItemIsEnabled);
    model->appendRow(line);
    return model;
}

}  // namespace TagTreeBounds
