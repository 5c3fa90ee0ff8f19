#include "TagTreeText.h"

#include "TagFolderIndex.h"
#include "data/FolderIcon.h"
#include "data/ViewModel.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QStandardItemModel>
#include <QTextCodec>
#include <QTextStream>
#include <QTreeView>

namespace {

const QChar Tab = QLatin1Char('\t');
const QChar Slash = QLatin1Char('/');

QString pathOf(const QModelIndex &index)
{
    QString path = index.data().toString();
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        path.prepend(up.data().toString() + Slash);
    return path;
}

// The identifier of a line's first field, null when the field is none.
QUuid lineId(const QStringList &fields)
{
    return fields.size() == 3 ? QUuid(fields.at(0)) : QUuid();
}

// A stored path the tree would show as it stands.
bool isShownPath(const QString &path)
{
    const QStringList parts = path.split(Slash);
    return parts.size() <= MaxTagDepth && !parts.contains(QString());
}

}  // namespace

void tagTreeToText(const QStandardItemModel *model, QTextStream &out, QString *checkedIds,
                   const QModelIndex &parent)
{
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        const QUuid id = index.data(TagIdRole).toUuid();
        if (!id.isNull()) {
            const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
            if (checked && checkedIds)
                *checkedIds += id.toString() + Tab;
            out << id.toString() << Tab << (checked ? '1' : '0') << Tab << pathOf(index) << '\n';
        }
        if (model->hasChildren(index))
            tagTreeToText(model, out, checkedIds, index);
    }
}

QString tagLine(const QUuid &id, bool checked, const QString &path)
{
    return id.toString() + Tab + QLatin1Char(checked ? '1' : '0') + Tab + path + QLatin1Char('\n');
}

QHash<QUuid, QString> tagPaths(const QString &text)
{
    QHash<QUuid, QString> paths;
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(Tab);
        const QUuid id = lineId(fields);
        if (!id.isNull() && !paths.contains(id))
            paths.insert(id, fields.at(2));
    }
    return paths;
}

QString lackingTagLines(const QString &subjectTags, const QString &keyLines, const QString &treeText)
{
    QSet<QUuid> lacking = tagIdSet(subjectTags) - tagTextIds(treeText);
    const QHash<QUuid, QString> stored = tagPaths(keyLines);
    const QString folder = QCoreApplication::translate("TagTreeText", "Ключи не из справочника");
    QString lines;
    for (const QString &part : subjectTags.split(Tab, Qt::SkipEmptyParts)) {
        const QUuid id(part);
        if (!lacking.remove(id))
            continue;
        const QString path = stored.value(id);
        lines += tagLine(id, false, isShownPath(path) ? path : folder + Slash + id.toString());
    }
    return lines;
}

QString addedTagLines(const QString &known, const QString &stored)
{
    const QSet<QUuid> knownIds = tagTextIds(known);
    QString lines;
    for (const QString &line : stored.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QUuid id = lineId(line.split(Tab));
        if (!id.isNull() && !knownIds.contains(id))
            lines += line + QLatin1Char('\n');
    }
    return lines;
}

QString withLines(const QString &text, const QString &lines)
{
    if (lines.isEmpty())
        return text;
    const bool ended = text.isEmpty() || text.endsWith(QLatin1Char('\n'));
    return ended ? text + lines : text + QLatin1Char('\n') + lines;
}

QHash<QUuid, QUuid> samePathKeys(const QString &subjectTags, const QString &keyLines, const QString &treeText)
{
    QHash<QString, QUuid> byPath;
    for (const QString &line : treeText.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(Tab);
        const QUuid id = lineId(fields);
        if (!id.isNull() && !byPath.contains(fields.at(2)))
            byPath.insert(fields.at(2), id);
    }
    const QHash<QUuid, QString> stored = tagPaths(keyLines);
    QHash<QUuid, QUuid> joins;
    for (const QUuid &id : tagIdSet(subjectTags) - tagTextIds(treeText)) {
        const QString path = stored.value(id);
        if (isShownPath(path) && byPath.contains(path))
            joins.insert(id, byPath.value(path));
    }
    return joins;
}

QString joinedTagIds(const QString &ids, const QHash<QUuid, QUuid> &joins)
{
    QSet<QUuid> kept;
    QString joined;
    for (const QString &part : ids.split(Tab, Qt::SkipEmptyParts)) {
        const QUuid id = joins.value(QUuid(part), QUuid(part));
        if (id.isNull() || kept.contains(id))
            continue;
        kept.insert(id);
        joined += id.toString() + Tab;
    }
    return joined;
}

QString joinedTagLines(const QString &keyLines, const QHash<QUuid, QUuid> &joins)
{
    QSet<QUuid> kept;
    QString joined;
    for (const QString &line : keyLines.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QStringList fields = line.split(Tab);
        const QUuid id = joins.value(lineId(fields), lineId(fields));
        if (id.isNull() || kept.contains(id))
            continue;
        kept.insert(id);
        fields[0] = id.toString();
        joined += fields.join(Tab) + QLatin1Char('\n');
    }
    return joined;
}

QString tagTreeText(const QStandardItemModel *model, QString *checkedIds)
{
    // Not a null string: the reference book stores no null text.
    QString text(QLatin1String(""));
    QTextStream out(&text);
    tagTreeToText(model, out, checkedIds);
    out.flush();
    return text;
}

int buildTagTree(QStandardItemModel *model, QTextStream &in, const QString &checkedIds)
{
    const QSet<QUuid> checked = tagIdSet(checkedIds);
    TagFolderIndex folders(model);
    int skipped = 0;
    QString line;
    while (in.readLineInto(&line)) {
        if (line.isEmpty())
            continue;
        const QStringList fields = line.split(Tab);
        const QUuid id = lineId(fields);
        const QStringList parts = id.isNull() ? QStringList() : fields.at(2).split(Slash);
        if (parts.isEmpty() || parts.size() > MaxTagDepth) {
            ++skipped;
            continue;
        }
        folders.append(folders.buildTagFolderItems(parts), newTagItem(parts.last(), id, checked.contains(id)));
    }
    return skipped;
}

QStandardItem *newTagFolderItem(const QString &name)
{
    return new QStandardItem(folderIcon(), name);
}

QStandardItem *newTagItem(const QString &name, const QUuid &id, bool checked)
{
    auto *item = new QStandardItem(name);
    item->setCheckable(true);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    item->setData(id, TagIdRole);
    return item;
}

bool isTagFolder(const QModelIndex &index)
{
    return index.isValid() && index.data(Qt::DecorationRole).isValid();
}

QStandardItemModel *checkedTagModel(const QString &treeText, TagLabel label)
{
    auto *model = new QStandardItemModel;
    for (const QString &line : treeText.split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(Tab);
        if (lineId(fields).isNull() || fields.at(1) != QLatin1String("1"))
            continue;
        const QString name = label == TagLabel::Path ? fields.at(2) : fields.at(2).split(Slash).last();
        QStandardItem *item = newTagItem(name, lineId(fields), true);
        item->setEditable(false);
        model->appendRow(item);
    }
    return model;
}

QString checkedTagIds(const QStandardItemModel *list)
{
    QString ids;
    for (int row = 0; row < list->rowCount(); ++row) {
        const QStandardItem *item = list->item(row);
        if (item->checkState() == Qt::Checked)
            ids += item->data(TagIdRole).toUuid().toString() + Tab;
    }
    return ids;
}

void replaceTagModel(QTreeView *view, QStandardItemModel *model)
{
    model->setParent(view);
    replaceViewModel(view, model);
}

QSet<QUuid> tagIdSet(const QString &ids)
{
    QSet<QUuid> set;
    for (const QString &part : ids.split(Tab, Qt::SkipEmptyParts)) {
        const QUuid id(part);
        if (!id.isNull())
            set.insert(id);
    }
    return set;
}

QSet<QUuid> tagTextIds(const QString &text)
{
    QSet<QUuid> ids;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QUuid id = lineId(line.split(Tab));
        if (!id.isNull())
            ids.insert(id);
    }
    return ids;
}

QString mergeSubjectTags(const QString &checkedIds, const QString &oldIds, const QString &treeText)
{
    const QSet<QUuid> inTree = tagTextIds(treeText);
    QSet<QUuid> kept = tagIdSet(checkedIds);
    QString merged = checkedIds;
    for (const QString &part : oldIds.split(Tab, Qt::SkipEmptyParts)) {
        const QUuid id(part);
        if (id.isNull() || inTree.contains(id) || kept.contains(id))
            continue;
        kept.insert(id);
        merged += id.toString() + Tab;
    }
    return merged;
}

QByteArray tagFileBytes(const QString &text)
{
    return text.toUtf8();
}

QString tagFileText(const QByteArray &bytes, int *badLines)
{
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    QTextCodec *utf8 = QTextCodec::codecForName("UTF-8");
    QStringList lines;
    int bad = 0;
    for (QByteArray line : data.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
        const QString decoded = utf8->toUnicode(line.constData(), line.size(), &state);
        // A zero byte is no text: the line goes, the keys after it stay.
        if (state.invalidChars > 0 || line.contains('\0'))
            ++bad;
        else
            lines << decoded;
    }
    if (badLines)
        *badLines = bad;
    return lines.join(QLatin1Char('\n'));
}
