#pragma once

#include "BinaryJsonObject.h"

#include <QStringList>
#include <QVector>

// Arrays of whole numbers in their stored binary JSON form, written and read
// without a JSON value per number. Qt keeps a number in the array's table when
// it is whole, nonzero and below 2^26 in magnitude, every other one as a double.
namespace BinaryJsonNumbers {

// False when the array is too large for the format.
bool write(const QVector<qint16> &numbers, BinaryJsonObject::Value &value);
bool write(const QVector<qint32> &numbers, BinaryJsonObject::Value &value);

// An array of objects that each hold the same latin1 keys with whole numbers:
// `numbers` holds each object's numbers in the order of `keys`. Written as Qt
// writes it, without a JSON value per member: a test holds thousands of marks.
// False when the array is too large for the format.
bool writeRecords(const QStringList &keys, const QVector<qint32> &numbers, BinaryJsonObject::Value &value);
// The same for records that give their members through
// `Record::fields(record, visit(key, number))`.
template <typename Record>
bool writeRecords(const QVector<Record> &records, BinaryJsonObject::Value &value)
{
    QStringList keys;
    const Record none{};
    Record::fields(none, [&keys](const char *key, qint32) { keys.append(QLatin1String(key)); });
    QVector<qint32> numbers;
    numbers.reserve(records.size() * keys.size());
    for (const Record &record : records)
        Record::fields(record, [&numbers](const char *, qint32 number) { numbers.append(number); });
    return writeRecords(keys, numbers, value);
}

// Reads a number the way QJsonValue::toInt does (a fraction or one out of int
// range reads as 0), narrowed to the element type. False, and the numbers
// untouched, when the value is no array of numbers or reaches past its bytes.
bool read(const BinaryJsonObject::Value &value, QVector<qint16> &numbers);
bool read(const BinaryJsonObject::Value &value, QVector<qint32> &numbers);
// The same for a value that may be left in bytes read in pieces.
bool read(StoredBytes &bytes, const BinaryJsonObject::Value &value, QVector<qint16> &numbers);
bool read(StoredBytes &bytes, const BinaryJsonObject::Value &value, QVector<qint32> &numbers);

}  // namespace BinaryJsonNumbers
