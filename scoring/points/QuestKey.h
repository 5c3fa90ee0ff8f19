#pragma once

#include <QJsonObject>
#include <Qt>

// The place a scoring item stands for: test, presentation, channel group and
// question. Items carry it as QVariant(QJsonObject) in role QuestKey::Role.
struct QuestKey {
    static constexpr int Role = Qt::UserRole + 1;

    qint32 iTest = 0;   // index of the test in the examination
    qint32 iGroup = 0;  // presentation number, from 1
    qint32 iParam = 0;  // channel group: 0 КГР, 1 ПГ, 2 Дых
    qint32 iQuest = 0;  // question index; -1 for a whole presentation

    // Sets the four keys, keeping the object's other keys.
    void toJson(QJsonObject &object) const;
    // Overwrites every field; a missing or non-numeric key reads as 0.
    void fromJson(const QJsonObject &object);
};
