#include "CMathStat.h"

#include "data/TestCaption.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace {

// States of plan entries that the scoring reads; 2, 4 and 8 name a class
// outright, 16 and 32 mark a presentation that the means leave out.
enum PlanState : qint32 {
    StateControl = 2,
    StateExcluded = 4,
    StateNeutral = 8,
    StateSkipped = 16,
    StateRejected = 32,
};

qint32 kindOf(Inspection::_Test &test, const Inspection::_Label &label)
{
    if (const Inspection::_Order *entry = test.findOrder(label.Group, label.Theme)) {
        switch (entry->State) {
        case StateControl:
            return StatEntry::Control;
        case StateExcluded:
            return StatEntry::Excluded;
        case StateNeutral:
            return StatEntry::Neutral;
        default:
            break;
        }
    }
    return test.theme(label.Theme).Type;
}

int pulseChannel(const Inspection::_Test &test, int pulseMode)
{
    if (pulseMode == CMathStat::PulseFromAD && !test.dataAD.isEmpty())
        return ChannelCode::AD;
    if (pulseMode == CMathStat::PulseFromAdvanced && !test.dataADVANCED.isEmpty())
        return ChannelCode::ADVANCED;
    return ChannelCode::PG;
}

int breathingChannel(const Inspection::_Test &test, bool useUpperBreathing)
{
    return useUpperBreathing && !test.dataRG_HI.isEmpty() ? ChannelCode::RG_HI : ChannelCode::RG_LO;
}

// Label indexes by question end: marks moved in review may stand out of order,
// and the features walk the recording forwards.
QVector<int> byQuestionEnd(const QVector<Inspection::_Label> &labels)
{
    QVector<int> order(labels.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&labels](int a, int b) { return labels[a].TickQEnd < labels[b].TickQEnd; });
    return order;
}

CEticaInput eticaInput(const Inspection::_Test &test, const QVector<int> &order, bool useUpperBreathing,
                       int pulseMode)
{
    const QVector<Inspection::_Label> &labels = test.labels;
    CEticaInput input;
    input.firstQuestionEnd = labels[order[0]].TickQEnd;
    for (int k = 1; k < order.size(); ++k) {
        const qint64 length = qint64(labels[order[k]].TickQEnd) - labels[order[k - 1]].TickQEnd;
        input.segmentLengths.append(qint32(std::min<qint64>(length, std::numeric_limits<qint32>::max())));
    }
    input.segmentLengths.append(test.ia.lengthTicks() + 4);
    input.samples = {*test.samples(pulseChannel(test, pulseMode)),
                     *test.samples(breathingChannel(test, useUpperBreathing)), test.dataGSR};
    return input;
}

}  // namespace

void CMathStat::calcAll(Inspection *examination)
{
    inspection = examination;
    // With a recording unread there are no rows, and nothing is fitted.
    runEtica(false, PulseFromPG);
    calcDiscriminant(false, false);
}

bool CMathStat::runEtica(bool useUpperBreathing, int pulseMode)
{
    rows.clear();
    entries.clear();
    if (!inspection || !readRecordings())
        return false;
    int offset = 0;
    for (int t = 0; Inspection::_Test *test = inspection->test(t); ++t) {
        if (test->recorded && !test->labels.isEmpty())
            appendTest(*test, offset, useUpperBreathing, pulseMode);
    }
    return !entries.isEmpty();
}

// A calculation over part of the recordings would pass for one over all of them.
bool CMathStat::readRecordings()
{
    unread.clear();
    unreadResult = StoreResult::Ok;
    for (int t = 0; Inspection::_Test *test = inspection->test(t); ++t) {
        if (!test->recorded || test->samplesLoaded())
            continue;
        const StoreResult read = inspection->loadRecording(test);
        if (read != StoreResult::Ok) {
            unread.append(testCaption(*inspection, t));
            unreadResult = read;
        }
    }
    return unread.isEmpty();
}

// One entry and row per label, in label order. A test whose features cannot
// be taken (a channel not recorded) gives none.
void CMathStat::appendTest(Inspection::_Test &test, int &offset, bool useUpperBreathing, int pulseMode)
{
    const QVector<int> order = byQuestionEnd(test.labels);
    QVector<Row> features;
    if (CEtica(eticaInput(test, order, useUpperBreathing, pulseMode), test.ia).run(features) != CEtica::Evaluated)
        return;
    QVector<Row> byLabel(features.size());
    for (int k = 0; k < order.size(); ++k)
        byLabel[order[k]] = features[k];

    for (int k = 0; k < test.labels.size(); ++k) {
        const Inspection::_Label &label = test.labels.at(k);
        StatEntry entry;
        entry.kind = kindOf(test, label);
        entry.globalGroup = label.Group + offset;
        entry.testId = test.id;
        entry.group = label.Group;
        entry.quest = label.Theme;
        entries.append(entry);
        rows.append(byLabel[k]);
    }
    // The next test's presentations number on from this one's last.
    offset += std::max_element(test.labels.cbegin(), test.labels.cend(), [](const auto &a, const auto &b) {
                  return a.Group < b.Group;
              })->Group;
}

bool CMathStat::calcDiscriminant(bool iterate, bool resetMask)
{
    if (rows.isEmpty())
        return false;
    if (resetMask)
        featureMask = -1;
    count = rows.size();
    DiscriminantResult result;
    if (!fit(result))
        return false;
    if (iterate && rejectPresentations() && !fit(result))
        return false;
    if (resetMask && narrowMask(result) && !fit(result))
        return false;

    correlations = {result.rTotal};
    tValues = {result.tTotal};
    for (int j = 0; j < DiscriminantResult::featureCount; ++j) {
        correlations.append(result.featureR[size_t(j)]);
        tValues.append(result.featureT[size_t(j)]);
    }
    featureMask = int(result.mask.to_ulong());
    return true;
}

bool CMathStat::fit(DiscriminantResult &result)
{
    const DiscriminantResult::Mask mask(static_cast<unsigned long long>(static_cast<quint32>(featureMask)));
    if (!result.discriminate(rows, entries, mask)) {
        controlCount = 0;
        excludedCount = 0;
        return false;
    }
    controlCount = result.controlCount;
    excludedCount = result.excludedCount;
    scores = result.scores;
    quality = result.quality;
    return true;
}

// A presentation whose control questions all score negative is taken as
// failed: marked rejected in its plan and left out of the next fit.
bool CMathStat::rejectPresentations()
{
    bool rejected = false;
    for (int first = 0; first < entries.size();) {
        int end = first + 1;
        while (end < entries.size() && entries[end].globalGroup == entries[first].globalGroup)
            ++end;
        if (controlsAllNegative(first, end)) {
            reject(first, end);
            rejected = true;
        }
        first = end;
    }
    return rejected;
}

bool CMathStat::controlsAllNegative(int first, int end) const
{
    bool hasControl = false;
    for (int i = first; i < end; ++i) {
        if (entries.at(i).kind != StatEntry::Control)
            continue;
        if (scores.value(i) >= 0.0)
            return false;
        hasControl = true;
    }
    return hasControl;
}

void CMathStat::reject(int first, int end)
{
    Inspection::_Test *test = inspection ? inspection->testWithId(entries.at(first).testId) : nullptr;
    if (Inspection::_Order *presentation = test ? test->findOrder(entries.at(first).group, -1) : nullptr)
        presentation->State |= StateRejected;
    for (int i = first; i < end; ++i) {
        entries[i].kind = StatEntry::Excluded;
        if (Inspection::_Order *own = test ? test->findOrder(entries[i].group, entries[i].quest) : nullptr)
            own->State |= StateExcluded;
    }
}

// Drops the features whose t falls below a fifth of the quality; true when any left.
bool CMathStat::narrowMask(const DiscriminantResult &result)
{
    DiscriminantResult::Mask mask = result.mask;
    for (int j = 0; j < DiscriminantResult::featureCount; ++j) {
        if (result.featureT[size_t(j)] < 0.2 * result.quality)
            mask.reset(size_t(j));
    }
    featureMask = int(mask.to_ulong());
    return mask != result.mask;
}

int CMathStat::findEntry(const QUuid &testId, int group, int quest) const
{
    for (int i = 0; i < entries.size(); ++i) {
        const StatEntry &entry = entries.at(i);
        if (entry.testId == testId && entry.group == group && entry.quest == quest)
            return i;
    }
    return -1;
}

double CMathStat::valueAt(int t, int p, int q) const
{
    const Inspection::_Test *test = inspection && !scores.isEmpty() ? inspection->test(t) : nullptr;
    const int index = test ? findEntry(test->id, p + 1, q) : -1;
    return index >= 0 && index < scores.size() ? scores.at(index) : 0.0;
}

double CMathStat::questMean(int t, int q) const
{
    Inspection::_Test *test = inspection && !scores.isEmpty() ? inspection->test(t) : nullptr;
    if (!test)
        return 0.0;
    int firstIndex = -1;
    for (int i = 0; i < entries.size(); ++i) {
        if (entries.at(i).testId != test->id)
            continue;
        if (firstIndex < 0)
            firstIndex = i;
        if (entries.at(i).quest == q)
            return questValue(test, q, firstIndex, scores);
    }
    return 0.0;
}

// The test's entries stand together in label order from firstIndex on, so
// label k scored as scores[firstIndex + k].
double CMathStat::questValue(Inspection::_Test *test, int q, int firstIndex, const QVector<double> &scores) const
{
    double sum = 0.0;
    int counted = 0;
    for (int k = 0; k < test->labels.size(); ++k) {
        const Inspection::_Label &label = test->labels.at(k);
        if (label.Theme != q)
            continue;
        const Inspection::_Order *presentation = test->findOrder(label.Group, -1);
        if ((presentation && (presentation->State & (StateSkipped | StateRejected)))
            || test->valuationBall_GroupsDisabled.contains(label.Group))
            continue;
        if (firstIndex + k < scores.size()) {
            sum += scores.at(firstIndex + k);
            ++counted;
        }
    }
    return counted ? sum / counted : 0.0;
}
