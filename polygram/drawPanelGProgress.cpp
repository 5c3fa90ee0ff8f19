// Panel painter: the examination progress table.
#include "drawPanelG.h"

#include "fancy/FontScale.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

const int kShortLength = 40;

QString shortened(const QString &text)
{
    return text.length() > kShortLength ? text.left(kShortLength) + QStringLiteral("...") : text;
}

// Null when the index names no question of the test.
const InspectionTheme *questionOf(const Inspection::_Test &test, int index)
{
    const bool isNull = index >= 10000;
    const QVector<InspectionTheme> &list = isNull ? test.themisNULL : test.themis;
    const int i = isNull ? index - 10000 : index;
    return i >= 0 && i < list.size() ? &list[i] : nullptr;
}

QString questionText(const Inspection::_Test &test, int index)
{
    const InspectionTheme *question = questionOf(test, index);
    return question ? question->Theme : QString();
}

// Empty where the plan has no such entry or the entry names no question: a
// presentation added during a recording makes the groups differ in length.
QString cellCaption(const Inspection::_Test &test, int planIndex)
{
    if (planIndex < 0 || planIndex >= test.orders.size() || !questionOf(test, test.orders[planIndex].Theme))
        return QString();
    return test.questionCaption(planIndex);
}

// One draw of the table: the questions as rows, the presentations as columns.
struct ProgressTable {
    const Inspection::_Test &test;
    QPoint at;
    int lineHeight;
    int strikeOut;
    int groups;
    int questions;
    int textWidth;
    drawPanelG::ProgressColumns columns;
    bool marked;
    bool cursorInside;
    QColor highlight;
    QColor ink;
    InspectionLabel current;

    bool isCurrent(const InspectionOrder &entry) const
    {
        return marked && entry.Group == current.Group && entry.Theme == current.Theme;
    }

    void highlightLine(QPainter *painter, int left, int right, int baseline) const
    {
        painter->fillRect(
            QRect(QPoint(left, baseline - lineHeight + strikeOut), QPoint(right, baseline + strikeOut - 1)), highlight);
    }

    // Presentation k of the question in plan entry i lies k × (q + 1) places further.
    void drawGroupColumns(QPainter *painter, const QFont &regular, const QFont &bold) const
    {
        int baseline = at.y() + lineHeight;
        for (int i = 0; i < test.orders.size(); ++i) {
            if (test.orders[i].Group != 1 || test.orders[i].Theme < 0)
                continue;
            for (int k = 0; k < groups; ++k) {
                const int entry = i + k * (questions + 1);
                const QString caption = cellCaption(test, entry);
                if (caption.isEmpty())
                    continue;
                const bool hot = isCurrent(test.orders[entry]);
                painter->setFont(hot ? bold : regular);
                const int left = at.x() + textWidth + columns.firstGroupEnd + k * columns.group -
                                 QFontMetrics(painter->font(), painter->device()).horizontalAdvance(caption);
                if (hot)
                    highlightLine(painter, left, left + columns.group - 1, baseline);
                painter->setPen(ink);
                painter->drawText(left, baseline, caption);
            }
            baseline += lineHeight;
        }
    }

    void drawQuestionColumn(QPainter *painter, const QFont &regular, const QFont &bold) const
    {
        int baseline = at.y() + lineHeight;
        for (int i = 0; i < test.orders.size(); ++i) {
            const InspectionOrder &entry = test.orders[i];
            if (entry.Group != current.Group || entry.Theme < 0)
                continue;
            painter->setFont(regular);
            if (marked && entry.Theme == current.Theme) {
                highlightLine(painter, at.x(), at.x() + textWidth - 1, baseline);
                painter->setFont(bold);
            }
            const QString text = questionText(test, entry.Theme);
            painter->setPen(ink);
            painter->drawText(at.x() + columns.code, baseline, cellCaption(test, i));
            painter->drawText(at.x() + columns.text, baseline, cursorInside ? text : shortened(text));
            baseline += lineHeight;
        }
    }
};

}  // namespace

// The columns are laid out for the font at scale 1.0 and grow with it.
drawPanelG::ProgressColumns drawPanelG::progressColumns()
{
    using Fancy::FontScale;
    return {FontScale::px(10), FontScale::px(50), FontScale::px(40), FontScale::px(50)};
}

// The live view draws the table at every position: its texts are measured once.
int drawPanelG::boldAdvance(QPainter *painter, const QString &text)
{
    const int dpi = painter->device()->logicalDpiX();
    if (dpi != m_advanceDpi) {
        m_boldAdvances.clear();
        m_advanceDpi = dpi;
    }
    auto known = m_boldAdvances.constFind(text);
    if (known == m_boldAdvances.constEnd())
        known = m_boldAdvances.insert(text, QFontMetrics(boldFont, painter->device()).horizontalAdvance(text));
    return *known;
}

void drawPanelG::drawInspectionPanel(QPainter *painter, const QPoint &cursor, bool pressed, bool collapse, int position)
{
    if (!test)
        return;
    const Inspection::_Test &t = *test;
    const QPoint at = PanelState::instance().position(PanelState::ProgressPanel);

    const ProgressColumns columns = progressColumns();
    int fullWidth = 0;
    int shortWidth = 0;
    for (const InspectionOrder &entry : t.orders) {
        if (!entry.isQuestion())
            continue;
        const QString text = questionText(t, entry.Theme);
        fullWidth = std::max(fullWidth, boldAdvance(painter, text) + columns.text);
        shortWidth = std::max(shortWidth, boldAdvance(painter, shortened(text)) + columns.text);
    }

    const QFontMetrics metrics(appFont, painter->device());
    const int h = metrics.height();
    // A plan of nothing but its head entry has group -1.
    const int groups = std::max(0, t.lastGroup());
    const int questions = t.themis.size() + t.themisNULL.size();
    const int height = h / 2 + h * questions;
    const int fixedWidth = groups * columns.group + columns.firstGroupEnd;
    const bool hot = QRect(at, QSize(fixedWidth + shortWidth, height)).contains(cursor);
    const bool expanded = hot || !collapse;
    const int alpha = expanded ? 255 : 100;
    const int textWidth = expanded ? fullWidth : shortWidth;
    const QRect rect(at, QSize(fixedWidth + textWidth, height));
    drawBacking(painter, rect);
    painter->fillRect(rect, QColor(200, 200, 255, alpha));

    InspectionLabel current = t.labelInForce(position);
    if (current.Group == 0) {
        current.Group = 1;
        current.Theme = -1;
    }
    const ProgressTable table{t,
                              at,
                              h,
                              metrics.strikeOutPos(),
                              groups,
                              questions,
                              textWidth,
                              columns,
                              t.labels.size() + t.labelsNULL.size() > 0,
                              rect.contains(cursor),
                              QColor(50, 0, 255, alpha),
                              expanded ? QColor(0, 0, 0, 255) : QColor(120, 0, 0, 100),
                              current};
    table.drawGroupColumns(painter, appFont, boldFont);
    table.drawQuestionColumn(painter, appFont, boldFont);
    settlePanel(PanelState::ProgressPanel, rect, cursor, pressed, ProgressId);
}
