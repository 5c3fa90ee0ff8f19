#include "BookKeys.h"

#include "TagTreeBounds.h"
#include "TagTreeText.h"

#include "data/Inspection.h"
#include "data/SpravDB.h"

namespace {

// The subject with the book's identifiers for the keys the book holds by
// path, so that one key does not stand twice in the book.
InspectionPerson joinedPerson(const InspectionPerson &person, const QHash<QUuid, QUuid> &joins)
{
    InspectionPerson joined = person;
    joined.Tags = joinedTagIds(person.Tags, joins);
    joined.TagPaths = joinedTagLines(person.TagPaths, joins);
    return joined;
}

// Adds to the book the subject's keys it lacks, those it holds by path joined
// to its own when join is set (into joins). The book is read, joined,
// checked against a key file's bounds and written in one write transaction:
// keys another writer stores meanwhile stay. A book that is not there or
// cannot be opened is left alone. False when nothing was stored.
bool storeLackingKeys(const InspectionPerson &person, bool join, QHash<QUuid, QUuid> &joins,
                      SubjectPackage::ImportResult &result)
{
    SpravDB sprav;
    if (!sprav.isOpen())
        return false;
    QString lacking;
    const SpravDB::Result stored = sprav.updateTags([&](const QString &text) {
        joins = join ? samePathKeys(person.Tags, person.TagPaths, text) : QHash<QUuid, QUuid>();
        const InspectionPerson joined = joinedPerson(person, joins);
        lacking = lackingTagLines(joined.Tags, joined.TagPaths, text);
        // Past the bounds of a key file no key is added: every form would build the tree.
        result.keysPastBounds = lacking.isEmpty() ? QString() : TagTreeBounds::problem(withLines(text, lacking));
        if (!result.keysPastBounds.isEmpty())
            lacking.clear();
        return withLines(text, lacking);
    });
    if (stored != SpravDB::Result::Done) {
        result.keysNotStored = true;
        return false;
    }
    for (const QString &line : lacking.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        result.addedKeys << line.section(QLatin1Char('\t'), 2);
    return true;
}

}  // namespace

namespace BookKeys {

void addSubjectKeysToBook(const QString &subjectPath, SubjectPackage::ImportResult &result)
{
    InspectionPerson person;
    Inspection(subjectPath).loadPerson(person);
    if (tagIdSet(person.Tags).isEmpty())
        return;
    QHash<QUuid, QUuid> joins;
    if (!storeLackingKeys(person, true, joins, result) || joins.isEmpty())
        return;
    // The subject file takes the joined keys once the book holds them: the
    // book and the subject share one connection, so not within its transaction.
    if (Inspection(subjectPath).savePerson(joinedPerson(person, joins)) != StoreResult::Ok) {
        // The keys join the book as they are.
        storeLackingKeys(person, false, joins, result);
        return;
    }
    const QHash<QUuid, QString> paths = tagPaths(person.TagPaths);
    for (auto join = joins.cbegin(); join != joins.cend(); ++join)
        result.joinedKeys << paths.value(join.key());
    result.joinedKeys.sort();
}

}  // namespace BookKeys
