#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QtGlobal>

// Question kinds as the editor and the reference books store them.
namespace QuestionKind {
enum : int {
    Neutral = 0,
    Control = 1,
    Test = 2,
    IntP = 101,
    IntI = 102,
    IntC = 103,
    IntR = 104,
    IntSR = 105,
    IntSo = 106,
    IntGC = 107,
    Null = 10000,
};
inline bool isInternational(int kind) { return kind >= IntP && kind <= IntGC; }
}  // namespace QuestionKind

// One question of a test.
struct InspectionTheme {
    qint16 Type = -1;     // class: 0 neutral, 1 control, 2 test, 10000 null, -1 none
    qint16 SubType = -1;  // the kind as chosen, -1 for none
    qint16 Number = 0;    // running number within the sub-kind
    qint16 Answer = -1;
    QString Theme;
    QByteArray PhotoImage4;
    bool ShowQuestToSecondMonitor = false;
    qint32 State = 0;

    InspectionTheme() = default;
    // A question of a kind: Type and SubType from the kind table.
    InspectionTheme(const QString &text, int kind);

    bool isNull() const { return Type > 9999; }
    bool hasPicture() const { return !PhotoImage4.isEmpty() || ShowQuestToSecondMonitor; }

    void toJson(QJsonObject &object) const;
    void fromJson(const QJsonObject &object);
};
