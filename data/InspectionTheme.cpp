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
