#include "FragmentPicture.h"

#include "SignBrushes.h"

#include "data/QuestTypeColor.h"
#include "polygram/drawG.h"
#include "resources/VugResources.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

namespace {

// Ticks of the stretch past the analysis interval when no question follows.
constexpr int kTail = 100;
// The scores start this many ticks after the question ends.
constexpr int kScoreOffset = 45;
const QColor kGroupColors[] = {QColor(128, 64, 0), QColor(200, 0, 0), QColor(0, 0, 200)};
const char *const kScoreCaptions[] = {QT_TRANSLATE_NOOP("InspectionAnalysisBallFancy", " (кгр)"),
                                      QT_TRANSLATE_NOOP("InspectionAnalysisBallFancy", " (пг)"),
                                      QT_TRANSLATE_NOOP("InspectionAnalysisBallFancy", " (дых)")};

int pixels(int ticks, int unfold)
{
    return ticks * 1000 / unfold;
}

int recordedTicks(const InspectionTest &test)
{
    return test.samples(ChannelCode::GSR)->size();
}

}  // namespace

FragmentPicture::Span FragmentPicture::span(const InspectionTest &test, const InspectionLabel &mark,
                                            const InspectionLabel *next, const FragmentOptions &options)
{
    const int analysis = test.ia.lengthTicks();
    const int unfold = qMax(1, options.unfold);
    Span result;
    if (options.analysisOnly) {
        result.endTick = mark.TickQEnd + analysis;
        result.right = pixels(analysis, unfold) - 1;
    } else if (next) {
        result.endTick = next->TickQStart;
        result.right = pixels(next->TickQStart - mark.TickQEnd, unfold);
    } else if (mark.TickQEnd + analysis + kTail >= recordedTicks(test)) {
        result.endTick = recordedTicks(test);
        result.right = pixels(recordedTicks(test) - mark.TickQEnd, unfold);
    } else {
        result.endTick = mark.TickQEnd + analysis + kTail;
        result.right = pixels(analysis + kTail, unfold);
    }
    if (options.questionInterval)
        result.right += pixels(mark.TickQEnd - mark.TickQStart, unfold);
    // Marks moved in the review may overlap or lie past the recording.
    result.right = qMax(0, result.right);
    return result;
}

QVector<int> FragmentPicture::groupChannels(int group)
{
    switch (group) {
    case 0:
        return {ChannelCode::GSR};
    case 1:
        return {ChannelCode::PG, ChannelCode::AD, ChannelCode::ADVANCED};
    case 2:
        return {ChannelCode::RG_LO, ChannelCode::RG_HI};
    default:
        return {};
    }
}

QPixmap FragmentPicture::renderFragment(InspectionTest *test, int group, int quest, const QVector<int> &channels,
                                        const FragmentOptions &options)
{
    const InspectionLabel *mark = test ? test->findLabel(group, quest) : nullptr;
    if (!mark)
        return QPixmap();
    const Span stretch = span(*test, *mark, test->labelAfter(group, quest), options);
    return drawFragment(test, quest, channels, stretch, 5 * options.unit, options);
}

QPixmap FragmentPicture::drawFragment(InspectionTest *test, int quest, const QVector<int> &channels, const Span &span,
                                      int height, const FragmentOptions &options)
{
    const int right = qMax(0, span.right);
    height = qMax(1, height);
    QPixmap picture(right + 1, height);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    drawG painterOfTest(test, qMax(1, options.unfold));
    painterOfTest.setRenderHints(painter);
    const QRect area(QPoint(0, 0), QPoint(right, height - 1));
    if (options.questionShades)
        painterOfTest.fillQuestionIntervals(painter, area, span.endTick, 0, test->labels);
    if (options.reactionShades)
        painterOfTest.fillReactionShades(painter, area, span.endTick, 0, test->labels);
    if (options.questionText)
        painterOfTest.drawLabels(painter, area, span.endTick, 0, test->labels);
    for (int code = 0; code < ChannelCode::Count; ++code) {
        const InspectionChannel &channel = test->channel(code);
        const bool enabled = channel.Enable && *channel.Enable;
        const bool ofGroup = channels.contains(code);
        if (!enabled || test->samples(code)->isEmpty() || (!options.allChannels && !ofGroup))
            continue;
        painterOfTest.drawChannelCurve(painter, area, span.endTick, 0, code, options.allChannels && !ofGroup, false);
    }
    if (options.kindFrame && quest >= 0 && quest < test->themis.size()) {
        painter.setPen(QPen(questTypeColor(test->themis.at(quest).Type), 3.0, Qt::SolidLine, Qt::SquareCap,
                            Qt::BevelJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(QPoint(2, 2), QPoint(right - 2, height - 3)));
    }
    return picture;
}

void FragmentPicture::drawBallOverlay(QPixmap &picture, int channelGroup, const InspectionBallValuation &entry,
                                      InspectionTest *test, int group, int quest, int scale,
                                      const FragmentOptions &options)
{
    const InspectionLabel *mark = test ? test->findLabel(group, quest) : nullptr;
    if (!mark || picture.isNull())
        return;
    QPainter painter(&picture);
    const bool testQuestion = quest >= 0 && quest < test->themis.size()
        && test->themis.at(quest).Type == QuestionKind::Test;
    if (scale == 0 || testQuestion) {
        const int unfold = qMax(1, options.unfold);
        const int x = options.questionInterval ? pixels(mark->TickQEnd - mark->TickQStart + kScoreOffset, unfold)
                                               : pixels(kScoreOffset, unfold);
        drawScores(painter, x, channelGroup, entry, scale);
    }
    painter.drawPixmap(picture.width() - 20, 5, VugImages::pixmap(QStringLiteral("Close-icon.png")));
}

void FragmentPicture::drawScores(QPainter &painter, int x, int channelGroup, const InspectionBallValuation &entry,
                                 int scale)
{
    QFont plain = QApplication::font();
    plain.setStyleStrategy(QFont::PreferQuality);
    QFont bold = plain;
    bold.setWeight(QFont::Bold);
    const QFontMetrics metrics(bold);
    const int w = metrics.averageCharWidth();
    const int h = metrics.height();
    for (int row = 0; row < 3; ++row) {
        const int score = entry.score(row);
        const int top = 10 + row * h;
        painter.setFont(row == channelGroup ? bold : plain);
        if (scale == 0)
            painter.setPen(row == channelGroup ? kGroupColors[row] : QColor(Qt::black));
        else
            painter.setPen(signBrush(score).color());
        painter.drawText(QRect(x, top, 3 * w, h), Qt::AlignRight | Qt::AlignVCenter, QString::number(score));
        painter.setPen(Qt::black);
        painter.drawText(QRect(x + 3 * w, top, 100, h), Qt::AlignLeft | Qt::AlignVCenter,
                         QCoreApplication::translate("InspectionAnalysisBallFancy", kScoreCaptions[row]));
    }
}
