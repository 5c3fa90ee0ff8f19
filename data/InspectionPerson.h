#pragma once

#include <QDate>
#include <QJsonObject>
#include <QString>

// The subject's questionnaire.
struct InspectionPerson {
    QString FirstName;
    QString MiddleName;
    QString LastName;
    QDate Birthday;
    QString Comments;
    QString Tags;
    // The lines of the key tree text for the keys in Tags, so that the keys
    // keep their names on a computer whose key tree lacks them. Stored only
    // when not empty.
    QString TagPaths;
    qint32 Sex = 0;  // 0 not given, 1 male, 2 female

    void toJson(QJsonObject &object) const;
    // Sets every field; a missing or unusable "Birthday" gives a null date.
    void fromJson(const QJsonObject &object);
};
