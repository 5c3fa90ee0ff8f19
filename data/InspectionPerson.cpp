#include "InspectionPerson.h"

#include <limits>

namespace {

// The day is stored as a 32-bit julian day number. Anything else (no key, a
// null date's sentinel, a fraction) is no date rather than a day in 4714 BC.
QDate birthdayFrom(const QJsonValue &value)
{
    if (!value.isDouble())
        return QDate();
    const double day = value.toDouble();
    if (day < std::numeric_limits<qint32>::min() || day > std::numeric_limits<qint32>::max()
        || day != qint64(day))
        return QDate();
    return QDate::fromJulianDay(qint64(day));
}

}  // namespace

void InspectionPerson::toJson(QJsonObject &object) const
{
    object.insert(QStringLiteral("FirstName"), FirstName);
    object.insert(QStringLiteral("MiddleName"), MiddleName);
    object.insert(QStringLiteral("LastName"), LastName);
    object.insert(QStringLiteral("Sex"), Sex);
    object.insert(QStringLiteral("Birthday"), Birthday.toJulianDay());
    object.insert(QStringLiteral("Comments"), Comments);
    object.insert(QStringLiteral("Tags"), Tags);
    if (!TagPaths.isEmpty())
        object.insert(QStringLiteral("TagPaths"), TagPaths);
}

void InspectionPerson::fromJson(const QJsonObject &object)
{
    FirstName = object.value(QStringLiteral("FirstName")).toString();
    MiddleName = object.value(QStringLiteral("MiddleName")).toString();
    LastName = object.value(QStringLiteral("LastName")).toString();
    Sex = object.value(QStringLiteral("Sex")).toInt();
    Birthday = birthdayFrom(object.value(QStringLiteral("Birthday")));
    Comments = object.value(QStringLiteral("Comments")).toString();
    Tags = object.value(QStringLiteral("Tags")).toString();
    TagPaths = object.value(QStringLiteral("TagPaths")).toString();
}
