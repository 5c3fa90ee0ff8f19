#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QVector>

// Records that write and read themselves as JSON objects (toJson/fromJson),
// as arrays of those objects.

template <typename Record>
QJsonArray recordsToArray(const QVector<Record> &records)
{
    QJsonArray array;
    for (const Record &record : records) {
        QJsonObject object;
        record.toJson(object);
        array.append(object);
    }
    return array;
}

// Empties the list and appends one default record per element.
template <typename Record>
void recordsFromArray(const QJsonValue &value, QVector<Record> &records)
{
    const QJsonArray array = value.toArray();
    records.clear();
    records.reserve(array.size());
    for (const QJsonValue &element : array) {
        Record record;
        record.fromJson(element.toObject());
        records.append(record);
    }
}
