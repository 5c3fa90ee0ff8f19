#include "MetricAutoMeasure.h"

#include "DefMertValuation.h"

#include "data/ChannelSearchSeries.h"
#include "data/SignalAnalysis.h"

#include <QPointF>

#include <algorithm>
#include <iterator>
#include <optional>

namespace {

// The searches work above zero: the series carry this offset.
constexpr int kSearchOffset = 10000;
// A swing at least this large (on the 12-bit scale) is never the weakest.
constexpr int kSwingLimit = 10000;
// Samples the filtered series are moved back, for the filters' delay.
constexpr int kPulseShift = 3;
constexpr int kBreathShift = 10;
constexpr int kTicksPerSecond = 20;

const QUuid kGsrAmplitude1(QStringLiteral("{6BC758B1-4A20-4CBE-AD79-4ACCD2CD7B78}"));
const QUuid kGsrAmplitude2(QStringLiteral("{79A8C7E7-4909-450C-B2FB-DD69B2783CB0}"));
const QUuid kGsrAmplitude3(QStringLiteral("{134CB664-9903-4DFB-A350-E8B9E2948A27}"));

const QUuid kFall1[] = {QUuid(QStringLiteral("{D2242112-BADE-47D0-ACCF-84D12A6412CB}")),
                        QUuid(QStringLiteral("{DD4D168E-B792-41E6-9999-E47B63BC34E6}"))};
const QUuid kFall2[] = {QUuid(QStringLiteral("{0B2C3ACD-FD64-44A3-99BD-0C9F5353ED10}")),
                        QUuid(QStringLiteral("{66AF6B44-B57F-440D-9FF4-E0E0C84EAF78}"))};
const QUuid kRise1(QStringLiteral("{F3C678E3-1114-45F3-B00A-8C7D2E7F1ACE}"));
const QUuid kRise2(QStringLiteral("{33E31326-45F6-47CE-8408-E26C05770DD0}"));
const QUuid kPulseAmplitudeMin[] = {QUuid(QStringLiteral("{23406892-9FD5-4387-94B5-91EE5761CD32}")),
                                    QUuid(QStringLiteral("{4BCE510A-2F38-4C2E-A83B-13A9B23AB80D}")),
                                    QUuid(QStringLiteral("{83629888-CA08-41BD-A8B6-840E80DA96A2}"))};

enum class BreathKind { Period2, Period25, Period3, AmplitudeMin };

// The breathing parameters searched on the filtered channel; the others are lengths.
struct BreathRow {
    const char *uid;
    BreathKind kind;
    bool fromEnd;  // searched from the question's end over the analysis interval
};

const BreathRow breathRows[] = {
    {"{597A6598-DF4B-47FB-BED0-73AD57C2F07B}", BreathKind::Period2, false},
    {"{3A726F51-222D-4948-B46B-AA7B3DBC790F}", BreathKind::Period2, true},
    {"{2D3CB20D-BA97-4651-8EB9-7FDC80F71D04}", BreathKind::Period25, false},
    {"{513B800F-3AE7-4BEE-8210-CF9E7F6C21FC}", BreathKind::Period25, true},
    {"{11B9A33A-27A3-4B81-91C9-1CD2E6EB2124}", BreathKind::Period3, false},
    {"{7AEC6EB4-7AA4-4E8E-9B62-B2E83ED6E0F8}", BreathKind::Period3, true},
    {"{A8B5F996-6299-4A45-BCAB-7F9C4D7BA90B}", BreathKind::AmplitudeMin, false},
    {"{F0FCF1B4-ABC3-4CA8-888F-ED25FF02FB07}", BreathKind::Period2, false},
    {"{D70AC23B-DE94-4B11-BB6A-A221A1F9918B}", BreathKind::Period2, true},
    {"{0806411A-AD7A-4F77-993C-9A53E301179E}", BreathKind::Period25, false},
    {"{6022D88F-D778-40D6-8670-F67C0746C5D8}", BreathKind::Period25, true},
    {"{82D923FD-FCC7-4280-B558-688B24588F32}", BreathKind::Period3, false},
    {"{86E5D2BB-9974-49A9-B103-847E8512CB43}", BreathKind::Period3, true},
    {"{714E1803-32BF-43EB-B3F3-EE0C0938FC86}", BreathKind::AmplitudeMin, false},
};

const BreathRow *breathRow(const QUuid &uid)
{
    for (const BreathRow &row : breathRows) {
        if (QUuid(QLatin1String(row.uid)) == uid)
            return &row;
    }
    return nullptr;
}

template <size_t N>
bool isOneOf(const QUuid &uid, const QUuid (&list)[N])
{
    return std::find(std::begin(list), std::end(list), uid) != std::end(list);
}

struct Measurement {
    QPointF first;
    QPointF second;
    qint32 value = 0;
};
// Empty when the measurement cannot be made: the zero record.
using Result = std::optional<Measurement>;

Result byDistance(const QPointF &first, const QPointF &second)
{
    return Measurement{first, second, pointDistance(first, second)};
}

// The search window of a mark: from position start, len samples.
struct Window {
    int start = 0;
    int len = 0;
};

Window questionWindow(const Inspection::_Label &mark, int ia)
{
    return {mark.TickQStart, mark.TickQEnd - mark.TickQStart + ia};
}

bool recorded(const QVector<qint16> &samples, qint64 position)
{
    return position >= 0 && position < samples.size();
}

// The first position of the smallest value over from … to, clamped to the
// samples; -1 when nothing is left.
int lowestIn(const QVector<qint16> &series, int from, int to)
{
    from = std::max(from, 0);
    to = std::min(to, series.size() - 1);
    int lowest = -1;
    for (int i = from; i <= to; ++i) {
        if (lowest < 0 || series[i] < series[lowest])
            lowest = i;
    }
    return lowest;
}

void store(Inspection::_Test &test, const Inspection::_Label &mark, const QUuid &uid, const Result &result)
{
    Inspection::_MetricValuation record;
    record.iGroup = mark.Group;
    record.iQuest = mark.Theme;
    record.uidParam = uid;
    if (result) {
        record.ptStart_x = result->first.x();
        record.ptStart_y = result->first.y();
        record.ptEnd_x = result->second.x();
        record.ptEnd_y = result->second.y();
        record.nValue = result->value;
    }
    test.valuationMetric[mark.Group][mark.Theme][uid] = record;
}

template <typename Measure>
void measureMarks(Inspection::_Test &test, const QUuid &uid, Measure measure)
{
    const QVector<Inspection::_Label> marks = test.labels;
    for (const Inspection::_Label &mark : marks)
        store(test, mark, uid, measure(mark));
}

const QVector<qint16> &rawSamples(const Inspection::_Test &test, int code)
{
    static const QVector<qint16> none;
    const QVector<qint16> *samples = test.samples(code);
    return samples ? *samples : none;
}

Result gsrAmplitude(const QUuid &uid, const QVector<qint16> &raw, const QVector<qint16> &f, const Window &w)
{
    if (!recorded(raw, w.start))
        return {};
    const QVector<int> minima = findLocalMinima(f, w.start, w.len, 10, 2, ExtremumRunMiddle);
    const int k = MetricAutoMeasure::argMax(minima, f, w.start);
    if (k < 0 || minima[k] == 0)
        return {};
    const int p = minima[k];
    const QPointF top(p, raw[w.start + p]);
    int low = -1;
    if (uid == kGsrAmplitude1)
        low = w.start;
    else if (uid == kGsrAmplitude2)
        low = lowestIn(f, w.start, w.start + p - 1);
    else if (uid == kGsrAmplitude3)
        low = lowestIn(f, w.start + p, w.start + w.len - 1);
    if (low < 0)
        return {};
    return byDistance(top, QPointF(p, raw[low]));
}

// The weakest swing from a peak to a neighbouring valley, as a vertical window at the peak.
Result amplitudeMin(const QVector<qint16> &raw, int start, int off, const QVector<int> &peaks,
                    const QVector<int> &valleys, int limit)
{
    const MetricAutoMeasure::Swing swing = MetricAutoMeasure::weakestSwing(raw, start, peaks, valleys, limit);
    if (swing.p < 0)
        return {};
    const int m = peaks[swing.p];
    const int a = valleys[swing.q];
    return byDistance(QPointF(off + m, raw[start + m]), QPointF(off + m, raw[start + a]));
}

struct PulseInput {
    const QVector<qint16> &raw;
    const QVector<qint16> &g;
    int cycles;  // of a rate parameter, -1 for the others
    int swingLimit;
};

Result pulseRate(const PulseInput &in, const Window &w)
{
    QVector<int> peaks;
    const int rate = meanExtremaInterval(in.g, w.start, w.len, in.cycles, nullptr, &peaks);
    if (in.cycles < 0 || rate <= 0 || in.cycles >= peaks.size())
        return {};
    const double y = in.raw[w.start + peaks[0]];
    return Measurement{QPointF(peaks[0], y), QPointF(peaks[in.cycles], y), rate};
}

Result pulseMeasurement(const QUuid &uid, const PulseInput &in, const Window &w)
{
    const QVector<int> minima = findLocalMinima(in.g, w.start, w.len, 2, 1, ExtremumRunStart);
    const QVector<int> maxima = findLocalMaxima(in.g, w.start, w.len, 2, 1, ExtremumRunStart);
    if (minima.isEmpty() || maxima.isEmpty())
        return {};
    const auto rawAt = [&](int k) { return double(in.raw[w.start + maxima[k]]); };
    if (isOneOf(uid, kFall1) || isOneOf(uid, kFall2)) {
        const int k = MetricAutoMeasure::argMax(maxima, in.raw, w.start);
        const int j = isOneOf(uid, kFall1) ? 0 : MetricAutoMeasure::argMin(maxima, in.raw, w.start);
        return byDistance(QPointF(maxima[k], rawAt(k)), QPointF(maxima[k], rawAt(j)));
    }
    if (uid == kRise1 || uid == kRise2) {
        const int k = MetricAutoMeasure::argMax(maxima, in.g, w.start);
        const int j = uid == kRise1 ? 0 : MetricAutoMeasure::argMin(maxima, in.g, w.start);
        return byDistance(QPointF(maxima[k], rawAt(j)), QPointF(maxima[k], rawAt(k)));
    }
    if (isOneOf(uid, kPulseAmplitudeMin))
        return amplitudeMin(in.raw, w.start, 0, minima, maxima, in.swingLimit);
    return pulseRate(in, w);
}

Result breathLength(const QVector<qint16> &raw, const Inspection::_Label &mark, bool fromEnd, int seconds)
{
    const int origin = fromEnd ? mark.TickQEnd : mark.TickQStart;
    const int count = seconds * kTicksPerSecond;
    if (!recorded(raw, origin) || !recorded(raw, qint64(origin) + count))
        return {};
    const double y = raw[origin];
    const int x = origin - mark.TickQStart;
    return Measurement{QPointF(x, y), QPointF(x + count, y), sumAbsDifferences(raw, origin, count)};
}

// The x of a period's end, relative to the window; -1 when the row's needs are not met.
int periodEnd(BreathKind kind, const QVector<int> &minima, const QVector<int> &maxima)
{
    switch (kind) {
    case BreathKind::Period2:
        return minima.size() >= 3 && !maxima.isEmpty() ? minima[2] : -1;
    case BreathKind::Period25: {
        if (minima.size() < 3 || maxima.size() < 3)
            return -1;
        const auto after = std::find_if(maxima.cbegin(), maxima.cend(), [&](int m) { return m > minima[2]; });
        return after == maxima.cend() ? -1 : *after;
    }
    case BreathKind::Period3:
        return minima.size() >= 4 && maxima.size() >= 3 ? minima[3] : -1;
    case BreathKind::AmplitudeMin:
        break;
    }
    return -1;
}

Result breathSearched(const BreathRow &row, const QVector<qint16> &raw, const QVector<qint16> &b,
                      const Inspection::_Label &mark, int ia, int swingLimit)
{
    const Window w = row.fromEnd ? Window{mark.TickQEnd, ia} : questionWindow(mark, ia);
    const int off = w.start - mark.TickQStart;
    const QVector<int> minima = findLocalMinima(b, w.start, w.len, 12, 3, ExtremumRunMiddle);
    const QVector<int> maxima = findLocalMaxima(b, w.start, w.len, 12, 3, ExtremumRunMiddle);
    if (row.kind == BreathKind::AmplitudeMin)
        return amplitudeMin(raw, w.start, off, minima, maxima, swingLimit);
    const int end = periodEnd(row.kind, minima, maxima);
    if (end < 0 || off + minima[0] < 0 || off + end < 0)
        return {};
    const double y = raw[w.start + minima[0]];
    return byDistance(QPointF(off + minima[0], y), QPointF(off + end, y));
}

int swingLimit(const Inspection::_Test &test)
{
    return kSwingLimit * channelSearchDivisor(test);
}

}  // namespace

void MetricAutoMeasure::measureTest(const Params &params, Inspection::_Test &test)
{
    for (const Inspection::_MetricParam &param : DefMertValuation::autoParams(params)) {
        if (!param.bEnable)
            continue;
        switch (param.nKodChannel) {
        case 0:
            calcParamsGSR(test, param);
            break;
        case 2:
        case 3:
            calcParamsBreath(test, param);
            break;
        case 4:
        case 7:
        case 9:
            calcParamsPulse(test, param);
            break;
        default:
            break;
        }
    }
}

void MetricAutoMeasure::calcParamsGSR(Inspection::_Test &test, const Inspection::_MetricParam &param)
{
    const QVector<qint16> &raw = rawSamples(test, param.nKodChannel);
    const QVector<qint16> f = channelSearchSeries(test, param.nKodChannel, SeriesFilter::None, 0, kSearchOffset);
    const int ia = test.ia.lengthTicks();
    measureMarks(test, param.uid, [&](const Inspection::_Label &mark) {
        return gsrAmplitude(param.uid, raw, f, questionWindow(mark, ia));
    });
}

void MetricAutoMeasure::calcParamsPulse(Inspection::_Test &test, const Inspection::_MetricParam &param)
{
    int cycles = -1;
    const DefMertValuation::Family family = param.nKodChannel == 7   ? &DefMertValuation::pulseAD
                                            : param.nKodChannel == 4 ? &DefMertValuation::pulsePG
                                                                     : &DefMertValuation::pulsePGExtra;
    family(&param.uid, &cycles);
    const QVector<qint16> g =
        channelSearchSeries(test, param.nKodChannel, SeriesFilter::LowPassA, kPulseShift, kSearchOffset);
    const PulseInput in{rawSamples(test, param.nKodChannel), g, cycles, swingLimit(test)};
    const int ia = test.ia.lengthTicks();
    measureMarks(test, param.uid, [&](const Inspection::_Label &mark) {
        return pulseMeasurement(param.uid, in, questionWindow(mark, ia));
    });
}

void MetricAutoMeasure::calcParamsBreath(Inspection::_Test &test, const Inspection::_MetricParam &param)
{
    const QVector<qint16> &raw = rawSamples(test, param.nKodChannel);
    const int ia = test.ia.lengthTicks();
    if (const BreathRow *row = breathRow(param.uid)) {
        const QVector<qint16> b =
            channelSearchSeries(test, param.nKodChannel, SeriesFilter::LowPassB, kBreathShift, kSearchOffset);
        const int limit = swingLimit(test);
        measureMarks(test, param.uid, [&](const Inspection::_Label &mark) {
            return breathSearched(*row, raw, b, mark, ia, limit);
        });
        return;
    }
    const bool lower = param.nKodChannel == 2;
    int seconds = -1;
    (lower ? DefMertValuation::lengthLowBreathStart : DefMertValuation::lengthUpBreathStart)(&param.uid, &seconds);
    const bool fromEnd = seconds < 0;
    if (fromEnd)
        (lower ? DefMertValuation::lengthLowBreathEnd : DefMertValuation::lengthUpBreathEnd)(&param.uid, &seconds);
    measureMarks(test, param.uid, [&](const Inspection::_Label &mark) {
        return seconds < 0 ? Result() : breathLength(raw, mark, fromEnd, seconds);
    });
}

int MetricAutoMeasure::firstBetween(const QVector<int> &list, int a, int b)
{
    const int low = std::min(a, b);
    const int high = std::max(a, b);
    for (int k = 0; k < list.size(); ++k) {
        if (list[k] > low && list[k] < high)
            return k;
    }
    return -1;
}

int MetricAutoMeasure::argMax(const QVector<int> &list, const QVector<qint16> &series, int start)
{
    int best = -1;
    for (int k = 0; k < list.size(); ++k) {
        if (best < 0 || series[start + list[k]] > series[start + list[best]])
            best = k;
    }
    return best;
}

int MetricAutoMeasure::argMin(const QVector<int> &list, const QVector<qint16> &series, int start)
{
    int best = -1;
    for (int k = 0; k < list.size(); ++k) {
        if (best < 0 || series[start + list[k]] < series[start + list[best]])
            best = k;
    }
    return best;
}

MetricAutoMeasure::Swing MetricAutoMeasure::weakestSwing(const QVector<qint16> &series, int start,
                                                         const QVector<int> &p, const QVector<int> &q, int limit)
{
    Swing weakest;
    int best = limit;
    for (int i = 1; i + 1 < p.size(); ++i) {
        const int a1 = firstBetween(q, p[i - 1], p[i]);
        const int a2 = firstBetween(q, p[i], p[i + 1]);
        if (a1 < 0 || a2 < 0)
            continue;
        const int top = series[start + p[i]];
        const int d1 = top - series[start + q[a1]];
        const int d2 = top - series[start + q[a2]];
        if (d1 < best || d2 < best) {
            const bool second = d2 < d1;
            best = second ? d2 : d1;
            weakest = {i, second ? a2 : a1};
        }
    }
    return weakest;
}
