#pragma once

#include "SubjectPackage.h"

// What an imported subject's keys do to the reference book's key tree.
namespace BookKeys {

// The subject's keys the book lacks join its key tree, at the paths the
// subject file keeps, so that a search can choose them; a key the tree holds
// at the same path under another identifier is rewritten in the subject file
// to the tree's identifier instead. A book that is not there or cannot be
// read is left alone. The result tells which keys were added or joined.
void addSubjectKeysToBook(const QString &subjectPath, SubjectPackage::ImportResult &result);

}  // namespace BookKeys
