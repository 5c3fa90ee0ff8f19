#pragma once

// Recorded tests from the benchmarks' builder with the question kinds and
// presentation counts a tree test needs, and readers of the trees' items.
#include "bench/BenchExamination.h"
#include "tests/data/BallFixtures.h"

#include <QStandardItemModel>

#include <initializer_list>

namespace PointsTreeFixtures {

// A recorded test whose questions have the given kinds, presented n times.
inline Inspection::_Test kindsTest(std::initializer_list<int> kinds, int presentations, int n = 1)
{
    BenchTestShape shape;
    shape.questions = int(kinds.size());
    shape.presentations = presentations;
    shape.ticks = 20 * shape.questions * presentations;
    Inspection::_Test test = recordedTest(n, shape);
    int q = 0;
    for (int kind : kinds) {
        test.themis[q] = InspectionTheme(test.themis[q].Theme, kind);
        ++q;
    }
    return test;
}

// Neutral, control, neutral: a test the coefficients are written for.
inline Inspection::_Test coefficientTest(int presentations = 2, int n = 1)
{
    return kindsTest({QuestionKind::Neutral, QuestionKind::Control, QuestionKind::Neutral}, presentations, n);
}

inline QStandardItem *cell(QStandardItemModel &model, int test, int row, int column)
{
    QStandardItem *parent = model.item(test);
    return parent ? parent->child(row, column) : nullptr;
}

inline QString text(QStandardItem *item)
{
    return item ? item->text() : QStringLiteral("<none>");
}

// The item's text colour; invalid when none is set.
inline QColor foreground(QStandardItem *item)
{
    const QVariant brush = item ? item->data(Qt::ForegroundRole) : QVariant();
    return brush.isValid() ? brush.value<QBrush>().color() : QColor();
}

inline QStringList headers(QStandardItemModel &model)
{
    QStringList texts;
    for (int column = 0; column < model.columnCount(); ++column)
        texts << model.headerData(column, Qt::Horizontal).toString();
    return texts;
}

}  // namespace PointsTreeFixtures
