// Question and answer marks, their captions, reaction shades and value captions.
#include "drawG.h"

#include "ChannelLook.h"
#include "data/QuestionKindName.h"
#include "data/SharedHelpers.h"
#include "data/SignalAnalysis.h"
#include "fancy/FontScale.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Shades fade in five steps from one presentation group to the next.
const QColor kShades[5] = {
    QColor(255, 255, 224, 255), QColor(230, 230, 199, 230), QColor(205, 205, 174, 205),
    QColor(180, 180, 149, 155), QColor(155, 155, 124, 105),
};
const QColor kHighlightedShade(200, 255, 255, 255);

QColor shadeColor(int group, bool highlighted)
{
    if (highlighted)
        return kHighlightedShade;
    // Groups count from 1; a damaged mark's group 0 or below takes the first.
    return group > 0 ? kShades[(group - 1) % 5] : kShades[0];
}

}  // namespace

bool drawG::isVisible(double reference, double rightEdge, int width, double pause)
{
    return reference >= rightEdge - width - pause && reference <= rightEdge + pause;
}

qint64 drawG::pausePixels() const
{
    return qint64(test->ia.nIALength) * 20 * 1000 / timeScale;
}

void drawG::fillQuestionIntervals(QPainter &painter, const QRect &area, int n, float xShift, const Labels &marks)
{
    const double rightEdge = n * 1000.0 / timeScale;
    const double leftEdge = rightEdge - area.width();
    const qint64 pause = pausePixels();
    for (const Inspection::_Label &mark : marks) {
        qint64 start = tickPixel(mark.TickQStart);
        const qint64 end = tickPixel(mark.TickQEnd);
        if (start == 0)
            start = end - 10;
        if (!isVisible(end, rightEdge, area.width(), pause))
            continue;
        const double right = mark.TickQStart == mark.TickQEnd ? area.right() : end - leftEdge - xShift;
        const double left = start - leftEdge - xShift;
        const double width = qMax(right - left, 5.0);
        painter.fillRect(QRectF(left, area.top(), width, area.height()), questionBrush);
    }
}

void drawG::fillAnswerIntervals(QPainter &painter, const QRect &area, int n, float xShift, const Labels &marks)
{
    const double rightEdge = n * 1000.0 / timeScale;
    const double leftEdge = rightEdge - area.width();
    const qint64 pause = pausePixels();
    for (int i = 0; i < marks.size(); ++i) {
        const qint64 start = tickPixel(marks[i].TickAStart);
        const qint64 end = tickPixel(marks[i].TickAEnd);
        if (start == 0 || i == highlightLabel || !isVisible(end, rightEdge, area.width(), pause))
            continue;
        const double left = start - leftEdge - xShift;
        const double right = start == end ? area.right() : end - leftEdge - xShift;
        painter.fillRect(QRect(truncated(left), area.top(), truncated(right - left), area.height()), answerBrush);
    }
}

void drawG::fillReactionShades(QPainter &painter, const QRect &area, int n, float, const Labels &marks)
{
    const qint64 rightEdge = tickPixel(n);
    const qint64 leftEdge = rightEdge - area.width();
    const double pause = std::trunc(test->ia.nIALength) * 20 * 1000.0 / timeScale;
    for (int i = 0; i < marks.size(); ++i) {
        const qint64 end = tickPixel(marks[i].TickQEnd);
        if (!isVisible(end, rightEdge, area.width(), pause))
            continue;
        const qint64 x = end - leftEdge;
        const qint64 left = qMax<qint64>(0, x);
        if (left >= area.right())
            continue;
        const double width = qMin(double(area.right()), x + pause) - left;
        painter.fillRect(QRectF(left, area.top(), width, area.height()),
                         shadeColor(marks[i].Group, i == highlightLabel));
    }
}

void drawG::drawLabels(QPainter &painter, const QRect &area, int n, float xShift, const Labels &marks)
{
    const double rightEdge = n * 1000.0 / timeScale;
    const qint64 pause = pausePixels();
    for (const Inspection::_Label &mark : marks) {
        qint64 start = tickPixel(mark.TickQStart);
        qint64 end = 0;
        if (start != 0)
            end = tickPixel(mark.TickQEnd);
        else
            start = -10;
        if (!isVisible(end, rightEdge, area.width(), pause) || start == end)
            continue;
        // Captions are not culled by x: the device clips them.
        const double x = area.width() - (n - qint64(mark.TickQEnd)) * 1000.0 / timeScale - xShift;
        drawLabelCaption(painter, float(x), mark, area);
    }
}

QString drawG::labelCaption(const Inspection::_Label &mark) const
{
    const QByteArray group = romanNumeral(mark.Group).toUtf8();
    const Inspection::_Theme &question = qAsConst(*test).theme(mark.Theme);
    const QByteArray text = question.Theme.toUtf8();
    if (mark.Theme >= 10000)
        return QString::asprintf("%s.%.2d   %s", group.constData(), 0, text.constData());
    if (QuestionKind::isInternational(question.SubType)) {
        const QByteArray letter = questionKindName(question.SubType).toUtf8();
        return QString::asprintf("%s.%s%d   %s", group.constData(), letter.constData(), int(question.Number),
                                 text.constData());
    }
    const QByteArray letter = questionKindName(question.SubType >= 0 ? question.SubType : question.Type).toUtf8();
    return QString::asprintf("%s.%.2d%s   %s", group.constData(), mark.Theme + 1, letter.constData(),
                             text.constData());
}

QString drawG::answerText(const Inspection::_Label &mark) const
{
    switch (qAsConst(*test).theme(mark.Theme).Answer) {
    case 0:
        return tr("Нет");
    case 1:
        return tr("Да");
    default:
        return QString();
    }
}

QPen drawG::captionPenOf(const Inspection::_Label &mark) const
{
    if (mark.Theme >= 10000)
        return captionPen;
    switch (qAsConst(*test).theme(mark.Theme).Type) {
    case QuestionKind::Control:
        return controlPen;
    case QuestionKind::Test:
        return testPen;
    case QuestionKind::Neutral:
        return neutralPen;
    default:
        return captionPen;
    }
}

void drawG::drawLabelCaption(QPainter &painter, float x, const Inspection::_Label &mark, const QRect &area)
{
    const QString caption = labelCaption(mark);
    painter.save();
    painter.translate(x, area.bottom());
    painter.rotate(-90);
    painter.setPen(captionPenOf(mark));
    painter.setFont(captionFont);
    painter.drawText(QPointF(10, 15), caption);
    if (options & AnswerTexts)
        painter.drawText(QPointF(10, QFontMetrics(captionFont).height() + 15), answerText(mark));
    painter.restore();
}

void drawG::drawValueCaptions(QPainter &painter, const QRect &area, int n, float xShift, const Labels &marks)
{
    painter.setFont(QGuiApplication::font());
    painter.setPen(timePen);
    const double rightEdge = n * 1000.0 / timeScale;
    const float pause = float(qint64(test->ia.nIALength) * 20000 / timeScale);
    const QVector<qint16> &level = *test->samples(ChannelCode::GSR_C);
    const QVector<qint16> &pulse = *test->samples(ChannelCode::TGM);
    const QFontMetrics metrics = painter.fontMetrics();
    const int reach = 10 + metrics.horizontalAdvance(tr("Пульс max=") + QStringLiteral("0000"));
    // Three lines under the area's top, spaced for the device's font: a
    // printer's is larger than the screen's.
    const int step = qMax(20, metrics.lineSpacing());
    const int top = area.top() + qMax(20, metrics.ascent() + 4);
    // A larger font widens the captions: a mark whose captions would run into
    // the previous mark's, as they would not at scale 1.0, writes them under
    // those. Every mark is placed, seen or not, so that a part drawn alone
    // matches the whole.
    const int width = reach - 10;
    const int widthAtOne = int(width / std::max(1.0, Fancy::FontScale::factor()));
    int previousX = INT_MIN / 2;
    int previousTier = 1;
    for (const Inspection::_Label &mark : marks) {
        float end = mark.TickQEnd * 1000.0f / timeScale;
        float start = mark.TickQStart * 1000.0f / timeScale;
        if (end == 0)
            end = start;
        if (start == 0)
            start = end - 10;
        if (start == end)
            continue;
        const float x = area.width() - (qint64(n) - mark.TickQEnd) * 1000.0f / timeScale - xShift;
        const int captionX = truncated(x + 10);
        const bool under = previousTier == 0 && captionX < previousX + width && captionX >= previousX + widthAtOne;
        previousTier = under ? 1 : 0;
        previousX = captionX;
        // A mark left of the area still shows its captions' ends.
        if (!isVisible(end, rightEdge, area.width() + reach, pause))
            continue;
        const int first = top + previousTier * 3 * step;
        // Marks moved before the start or after the end read nothing.
        if (mark.TickQStart >= 0 && mark.TickQStart < level.size()) {
            painter.drawText(QPoint(captionX, first),
                             tr("КГР (ТС)=") + QString::number(level[mark.TickQStart] + 2047));
        }
        const double reactionEnd = mark.TickQEnd + 20 * test->ia.nIALength;
        if (pulse.isEmpty() || !(test->recorded || reactionEnd < n))
            continue;
        int lowest = 1000;
        int highest = 0;
        for (int i = qMax(0, mark.TickQStart); i < reactionEnd && i < pulse.size(); ++i) {
            const int perMinute = toPerMinute(pulse[i]);
            lowest = qMin(lowest, perMinute);
            highest = qMax(highest, perMinute);
        }
        painter.drawText(QPoint(captionX, first + step), tr("Пульс min=") + QString::number(lowest));
        painter.drawText(QPoint(captionX, first + 2 * step), tr("Пульс max=") + QString::number(highest));
    }
}
