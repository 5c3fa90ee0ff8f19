#include "QuestionKindName.h"

#include "InspectionTheme.h"

#include <QCoreApplication>

QString questionKindName(int kind)
{
    switch (kind) {
    case QuestionKind::Neutral:
        return QCoreApplication::translate("Inspection", "Н");
    case QuestionKind::Control:
        return QCoreApplication::translate("Inspection", "К");
    case QuestionKind::Test:
        return QCoreApplication::translate("Inspection", "П");
    case QuestionKind::IntP:
        return QStringLiteral("P");
    case QuestionKind::IntI:
        return QStringLiteral("I");
    case QuestionKind::IntC:
        return QStringLiteral("C");
    case QuestionKind::IntR:
        return QStringLiteral("R");
    case QuestionKind::IntSR:
        return QStringLiteral("SR");
    case QuestionKind::IntSo:
        return QStringLiteral("So");
    case QuestionKind::IntGC:
        return QStringLiteral("GC");
    case QuestionKind::Null:
        return QStringLiteral("0");
    default:
        return QStringLiteral("?");
    }
}
