#pragma once

#include "BinaryJsonObject.h"

#include <QVector>

// Arrays of whole numbers in their stored binary JSON form, written and read
// without a JSON value per number. Qt keeps a number in the array's table when
// it is whole, nonzero and below 2^26 in magnitude, every other one as a double.
namespace BinaryJsonNumbers {

// False when the array is too large for the format.
bool write(const QVector<qint16> &numbers, BinaryJsonObject::Value &value);
bool write(const QVector<qint32> &numbers, BinaryJsonObject::Value &value);

// Reads a number the way QJsonValue::toInt does (a fraction or one out of int
// range reads as 0), narrowed to the element type. False, and the numbers
// untouched, when the value is no array of numbers or reaches past its bytes.
bool read(const BinaryJsonObject::Value &value, QVector<qint16> &numbers);
bool read(const BinaryJsonObject::Value &value, QVector<qint32> &numbers);
// The same for a value that may be left in bytes read in pieces.
bool read(StoredBytes &bytes, const BinaryJsonObject::Value &value, QVector<qint16> &numbers);
bool read(StoredBytes &bytes, const BinaryJsonObject::Value &value, QVector<qint32> &numbers);

}  // namespace BinaryJsonNumbers
