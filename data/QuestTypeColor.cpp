#include "QuestTypeColor.h"

#include "InspectionTheme.h"

QColor questTypeColor(int kind)
{
    switch (kind) {
    case QuestionKind::Neutral:
    case QuestionKind::IntI:
        return QColor(0, 127, 0);
    case QuestionKind::Control:
    case QuestionKind::IntC:
    case QuestionKind::IntSR:
    case QuestionKind::IntSo:
    case QuestionKind::IntGC:
        return QColor(0, 0, 127);
    case QuestionKind::Test:
    case QuestionKind::IntR:
        return QColor(127, 0, 0);
    default:
        return QColor(127, 127, 127);
    }
}
