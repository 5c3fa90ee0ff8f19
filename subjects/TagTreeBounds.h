#pragma once

#include <QString>

class QStandardItemModel;

// What a key tree may grow to. Its cost is in the items it builds: a key 64
// folders deep in folders of its own makes 64 items, and the view, the text
// and the search build each again.
namespace TagTreeBounds {

// Keys and folders together; a key file within its size holds far fewer.
constexpr int MaxItems = 1 << 17;

// Why a tree text is past what a key file may hold (MaxTagFileBytes in UTF-8,
// MaxItems keys and folders); empty when it is within. Counting stops at the
// bound, so a text of any size costs no more than one within it.
QString problem(const QString &text);
// Shown in place of a tree past the bounds: one line that says why, no key.
QStandardItemModel *problemModel(const QString &problem);

}  // namespace TagTreeBounds
