#include "QuestTypeColor.h"

#include "InspectionTest.h"

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

namespace {

bool hasQuestionOfType(const InspectionTest &test, int type)
{
    for (const InspectionTheme &question : test.themis)
        if (question.Type == type)
            return true;
    return false;
}

}  // namespace

QColor testColour(const InspectionTest &test)
{
    if (hasQuestionOfType(test, QuestionKind::Control))
        return questTypeColor(QuestionKind::Control);
    if (hasQuestionOfType(test, QuestionKind::Test))
        return questTypeColor(QuestionKind::Test);
    return Qt::black;
}
