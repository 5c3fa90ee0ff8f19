#include "BinaryJson.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

// Binary JSON addresses its contents with 27-bit offsets. Past that size Qt
// does not fail the whole document: it silently drops the value that did not
// fit and returns the rest. So the size is bounded before encoding.
constexpr qint64 kMaxSize = (qint64(1) << 27) - 1;
// Slack for the bound below, which is close to exact rather than strict.
constexpr qint64 kMargin = kMaxSize / 64;

qint64 storageBound(const QJsonValue &value);

qint64 stringBound(const QString &text)
{
    return (4 + 2 * qint64(text.size()) + 3) & ~qint64(3);
}

qint64 containerBound(const QJsonArray &array)
{
    qint64 size = 16;
    for (const QJsonValue &element : array)
        size += 4 + storageBound(element);
    return size;
}

qint64 containerBound(const QJsonObject &object)
{
    qint64 size = 16;
    for (auto it = object.begin(); it != object.end(); ++it)
        size += 8 + stringBound(it.key()) + storageBound(it.value());
    return size;
}

// Bytes a value needs beyond its 4-byte slot; small whole numbers live in the slot.
qint64 storageBound(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Double: {
        const double number = value.toDouble();
        return number == double(qint64(number)) && qAbs(number) < double(1 << 25) ? 0 : 8;
    }
    case QJsonValue::String:
        return stringBound(value.toString());
    case QJsonValue::Array:
        return containerBound(value.toArray());
    case QJsonValue::Object:
        return containerBound(value.toObject());
    default:
        return 0;
    }
}

}  // namespace

// Qt keeps binary JSON only as a deprecated compatibility format; the stored
// files are in it, so the warning is silenced here and nowhere else.
QT_WARNING_PUSH
QT_WARNING_DISABLE_DEPRECATED

namespace BinaryJson {

QByteArray encode(const QJsonObject &object)
{
    if (8 + containerBound(object) > kMaxSize - kMargin)
        return QByteArray();
    return QJsonDocument(object).toBinaryData();
}

bool decode(const QByteArray &bytes, QJsonObject &object)
{
    const QJsonDocument document = QJsonDocument::fromBinaryData(bytes, QJsonDocument::Validate);
    if (!document.isObject())
        return false;
    object = document.object();
    return true;
}

}  // namespace BinaryJson

QT_WARNING_POP
