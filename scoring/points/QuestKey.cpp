#include "QuestKey.h"

void QuestKey::toJson(QJsonObject &object) const
{
    object.insert(QStringLiteral("iTest"), iTest);
    object.insert(QStringLiteral("iGroup"), iGroup);
    object.insert(QStringLiteral("iParam"), iParam);
    object.insert(QStringLiteral("iQuest"), iQuest);
}

void QuestKey::fromJson(const QJsonObject &object)
{
    iTest = object.value(QStringLiteral("iTest")).toInt(0);
    iGroup = object.value(QStringLiteral("iGroup")).toInt(0);
    iParam = object.value(QStringLiteral("iParam")).toInt(0);
    iQuest = object.value(QStringLiteral("iQuest")).toInt(0);
}
