#include "BinaryJson.h"

#include <QJsonDocument>

// Qt keeps binary JSON only as a deprecated compatibility format; the stored
// files are in it, so the warning is silenced here and nowhere else.
QT_WARNING_PUSH
QT_WARNING_DISABLE_DEPRECATED

namespace BinaryJson {

QByteArray encode(const QJsonObject &object)
{
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
