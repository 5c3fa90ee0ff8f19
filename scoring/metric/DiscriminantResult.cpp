#include "DiscriminantResult.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace {

constexpr int m = DiscriminantResult::featureCount;
// Below this a presentation's deviation is taken as this, so a feature that
// barely moves within a presentation does not blow up.
constexpr double minimumGroupDeviation = 0.0001;
constexpr double minimumScoreDeviation = 0.0001;
constexpr double minimumNorm = 0.00001;
constexpr double tCeiling = 99.0;
// Below these a weight's quotient is 0/0 (collinear features) or undefined.
constexpr double collinear = 1e-9;
// The total's deviation where its correlation is all but perfect, √0.001 (as
// for r² = 0.999), so its t stays finite; the digits stored results were made with.
constexpr double nearPerfectDeviation = 0.031622776601683805;

struct Spread {
    double mean = 0.0;
    double deviation = 0.0;  // population standard deviation
};

// Two passes, the mean taken around the first value: equal values give
// exactly that mean and a deviation of exactly 0, however many they are.
Spread spreadOf(const std::vector<double> &values)
{
    Spread spread;
    if (values.empty())
        return spread;
    const double first = values.front();
    double shift = 0.0;
    for (double value : values)
        shift += value - first;
    spread.mean = first + shift / double(values.size());
    double squares = 0.0;
    for (double value : values)
        squares += (value - spread.mean) * (value - spread.mean);
    spread.deviation = std::sqrt(squares / double(values.size()));
    return spread;
}

std::vector<double> column(const QVector<DiscriminantResult::Row> &table, int feature,
                           const std::vector<int> &members)
{
    std::vector<double> values;
    values.reserve(members.size());
    for (int i : members)
        values.push_back(table[i][size_t(feature)]);
    return values;
}

// In units of the deviation about the mean; all 0 when the deviation is 0 or
// below the minimum.
std::vector<double> standardized(const std::vector<double> &values, double minimumDeviation)
{
    const Spread spread = spreadOf(values);
    std::vector<double> s(values.size(), 0.0);
    if (spread.deviation > 0.0 && spread.deviation >= minimumDeviation) {
        for (size_t i = 0; i < values.size(); ++i)
            s[i] = (values[i] - spread.mean) / spread.deviation;
    }
    return s;
}

double dot(const std::vector<double> &a, const std::vector<double> &b)
{
    return std::inner_product(a.cbegin(), a.cend(), b.cbegin(), 0.0);
}

// The feature's t as a ranking measure: |r| over its deviation, with the
// deviation held at 0.1 for nearly perfect correlations.
double tOf(double r, double a)
{
    const double d = r * r > 0.99 ? 0.10000000000000005 : std::sqrt(1.0 - r * r);
    return std::min(std::abs(r) * a / d, tCeiling);
}

// Features by falling t; equal t keep their index order.
std::array<int, m> ranked(DiscriminantResult::Row t)
{
    std::array<int, m> order{};
    for (int &next : order) {
        int best = 0;
        for (int candidate = 1; candidate < m; ++candidate) {
            if (t[size_t(candidate)] > t[size_t(best)])
                best = candidate;
        }
        next = best;
        t[size_t(best)] = -1.0;
    }
    return order;
}

// Weight of a feature of correlation rf joining a composite of correlation R
// with which it correlates by c.
double joiningWeight(double rf, double R, double c)
{
    if (rf == 0.0 || std::abs(R) < collinear)
        return 0.0;
    const double q = rf / R;
    if (std::abs(1.0 - q * c) < collinear)
        return 0.0;
    return ((1.0 - c / q) * q) / (1.0 - q * c);
}

}  // namespace

// The entries that the fit learns from (all but the excluded ones) and their
// class as 1 for control, 0 for the others.
struct DiscriminantResult::Fitting {
    std::vector<int> members;
    std::vector<double> y;
    double sp = 0.0;  // deviation of y

    double count() const { return double(members.size()); }
    double correlation(const std::vector<double> &s) const { return dot(s, y) / count() / sp; }
};

QVector<DiscriminantResult::Row> DiscriminantResult::standardizeByGroup(const QVector<Row> &rows,
                                                                        const QVector<StatEntry> &entries,
                                                                        Mask mask)
{
    QHash<qint32, std::vector<int>> groups;
    for (int i = 0; i < rows.size(); ++i)
        groups[entries[i].globalGroup].push_back(i);

    QVector<Row> z(rows.size(), Row{});
    for (const std::vector<int> &members : qAsConst(groups)) {
        for (int j = 0; j < m; ++j) {
            if (!mask.test(size_t(j)))
                continue;
            const std::vector<double> values = column(rows, j, members);
            const Spread spread = spreadOf(values);
            const double deviation = std::max(spread.deviation, minimumGroupDeviation);
            for (size_t k = 0; k < members.size(); ++k)
                z[members[k]][size_t(j)] = (values[k] - spread.mean) / deviation;
        }
    }
    return z;
}

bool DiscriminantResult::discriminate(const QVector<Row> &rows, const QVector<StatEntry> &entries, Mask mask)
{
    this->mask = mask;
    const int n = rows.size();
    if (n == 0 || entries.size() != n)
        return false;
    const auto ofKind = [&entries](qint32 kind) {
        return int(std::count_if(entries.cbegin(), entries.cend(),
                                 [kind](const StatEntry &entry) { return entry.kind == kind; }));
    };
    const int K = ofKind(StatEntry::Control);
    const int E = ofKind(StatEntry::Excluded);
    if (K == 0 || K + E == n)
        return false;

    const QVector<Row> z = standardizeByGroup(rows, entries, mask);
    Fitting fitting;
    for (int i = 0; i < n; ++i) {
        if (entries[i].kind == StatEntry::Excluded)
            continue;
        fitting.members.push_back(i);
        fitting.y.push_back(entries[i].kind == StatEntry::Control ? 1.0 : 0.0);
    }
    const double p = K / fitting.count();
    fitting.sp = std::sqrt(p - p * p);

    std::array<std::vector<double>, m> s;
    for (int j = 0; j < m; ++j) {
        s[size_t(j)] = standardized(column(z, j, fitting.members), 0.0);
        featureR[size_t(j)] = fitting.correlation(s[size_t(j)]);
        featureT[size_t(j)] = tOf(featureR[size_t(j)], 1.0 / fitting.sp);
    }
    order = ranked(featureT);
    combine(fitting, s);

    const double dTotal = rTotal * rTotal > 0.999 ? nearPerfectDeviation : std::sqrt(1.0 - rTotal * rTotal);
    tTotal = std::abs(rTotal) / fitting.sp / dTotal;
    score(z);
    controlCount = K;
    excludedCount = E;
    quality = 0.5 * tTotal / std::sqrt(0.25 * tTotal * tTotal + 1.0);
    return true;
}

// Greedy: the features join the composite in order of t, each with the weight
// that best raises the composite's correlation with the class; the composite
// is kept at unit deviation, and the coefficients with it.
void DiscriminantResult::combine(const Fitting &fitting, const std::array<std::vector<double>, m> &s)
{
    weights = Row{};
    weights[size_t(order[0])] = 1.0;
    std::vector<double> S = s[size_t(order[0])];
    double R = featureR[size_t(order[0])];
    for (int k = 1; k < m; ++k) {
        const size_t f = size_t(order[size_t(k)]);
        const double w = joiningWeight(featureR[f], R, dot(s[f], S) / fitting.count());
        for (size_t i = 0; i < S.size(); ++i)
            S[i] += s[f][i] * w;
        weights[f] += w;
        const double rho = std::max(minimumNorm, std::sqrt(dot(S, S) / fitting.count()));
        R = fitting.correlation(S) / rho;
        for (double &value : S)
            value /= rho;
        for (double &weight : weights)
            weight /= rho;
    }
    rTotal = R;
}

// Every entry, the excluded ones too, on the composite of the features
// standardised over all entries, at unit norm, positive towards control.
void DiscriminantResult::score(const QVector<Row> &z)
{
    const int n = z.size();
    std::vector<int> all(static_cast<size_t>(n));
    std::iota(all.begin(), all.end(), 0);
    std::vector<double> S(size_t(n), 0.0);
    for (int j = 0; j < m; ++j) {
        const double weight = weights[size_t(j)];
        if (weight == 0.0)
            continue;
        const std::vector<double> s = standardized(column(z, j, all), minimumScoreDeviation);
        for (int i = 0; i < n; ++i)
            S[size_t(i)] += s[size_t(i)] * weight;
    }
    const double norm = std::max(minimumNorm, std::sqrt(dot(S, S) / n));
    const double sign = rTotal > 0.0 ? 1.0 : rTotal < 0.0 ? -1.0 : 0.0;
    scores.resize(n);
    for (int i = 0; i < n; ++i)
        scores[i] = S[size_t(i)] / norm * sign;
}
