#include "SignalAnalysis.h"

#include <QtMath>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

const int kRunThreshold = 12046;

// One search for both directions: peaks are valleys of the negated signal.
class ExtremumSearch
{
public:
    ExtremumSearch(const QVector<qint16> &samples, int sign, int halfWidth, int tolerance)
        : m_x(samples), m_sign(sign), m_w(std::max(halfWidth, 0)), m_t(tolerance)
    {
    }

    QVector<int> run(int start, int count, int mode) const
    {
        QVector<int> found;
        const int size = m_x.size();
        const int end = int(std::min<qint64>(count, qint64(size) - start));
        int run = 0;
        for (int i = std::max(0, -start); i < end;) {
            const int p = start + i;
            if (value(p) < -kRunThreshold) {
                ++run;
                ++i;
                continue;
            }
            if (run > 0)
                found.append(i - run / 2);
            run = 0;
            if (!qualifies(p)) {
                ++i;
                continue;
            }
            if (mode == ExtremumRunStart) {
                found.append(i);
            } else if (mode == ExtremumRunMiddle) {
                int q = p;
                while (q + m_w < size - 1 && qualifies(q))
                    ++q;
                found.append(i + (q - p) / 2);
            }
            i += m_w + 1;
        }
        return found;
    }

private:
    int value(int p) const { return m_sign * int(m_x[p]); }

    // A sample whose comparison window leaves the array is never an extremum.
    bool qualifies(int p) const
    {
        if (p - m_w < 0 || p + m_w >= m_x.size())
            return false;
        const int v = value(p);
        return v < value(p - m_w) - m_t && v < value(p + m_w) - m_t;
    }

    const QVector<qint16> &m_x;
    const int m_sign;
    const int m_w;
    const int m_t;
};

}  // namespace

int sumAbsDifferences(const QVector<qint16> &samples, int start, int count)
{
    const qint64 first = std::max(start, 1);
    const qint64 last = std::min(qint64(start) + count - 1, qint64(samples.size()) - 1);
    qint64 sum = 0;
    for (qint64 i = first; i <= last; ++i)
        sum += qAbs(int(samples[int(i)]) - int(samples[int(i - 1)]));
    return int(std::min<qint64>(sum, INT_MAX));
}

QVector<int> findLocalMaxima(const QVector<qint16> &samples, int start, int count, int halfWidth,
                             int tolerance, int mode)
{
    return ExtremumSearch(samples, 1, halfWidth, tolerance).run(start, count, mode);
}

QVector<int> findLocalMinima(const QVector<qint16> &samples, int start, int count, int halfWidth,
                             int tolerance, int mode)
{
    return ExtremumSearch(samples, -1, halfWidth, tolerance).run(start, count, mode);
}

int meanExtremaInterval(const QVector<qint16> &samples, int start, int length, int n,
                        QVector<int> *valleys, QVector<int> *peaks)
{
    const QVector<int> p = findLocalMinima(samples, start, length + 2, 4, 3, ExtremumRunMiddle);
    if (valleys)
        *valleys = findLocalMaxima(samples, start, length + 2, 4, 3, ExtremumRunMiddle);
    if (peaks)
        *peaks = p;

    int distances = p.size() - 1;
    if (n >= 0)
        distances = std::min(distances, n);
    if (distances <= 0)
        return 0;
    qint64 sum = 0;
    for (int k = 1; k <= distances; ++k)
        sum += p[k] - p[k - 1];
    const double meanTicks = double(sum) / distances;
    const double rate = 60000.0 / (meanTicks * 50.0);
    return std::isfinite(rate) && rate > 0.0 ? int(rate) : 0;
}

int pointDistance(const QPointF &a, const QPointF &b)
{
    const double dx = a.x() - b.x();
    const double dy = a.y() - b.y();
    const int d = int(std::sqrt(dx * dx + dy * dy));
    return a.x() == b.x() ? d / 10 : d;
}

int toPerMinute(qint16 value)
{
    return value == 0 ? 0 : int(value / 1000.0 * 60.0);
}
