#pragma once

#include <QJsonArray>
#include <QVector>

// A vector of numbers as a JSON array, for the reference scripts.
template<typename T>
QJsonArray toJsonArray(const QVector<T> &values)
{
    QJsonArray array;
    for (const T &value : values)
        array.append(value);
    return array;
}
