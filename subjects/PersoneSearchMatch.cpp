#include "PersoneSearchMatch.h"

#include "data/Inspection.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

bool textFound(const QRegularExpression &pattern, const QString &fileName, const InspectionPerson &person,
               const QString &preTestText, const QVector<InspectionTest> &tests)
{
    const auto found = [&pattern](const QString &text) { return pattern.match(text).hasMatch(); };
    if (found(person.Comments) || found(QFileInfo(fileName).completeBaseName()) || found(preTestText))
        return true;
    for (const InspectionTest &test : tests) {
        for (const InspectionTheme &theme : test.themisNULL) {
            if (found(theme.Theme))
                return true;
        }
        for (const InspectionTheme &theme : test.themis) {
            if (found(theme.Theme))
                return true;
        }
        if (found(test.Comments))
            return true;
    }
    return false;
}

bool recordedWithin(const QVector<InspectionTest> &tests, const QDate &from, const QDate &to)
{
    for (const InspectionTest &test : tests) {
        const QDate day = test.DateTimeRecorded.date();
        if (test.recorded && day.isValid() && from <= day && day <= to)
            return true;
    }
    return false;
}

}  // namespace

bool personeMatches(const PersoneSearchDlg::_Conditions &conditions, const InspectionPerson &person,
                    const QString &fileName, const QString &preTestText, const QVector<InspectionTest> &tests)
{
    QVector<bool> answers;
    if (conditions.bUseSex)
        answers << ((person.Sex == 1 || person.Sex == 2) && person.Sex == conditions.iSex);
    if (conditions.bUseSearch && !conditions.sSearch.isEmpty()) {
        const QRegularExpression pattern(conditions.sSearch, QRegularExpression::CaseInsensitiveOption
                                             | QRegularExpression::DotMatchesEverythingOption
                                             | QRegularExpression::MultilineOption);
        answers << (pattern.isValid() && textFound(pattern, fileName, person, preTestText, tests));
    }
    if (conditions.bUseBirth) {
        const QDate birthday = person.Birthday;
        answers << (birthday.isValid() && conditions.dateBirthFrom <= birthday && birthday <= conditions.dateBirthTo);
    }
    if (conditions.bUseInspection)
        answers << recordedWithin(tests, conditions.dateInspectionFrom.date(), conditions.dateInspectionTo.date());
    if (conditions.bUseTags) {
        for (const QString &id : conditions.sTags.split(QLatin1Char('\t'), Qt::SkipEmptyParts))
            answers << person.Tags.contains(id);
    }
    if (answers.isEmpty())
        return false;
    return conditions.bAnd ? !answers.contains(false) : answers.contains(true);
}

bool isSearchFolderInside(const QString &folder, const QString &root)
{
    const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    if (canonicalFolder.isEmpty() || canonicalRoot.isEmpty())
        return false;
    return canonicalFolder == canonicalRoot || canonicalFolder.startsWith(canonicalRoot + QLatin1Char('/'));
}

QStringList subjectFilesBelow(const QString &folder)
{
    const QDir top(folder);
    QStringList files;
    QDirIterator found(folder, {QStringLiteral("*.qmz")}, QDir::Files, QDirIterator::Subdirectories);
    while (found.hasNext()) {
        const QString file = found.next();
        if (!top.relativeFilePath(file).startsWith(QLatin1Char('.'))
            && !top.relativeFilePath(file).contains(QLatin1String("/.")))
            files << file;
    }
    files.sort();
    return files;
}

SubjectCheck checkSubjectFile(const PersoneSearchDlg::_Conditions &conditions, const QString &file)
{
    Inspection inspection;
    InspectionPerson person;
    // One opening and one schema check per file.
    const StoreResult loaded = inspection.loadSubject(file, person);
    if (loaded != StoreResult::Ok)
        return SubjectCheck::Unreadable;
    return personeMatches(conditions, person, file, inspection.preTestText, inspection.tests) ? SubjectCheck::Match
                                                                                             : SubjectCheck::NoMatch;
}
