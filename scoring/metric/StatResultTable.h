#pragma once

#include "CMathStat.h"

#include <QStringList>

#include <array>

class QStandardItem;
class QStandardItemModel;

// The statistics window's table: for every question of every recorded test
// its statistical score, its points in the three scales and its weighted
// metric sum, each question followed by its presentations. Needs no window.
class StatResultTable
{
public:
    enum Column {
        NamesColumn,
        StatisticalColumn,
        Ball3210123Column,
        Ball101Column,
        Ball012Column,
        MetricColumn,
        EmptyColumn,
        ColumnCount
    };
    // A presentation cell's place: test index, presentation number from 1,
    // question index and its column counted from 1, one byte each.
    static constexpr int PlaceRole = Qt::UserRole + 1;

    explicit StatResultTable(Inspection &inspection);

    static QStringList headers();

    // The statistical scoring of the whole examination; reads the recordings
    // that are not in memory yet. False, with nothing scored, when one cannot
    // be read: unread() names them, unreadResult() says why.
    bool score();
    const QStringList &unread() const { return m_stat.unread; }
    const StoreResult &unreadResult() const { return m_stat.unreadResult; }
    // The points and metric sums of every recorded test, from the values that
    // came with the recordings score read.
    void sum();
    // A new table of what score and sum found; the caller owns it.
    QStandardItemModel *model() const;

    double quality() const { return m_stat.quality; }

    // A digest of everything a table of the examination is computed from:
    // questions, marks, intervals, points and weights, measured values and
    // metric parameters. Equal digests give equal tables.
    static QByteArray inputsDigest(const Inspection &inspection);

private:
    using PresentationValues = std::array<double, 4>;  // columns 1-4
    struct QuestionRow {
        std::array<double, 5> values{};  // columns 1-5
        QVector<PresentationValues> presentations;
    };
    struct TestRows {
        int index = 0;
        double low = 0.0;
        double high = 0.0;
        QVector<QuestionRow> questions;
    };

    TestRows sumTest(int index, Inspection::_Test &test) const;
    QStandardItem *testItem(const TestRows &rows) const;
    QList<QStandardItem *> questionCells(const TestRows &rows, int quest) const;
    QList<QStandardItem *> presentationCells(const TestRows &rows, int quest, int presentation) const;
    QColor classColor(const TestRows &rows, int column, double value) const;

    Inspection &m_inspection;
    CMathStat m_stat;
    QVector<TestRows> m_tests;
};
