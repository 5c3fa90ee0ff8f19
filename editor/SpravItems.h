#pragma once

#include <QString>

class QStandardItem;

// What the reference-book trees tell by their items: containers (a set's root
// or a folder) carry a decoration, the international root has id -2, and a
// stored folder id of 0 means directly under the set's root.
namespace SpravItems {

enum RootId { RussianRoot = -1, InternationalRoot = -2 };

int idOf(const QStandardItem *item);
bool isContainer(const QStandardItem *item);
// True when the item or one of its ancestors is the international root.
bool isInternational(const QStandardItem *item);
// The folder id under which rows dropped or pasted onto a container are stored.
int folderIdOf(const QStandardItem *container);

// A text typed in place: line feeds, tabs and carriage returns removed.
QString editedText(const QString &text);
// A pasted or dropped text on one line: every line break becomes a blank, so
// the question can still travel in the two-line question formats.
QString singleLine(const QString &text);

}  // namespace SpravItems
