#pragma once

#include "data/InspectionStore.h"
#include "data/SubjectBounds.h"

#include <QString>

class QMimeData;

// All tests of a subject through the system clipboard: binary JSON
// {"tests": [...]} under the subject format, and their plain-text listing.
// The subject, link and search docks copy through here.
namespace SubjectClipboard {

extern const QString subjectFormat;

// The clipboard data of the subject file's tests; null when the tests are too
// large for the format.
QMimeData *mimeOf(const QString &subjectPath);
// Puts the subject's tests on the clipboard; false when there was nothing to put.
bool copyTests(const QString &subjectPath);
// True when the clipboard holds data of the subject format.
bool hasTests();

// As many tests as a subject file may hold; a payload of more adds nothing.
constexpr int MaxPastedTests = InspectionStore::kMaxTests;

// TooMany: the subject with the pasted tests would be past what a load of it
// reads (SubjectBounds); excess tells which bound.
enum class PasteResult { Nothing, Malformed, TooMany, NotStored, Pasted };
// Adds every test of the payload to the subject file as new tests without
// recorded data, all of them or, when any element does not read, the subject
// could not hold them all or a write fails, none.
PasteResult pasteTests(const QMimeData *data, const QString &subjectPath, int *added = nullptr,
                       SubjectBounds::Excess *excess = nullptr);

}  // namespace SubjectClipboard
