#pragma once

#include "PersoneSearchDlg.h"

#include <QStringList>
#include <QVector>

struct InspectionPerson;
struct InspectionTest;

// Whether a subject meets the search conditions. Each enabled condition gives
// one answer (the keys one per key), in the order sex, text, birth date,
// examination date, keys; AND needs every answer true, OR one. No enabled
// condition finds nothing. The text is looked for in the questionnaire's
// comments, the file name up to its first dot, the pre-test conversation, and
// the null questions, questions and comments of each test.
bool personeMatches(const PersoneSearchDlg::_Conditions &conditions, const InspectionPerson &person,
                    const QString &fileName, const QString &preTestText, const QVector<InspectionTest> &tests);

// Whether folder is root or lies below it, both taken as they are on disk.
bool isSearchFolderInside(const QString &folder, const QString &root);

// The subject files below folder, sorted by path; names beginning with "."
// below it are passed over, as the subject tree hides them.
QStringList subjectFilesBelow(const QString &folder);

enum class SubjectCheck { Match, NoMatch, Unreadable };
// Loads one subject file and tells whether it meets the conditions.
SubjectCheck checkSubjectFile(const PersoneSearchDlg::_Conditions &conditions, const QString &file);
