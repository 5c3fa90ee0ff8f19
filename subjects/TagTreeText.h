#pragma once

#include <QHash>
#include <QModelIndex>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUuid>

class QByteArray;
class QStandardItem;
class QStandardItemModel;
class QTextStream;
class QTreeView;

// The search-key tree as text: one line per key, "{id}" TAB "1"/"0" (checked)
// TAB the path of folder names and the key's name joined with "/". Folders
// have no line of their own; they come back through their keys' paths. The
// same text is kept in the reference book and in ".kqmz" key files.

// Role of a key item's identifier (a QUuid).
constexpr int TagIdRole = Qt::UserRole + 1;

// Writes the lines of every key below parent, depth first. When checkedIds is
// given, each checked key's braced identifier and a TAB are appended to it.
void tagTreeToText(const QStandardItemModel *model, QTextStream &out, QString *checkedIds = nullptr,
                   const QModelIndex &parent = QModelIndex());
// The whole tree's text.
QString tagTreeText(const QStandardItemModel *model, QString *checkedIds = nullptr);

// Deeper paths are not read: the tree, its text and its view recurse per level.
constexpr int MaxTagDepth = 64;
// A key file past this size is refused unread.
constexpr qint64 MaxTagFileBytes = 4 * 1024 * 1024;

// Adds the keys of the text to the model; a key is checked when its identifier
// is among checkedIds. Blank lines are passed over; lines without three fields,
// without an identifier or deeper than MaxTagDepth are skipped. Returns how
// many lines were skipped.
int buildTagTree(QStandardItemModel *model, QTextStream &in, const QString &checkedIds = QString());

QStandardItem *newTagFolderItem(const QString &name);
QStandardItem *newTagItem(const QString &name, const QUuid &id, bool checked = false);
bool isTagFolder(const QModelIndex &index);

// The list of the ticked keys of a tree text, one checkable item per key,
// named by its whole path or by its own name.
enum class TagLabel { Path, Name };
QStandardItemModel *checkedTagModel(const QString &treeText, TagLabel label);
// The identifiers of such a list's items that are still ticked.
QString checkedTagIds(const QStandardItemModel *list);

// Shows model in view, which owns it from now on; the model shown before and
// its selection are freed.
void replaceTagModel(QTreeView *view, QStandardItemModel *model);

// The identifiers of a subject's key list ("{id}" TAB "{id}" TAB ...).
QSet<QUuid> tagIdSet(const QString &ids);
// The identifiers of the keys a tree text holds.
QSet<QUuid> tagTextIds(const QString &text);

// One line of a tree text.
QString tagLine(const QUuid &id, bool checked, const QString &path);
// The paths of a tree text's keys by identifier; the first line of a key wins.
QHash<QUuid, QString> tagPaths(const QString &text);
// Unticked lines for the keys of a subject's list that treeText lacks, each
// once: at the path keyLines (the subject file's lines) give it, or, without
// a path fit to show, under "Ключи не из справочника" by its identifier.
QString lackingTagLines(const QString &subjectTags, const QString &keyLines, const QString &treeText);
// The lines of stored's keys that known lacks, as stored has them.
QString addedTagLines(const QString &known, const QString &stored);
// A tree text with lines appended, on a line of their own.
QString withLines(const QString &text, const QString &lines);

// The subject's keys that treeText lacks by identifier but holds by path (the
// same folders and name, at the path keyLines give): each mapped to the first
// key of treeText at that path. Books made apart give one key two identifiers.
QHash<QUuid, QUuid> samePathKeys(const QString &subjectTags, const QString &keyLines, const QString &treeText);
// A subject's key list, and its key lines, with the identifiers joins maps
// replaced; each key kept once, where it first stood.
QString joinedTagIds(const QString &ids, const QHash<QUuid, QUuid> &joins);
QString joinedTagLines(const QString &keyLines, const QHash<QUuid, QUuid> &joins);

// A subject's new key list: the keys checked in the tree, followed by the
// identifiers of its old list that the tree does not hold (keys from another
// key set, or deleted ones).
QString mergeSubjectTags(const QString &checkedIds, const QString &oldIds, const QString &treeText);

// A key file's contents: UTF-8 without byte-order mark, lines ending in "\n".
QByteArray tagFileBytes(const QString &text);
// Reads a key file's bytes whatever the locale: a leading byte-order mark
// skipped, CR LF read as LF. Lines that are not valid UTF-8 or hold a zero
// byte are left out and counted in badLines.
QString tagFileText(const QByteArray &bytes, int *badLines = nullptr);
