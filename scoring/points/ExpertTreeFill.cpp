#include "ExpertTreeFill.h"

#include "QuestKey.h"
#include "SignBrushes.h"

#include "data/BallValuationSums.h"
#include "data/QuestTypeColor.h"
#include "data/QuestionKindName.h"

#include <QCoreApplication>
#include <QStandardItem>

namespace {

const char kContext[] = "InspectionAnalysisBallFancy";
const QColor kChannelColors[] = {QColor(220, 128, 0), QColor(200, 0, 0), QColor(0, 0, 200)};

QColor rowShade(int quest)
{
    return quest % 2 == 0 ? QColor(230, 230, 230) : QColor(220, 220, 220);
}

}  // namespace

QStringList ExpertTreeFill::trailingHeaders() const
{
    return {QCoreApplication::translate(kContext, "Сумма"), QString()};
}

QVector<int> ExpertTreeFill::columnWidths() const
{
    QVector<int> widths(presentationColumns() + 3, 100);
    widths[0] = 600;
    widths[presentationColumns() + 2] = -1;
    return widths;
}

QColor ExpertTreeFill::kindBackground(int type)
{
    switch (type) {
    case QuestionKind::Neutral:
    case QuestionKind::IntI:
        return QColor(240, 255, 240);
    case QuestionKind::Control:
    case QuestionKind::IntC:
    case QuestionKind::IntSR:
    case QuestionKind::IntSo:
    case QuestionKind::IntGC:
        return QColor(240, 240, 255);
    case QuestionKind::Test:
    case QuestionKind::IntR:
        return QColor(255, 240, 240);
    case QuestionKind::IntP:
        return QColor(127, 127, 127);
    default:
        return QColor(Qt::black);
    }
}

QBrush ExpertTreeFill::scoreBrush(float score, const QColor &in012) const
{
    return scale() == 0 ? QBrush(in012) : signBrush(score);
}

void ExpertTreeFill::fillTest(QStandardItem *row, int testIndex, const InspectionTest &test)
{
    const QVector<float> weighted
        = weightedBallTable(test, scaleMap(test), test.themis.size(), test.presentationCount());
    for (int quest = 0; quest < test.themis.size(); ++quest)
        fillQuestion(childRow(row, quest), testIndex, test, quest,
                     weighted.constData() + quest * test.presentationCount());
}

void ExpertTreeFill::fillQuestion(QStandardItem *question, int testIndex, const InspectionTest &test, int quest,
                                  const float *weighted) const
{
    dressQuestion(question, testIndex, test, quest);
    CellLook placeholder;
    placeholder.selectable = false;
    placeholder.background = rowShade(quest);
    const auto pointsLook = [this, &placeholder](float points) {
        CellLook look = placeholder;
        look.text = number(points);
        look.enabled = false;
        look.foreground = scoreBrush(points, Qt::black);
        look.bold = true;
        return look;
    };
    float sum = 0.0f;
    for (int presentation = 1; presentation <= presentationColumns(); ++presentation) {
        if (presentation > test.presentationCount()) {
            putCell(question, presentation, placeholder);
            continue;
        }
        const float points = weighted[presentation - 1];
        sum += points;
        putCell(question, presentation, pointsLook(points));
    }
    putCell(question, presentationColumns() + 1, pointsLook(sum));
    question->setCheckState(checkState(test, quest));
    for (int channel = 0; channel < 3; ++channel)
        fillChannel(childRow(question, channel), testIndex, test, quest, channel);
}

void ExpertTreeFill::dressQuestion(QStandardItem *question, int testIndex, const InspectionTest &test, int quest) const
{
    const InspectionTheme &theme = test.themis.at(quest);
    const QString kind = questionKindName(theme.SubType >= 0 ? theme.SubType : theme.Type);
    question->setText(QStringLiteral("%1%2 %3").arg(QStringLiteral("%1").arg(quest + 1, 2, 10, QLatin1Char('0')), kind,
                                                      theme.Theme));
    question->setEditable(false);
    question->setSelectable(false);
    question->setCheckable(true);
    question->setAutoTristate(true);
    question->setForeground(questTypeColor(theme.Type));
    question->setBackground(rowShade(quest));
    QJsonObject key;
    QuestKey{testIndex, -1, -1, quest}.toJson(key);
    question->setData(key, QuestKey::Role);
}

// Checked when every presentation's entry is in use (also with no
// presentation at all), unchecked when none is.
Qt::CheckState ExpertTreeFill::checkState(const InspectionTest &test, int quest) const
{
    const int presentations = test.presentationCount();
    int inUse = 0;
    for (int presentation = 1; presentation <= presentations; ++presentation)
        inUse += entryAt(scaleMap(test), presentation, quest).bEnable ? 1 : 0;
    if (inUse == presentations)
        return Qt::Checked;
    return inUse == 0 ? Qt::Unchecked : Qt::PartiallyChecked;
}

void ExpertTreeFill::fillChannel(QStandardItem *channelRow, int testIndex, const InspectionTest &test, int quest,
                                 int channel) const
{
    const QColor &channelColor = kChannelColors[channel];
    channelRow->setText(channelCaption(channel));
    makeInert(channelRow);
    channelRow->setForeground(scale() == 0 ? channelColor : QColor(Qt::black));
    CellLook look;
    look.background = kindBackground(test.themis.at(quest).Type);
    int rawTotal = 0;
    for (int presentation = 1; presentation <= presentationColumns(); ++presentation) {
        if (presentation > test.presentationCount()) {
            clearCell(channelRow, presentation);
            continue;
        }
        const InspectionBallValuation &entry = entryAt(scaleMap(test), presentation, quest);
        const int score = entry.score(channel);
        const bool disabled = test.valuationBall_GroupsDisabled.contains(presentation);
        if (!disabled && entry.bEnable)
            rawTotal += score;
        look.text = QString::number(score);
        look.selectable = entry.bEnable;
        look.foreground = disabled ? QBrush(Qt::darkGray)
                                   : entry.bEnable ? scoreBrush(score, channelColor) : QBrush(Qt::lightGray);
        const QuestKey key{testIndex, presentation, channel, quest};
        putCell(channelRow, presentation, look, &key);
    }
    const float total = float(rawTotal) * test.valuationBall_ChannelK[channel];
    CellLook totalLook;
    totalLook.text = number(total);
    totalLook.selectable = false;
    totalLook.enabled = false;
    totalLook.foreground = scoreBrush(total, channelColor);
    putCell(channelRow, presentationColumns() + 1, totalLook);
}
