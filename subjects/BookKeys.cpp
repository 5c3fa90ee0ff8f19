#include "BookKeys.h"

#include "TagTreeBounds.h"
#include "TagTreeText.h"

#include "data/Inspection.h"
#include "data/SpravDB.h"

namespace {

// The imported subject's keys that the book holds by path take the book's
// identifiers, so that one key does not stand twice in the book.
void joinSamePathKeys(const QString &subjectPath, InspectionPerson &person, const QString &text,
                      SubjectPackage::ImportResult &result)
{
    const QHash<QUuid, QUuid> joins = samePathKeys(person.Tags, person.TagPaths, text);
    if (joins.isEmpty())
        return;
    InspectionPerson joined = person;
    joined.Tags = joinedTagIds(person.Tags, joins);
    joined.TagPaths = joinedTagLines(person.TagPaths, joins);
    if (Inspection(subjectPath).savePerson(joined) != StoreResult::Ok)
        return;  // the keys join the book as they are
    const QHash<QUuid, QString> paths = tagPaths(person.TagPaths);
    for (auto join = joins.cbegin(); join != joins.cend(); ++join)
        result.joinedKeys << paths.value(join.key());
    result.joinedKeys.sort();
    person = joined;
}

}  // namespace

namespace BookKeys {

void addSubjectKeysToBook(const QString &subjectPath, SubjectPackage::ImportResult &result)
{
    InspectionPerson person;
    Inspection(subjectPath).loadPerson(person);
    if (tagIdSet(person.Tags).isEmpty())
        return;
    SpravDB sprav;
    QString text;
    if (sprav.readTags(text) != SpravDB::Result::Done)
        return;
    joinSamePathKeys(subjectPath, person, text, result);
    const QString lacking = lackingTagLines(person.Tags, person.TagPaths, text);
    if (lacking.isEmpty())
        return;
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    // Past the bounds of a key file no key is added: every form would build the tree.
    result.keysPastBounds = TagTreeBounds::problem(text + lacking);
    if (!result.keysPastBounds.isEmpty())
        return;
    if (sprav.writeTags(text + lacking) != SpravDB::Result::Done) {
        result.keysNotStored = true;
        return;
    }
    for (const QString &line : lacking.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        result.addedKeys << line.section(QLatin1Char('\t'), 2);
}

}  // namespace BookKeys
