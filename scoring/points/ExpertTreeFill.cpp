#include "ExpertTreeFill.h"

#include "QuestKey.h"
#include "SignBrushes.h"

#include "data/BallValuationSums.h"
#include "data/QuestTypeColor.h"
#include "data/QuestionKindName.h"

#include <QCoreApplication>
#include <QHash>
#include <QStandardItem>

namespace {

const char kContext[] = "InspectionAnalysisBallFancy";
const QColor kChannelColors[] = {QColor(220, 128, 0), QColor(200, 0, 0), QColor(0, 0, 200)};

QColor rowShade(int quest)
{
    return quest % 2 == 0 ? QColor(230, 230, 230) : QColor(220, 220, 220);
}

quint64 placeKey(int presentation, int quest)
{
    return quint64(quint32(presentation)) << 32 | quint32(quest);
}

// The scale map split by the presentation and question each entry names,
// every part under the map's own keys: the weighted sum over a part is the
// sum over the whole map, without walking the whole map for every cell.
QHash<quint64, BallValuationMap> splitByPlace(const BallValuationMap &scale)
{
    QHash<quint64, BallValuationMap> places;
    for (auto group = scale.cbegin(); group != scale.cend(); ++group) {
        for (auto entry = group->cbegin(); entry != group->cend(); ++entry)
            places[placeKey(entry->iGroup, entry->iQuest)][group.key()][entry.key()] = *entry;
    }
    return places;
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

void ExpertTreeFill::fillTest(QStandardItem *row, int testIndex, InspectionTest &test)
{
    const QHash<quint64, BallValuationMap> places = splitByPlace(scaleMap(test));
    for (int quest = 0; quest < test.themis.size(); ++quest)
        fillQuestion(childRow(row, quest), testIndex, test, quest, places);
}

void ExpertTreeFill::fillQuestion(QStandardItem *question, int testIndex, InspectionTest &test, int quest,
                                  const QHash<quint64, BallValuationMap> &places) const
{
    dressQuestion(question, testIndex, test, quest);
    const QColor shade = rowShade(quest);
    const auto weightedCell = [this, &shade](float points) {
        QStandardItem *cell = inertItem(number(points));
        cell->setForeground(scoreBrush(points, Qt::black));
        cell->setBackground(shade);
        cell->setFont(boldFont());
        return cell;
    };
    float sum = 0.0f;
    for (int presentation = 1; presentation <= presentationColumns(); ++presentation) {
        if (presentation > test.presentationCount()) {
            QStandardItem *placeholder = textItem(QString());
            placeholder->setSelectable(false);
            placeholder->setBackground(shade);
            putCell(question, presentation, placeholder);
            continue;
        }
        const float points = weightedBallSum(test, places.value(placeKey(presentation, quest)), quest, presentation);
        sum += points;
        putCell(question, presentation, weightedCell(points));
    }
    putCell(question, presentationColumns() + 1, weightedCell(sum));
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
    const QColor background = kindBackground(test.themis.at(quest).Type);
    int rawTotal = 0;
    for (int presentation = 1; presentation <= test.presentationCount(); ++presentation) {
        const InspectionBallValuation &entry = entryAt(scaleMap(test), presentation, quest);
        const int score = entry.score(channel);
        const bool disabled = test.valuationBall_GroupsDisabled.contains(presentation);
        if (!disabled)
            rawTotal += score;
        QStandardItem *cell = textItem(QString::number(score));
        cell->setSelectable(entry.bEnable);
        cell->setForeground(disabled ? QBrush(Qt::darkGray)
                                     : entry.bEnable ? scoreBrush(score, channelColor) : QBrush(Qt::lightGray));
        cell->setBackground(background);
        QJsonObject key;
        QuestKey{testIndex, presentation, channel, quest}.toJson(key);
        cell->setData(key, QuestKey::Role);
        putCell(channelRow, presentation, cell);
    }
    const float total = float(rawTotal) * test.valuationBall_ChannelK[channel];
    QStandardItem *totalCell = inertItem(number(total));
    totalCell->setForeground(scoreBrush(total, channelColor));
    putCell(channelRow, presentationColumns() + 1, totalCell);
}
