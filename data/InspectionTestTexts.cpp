// Texts made from a test: the caption of a plan entry, the plan and the question list.
#include "InspectionTest.h"
#include "QuestionKindName.h"

namespace {

// The kind a question's letter is taken from: its chosen kind, else its class.
int letterKind(const InspectionTheme &question)
{
    return question.SubType >= 0 ? question.SubType : question.Type;
}

QString internationalCaption(int kind, int number)
{
    return questionKindName(kind) + QString::number(number);
}

}  // namespace

QString InspectionTest::headerText() const
{
    if (!recorded || !DateTimeRecorded.isValid())
        return name;
    return name + QStringLiteral(" (") + DateTimeRecorded.toString(QStringLiteral("dd.MM.yyyy hh:mm")) + QLatin1Char(')');
}

QString InspectionTest::questionCaption(int planIndex) const
{
    if (planIndex < 0 || planIndex >= orders.size())
        return QStringLiteral("  0");
    const InspectionOrder &entry = orders[planIndex];
    const InspectionTheme &question = theme(entry.Theme);
    if (QuestionKind::isInternational(question.SubType))
        return internationalCaption(question.SubType, question.Number);
    if (entry.Theme >= 0 && entry.Theme <= 9999)
        return QString::asprintf("%.2d", (entry.Theme + 1) % 256) + questionKindName(letterKind(question));
    return QStringLiteral("  0");
}

QString InspectionTest::orderText() const
{
    QString text = name + QLatin1Char('\n');
    for (const InspectionOrder &entry : orders) {
        if (entry.Theme >= 0)
            text += QLatin1Char('\t') + theme(entry.Theme).Theme + QLatin1Char('\n');
    }
    return text + QLatin1Char('\n');
}

QString InspectionTest::formatText() const
{
    QString text;
    for (const InspectionTheme &question : themisNULL)
        text += QStringLiteral("00\t") + question.Theme + QLatin1Char('\n');
    for (int i = 0; i < themis.size(); ++i) {
        const InspectionTheme &question = themis[i];
        const int kind = letterKind(question);
        if (QuestionKind::isInternational(kind))
            text += internationalCaption(kind, question.Number);
        else
            text += QString::asprintf("%.2d", i + 1) + questionKindName(kind) + QLatin1Char('\t');
        text += question.Theme + QLatin1Char('\n');
    }
    return text;
}
