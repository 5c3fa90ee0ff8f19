#include "InspectionTheme.h"

InspectionTheme::InspectionTheme(const QString &text, int kind)
    : Theme(text)
{
    switch (kind) {
    case QuestionKind::Neutral:
    case QuestionKind::Control:
    case QuestionKind::Test:
        Type = qint16(kind);
        SubType = qint16(kind);
        break;
    case QuestionKind::IntP:
    case QuestionKind::Null:
        Type = QuestionKind::Null;
        SubType = qint16(kind);
        break;
    case QuestionKind::IntI:
        Type = QuestionKind::Neutral;
        SubType = qint16(kind);
        break;
    case QuestionKind::IntR:
        Type = QuestionKind::Test;
        SubType = qint16(kind);
        break;
    case QuestionKind::IntC:
    case QuestionKind::IntSR:
    case QuestionKind::IntSo:
    case QuestionKind::IntGC:
        Type = QuestionKind::Control;
        SubType = qint16(kind);
        break;
    default:
        Type = qint16(kind);
        SubType = -1;
        break;
    }
}

void InspectionTheme::toJson(QJsonObject &object) const
{
    object.insert(QStringLiteral("Type"), Type);
    object.insert(QStringLiteral("SubType"), SubType);
    object.insert(QStringLiteral("Number"), Number);
    object.insert(QStringLiteral("Answer"), Answer);
    object.insert(QStringLiteral("Theme"), Theme);
    if (!PhotoImage4.isEmpty())
        object.insert(QStringLiteral("PhotoImage4"), QString::fromLatin1(PhotoImage4.toBase64()));
    object.insert(QStringLiteral("State"), State);
    object.insert(QStringLiteral("ShowQuestToSecondMonitor"), ShowQuestToSecondMonitor);
}

void InspectionTheme::fromJson(const QJsonObject &object)
{
    Type = qint16(object.value(QStringLiteral("Type")).toInt());
    if (Type < 0)
        Type = QuestionKind::Null;
    SubType = qint16(object.value(QStringLiteral("SubType")).toInt(-1));
    Number = qint16(object.value(QStringLiteral("Number")).toInt());
    Answer = qint16(object.value(QStringLiteral("Answer")).toInt());
    Theme = object.value(QStringLiteral("Theme")).toString();
    PhotoImage4 = QByteArray::fromBase64(object.value(QStringLiteral("PhotoImage4")).toString().toLatin1());
    State = object.value(QStringLiteral("State")).toInt();
    ShowQuestToSecondMonitor = object.value(QStringLiteral("ShowQuestToSecondMonitor")).toBool();
}
