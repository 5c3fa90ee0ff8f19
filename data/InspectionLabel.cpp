#include "InspectionLabel.h"

#include <type_traits>

void InspectionLabel::toJson(QJsonObject &object) const
{
    fields(*this, [&object](const char *key, qint32 field) { object.insert(QLatin1String(key), field); });
}

void InspectionLabel::fromJson(const QJsonObject &object)
{
    fields(*this, [&object](const char *key, auto &field) {
        field = std::remove_reference_t<decltype(field)>(object.value(QLatin1String(key)).toInt());
    });
}
