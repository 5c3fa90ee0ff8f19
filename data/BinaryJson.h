#pragma once

#include <QByteArray>
#include <QJsonObject>

// The stored form of every JSON record in the subject file: Qt's binary JSON.
// This is the only place that converts to and from it.
namespace BinaryJson {

// The largest document the format can hold, its 8-byte header included.
constexpr qint64 kMaxDocumentBytes = 8 + (qint64(1) << 27) - 1;

// The binary form of an object; empty when the object is too large for the
// format (no valid document is ever empty).
QByteArray encode(const QJsonObject &object);

// Fills object from validated binary JSON; false when the bytes hold no object.
bool decode(const QByteArray &bytes, QJsonObject &object);

}  // namespace BinaryJson
