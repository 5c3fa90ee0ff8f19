#include "BinaryJson.h"

#include "BinaryJsonBounds.h"

#include <QCborArray>
#include <QCborMap>
#include <QCborValue>
#include <QJsonDocument>

namespace {

// Binary JSON addresses its contents with 27-bit offsets. Past that size Qt
// does not fail the whole document: it silently drops the value that did not
// fit and returns the rest. So the size is bounded before encoding.
constexpr qint64 kMaxSize = (qint64(1) << 27) - 1;
// Slack for the bound below, which is close to exact rather than strict.
constexpr qint64 kMargin = kMaxSize / 64;

qint64 stringBound(qint64 length)
{
    return (4 + 2 * length + 3) & ~qint64(3);
}

// Bytes a value needs beyond its 4-byte slot; small whole numbers live in the
// slot. Walked over the CBOR form, which shares the JSON value's storage and
// is quicker to step through.
qint64 storageBound(const QCborValue &value)
{
    switch (value.type()) {
    case QCborValue::Integer:
        return qAbs(value.toInteger()) < (1 << 25) ? 0 : 8;
    case QCborValue::Double:
        return 8;
    case QCborValue::String:
        return stringBound(value.toString().size());
    case QCborValue::Array: {
        const QCborArray array = value.toArray();
        qint64 size = 16;
        for (const QCborValue &element : array)
            size += 4 + storageBound(element);
        return size;
    }
    case QCborValue::Map: {
        const QCborMap map = value.toMap();
        qint64 size = 16;
        for (auto it = map.begin(); it != map.end(); ++it)
            size += 8 + stringBound(it.key().toString().size()) + storageBound(it.value());
        return size;
    }
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
    if (8 + storageBound(QCborMap::fromJsonObject(object)) > kMaxSize - kMargin)
        return QByteArray();
    return QJsonDocument(object).toBinaryData();
}

bool decode(const QByteArray &bytes, QJsonObject &object)
{
    // Larger than Qt ever writes: taken whole it could exhaust memory.
    if (bytes.size() > kMaxDocumentBytes || !BinaryJsonBounds::withinBounds(bytes))
        return false;
    const QJsonDocument document = QJsonDocument::fromBinaryData(bytes, QJsonDocument::Validate);
    if (!document.isObject())
        return false;
    object = document.object();
    return true;
}

}  // namespace BinaryJson

QT_WARNING_POP
