#include "QuestionDrop.h"

#include "data/InspectionTest.h"

#include <QRegularExpression>

#include <algorithm>
#include <utility>

namespace {

// The code a question travels with: its chosen kind, else its class.
int kindCode(const InspectionTheme &question)
{
    return question.SubType >= 0 ? question.SubType : question.Type;
}

int countOfSubType(const InspectionTest &test, int subType)
{
    int count = test.countThemesOfSubType(subType);
    for (const InspectionTheme &question : test.themisNULL)
        count += question.SubType == subType ? 1 : 0;
    return count;
}

}  // namespace

QuestionDrop::Edge QuestionDrop::edgeAt(int y, int top, int bottom)
{
    const int mid = (top + bottom) / 2;
    if (y < mid - 2)
        return Above;
    return y > mid + 2 ? Below : Middle;
}

QuestionDrop::Decision QuestionDrop::decide(int kind, int targetType, bool fromTree, bool sameColumn, int y,
                                            int top, int bottom)
{
    Decision decision;
    const bool targetIsNull = targetType >= QuestionKind::Null;
    if (targetIsNull ? kind >= 0 : kind < 0)
        return decision;
    decision.accepted = true;
    if (fromTree && !sameColumn)
        return decision;
    decision.edge = edgeAt(y, top, bottom);
    decision.move = fromTree && decision.edge != Middle;
    return decision;
}

QuestionDrop::QuestionDrop(InspectionTest &test, int group, int row, int theme)
    : m_test(test), m_group(group), m_row(row), m_theme(theme)
{
}

void QuestionDrop::overwrite(const MimeFormats::Question &question, bool fromTree)
{
    InspectionTheme &target = m_test.theme(m_theme);
    target.Theme = question.text;
    const int oldSubType = target.SubType;
    if (kindCode(target) == question.kind || !MimeFormats::mapQuestKind(question.kind, target))
        return;
    if (QuestionKind::isInternational(target.SubType))
        target.Number = qint16(countOfSubType(m_test, target.SubType));
    if (fromTree && QuestionKind::isInternational(oldSubType))
        m_test.renumberAllThemes();
}

void QuestionDrop::move(int sourceRow, Edge edge)
{
    int destination = m_row;
    if (edge == Above && m_row > sourceRow)
        --destination;
    else if (edge == Below && m_row < sourceRow)
        ++destination;
    // Null questions open every presentation; neither block may cross the other.
    const int nullCount = m_test.themisNULL.size();
    if (sourceRow < nullCount)
        destination = qMin(destination, nullCount - 1);
    else
        destination = qBound(nullCount, destination, rowCount() - 1);

    const int step = destination > sourceRow ? 1 : -1;
    for (int row = sourceRow; row != destination; row += step) {
        const int from = m_test.indexOfOrder(m_group, row);
        const int to = m_test.indexOfOrder(m_group, row + step);
        if (from < 0 || to < 0)
            return;
        std::swap(m_test.orders[from], m_test.orders[to]);
    }
}

void QuestionDrop::insert(const MimeFormats::Question &question, Edge edge)
{
    InspectionTheme kind;
    const int code = MimeFormats::mapQuestKind(question.kind, kind) ? question.kind : kindCode(m_test.theme(m_theme));
    m_test.addTheme(question.text, code, m_group, edge == Below ? m_row + 1 : m_row);
}

QString QuestionDrop::singleLine(const QString &text)
{
    static const QRegularExpression breaks(QStringLiteral("[\\n\\t\\r]"));
    return QString(text).remove(breaks);
}

int QuestionDrop::rowCount() const
{
    return int(std::count_if(m_test.orders.begin(), m_test.orders.end(), [this](const InspectionOrder &entry) {
        return entry.Group == m_group && entry.Theme >= 0;
    }));
}
