#pragma once

#include "data/Inspection.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QVector>

struct QuestKey;
class QStandardItem;
class QStandardItemModel;

// What the navigator and expert trees share: the recorded tests they show, in
// examination order (their marks and scores loaded when not in memory), the widest
// presentation count P, the test rows and the build against refresh. A refresh
// keeps the rows and rewrites the cells' values, so expansion and selection stay.
class ScoringTreeFill
{
public:
    // Loads the marks and scores the tests shown lack; a null examination shows no test.
    ScoringTreeFill(Inspection *examination, int scale);
    virtual ~ScoringTreeFill() = default;
    // What reading the marks gave, for the window to tell; Ok for an
    // examination never read from a file.
    StoreResult readResult() const { return m_read; }

    // A new model with its headers and every test row; the caller owns it.
    QStandardItemModel *build();
    // Rewrites the values of a model built for the same tests and columns;
    // false, leaving the model as it was, when it does not fit.
    bool refresh(QStandardItemModel &model);
    // The width a fresh build gives each column; -1 leaves a column as it is.
    virtual QVector<int> columnWidths() const = 0;

    int presentationColumns() const { return m_columns; }
    static QString channelCaption(int channel);

protected:
    // Cells, sums and child rows of one test, under its row item; the child
    // rows are made when missing and kept otherwise.
    virtual void fillTest(QStandardItem *row, int testIndex, const InspectionTest &test) = 0;
    // The headers after the presentation columns.
    virtual QStringList trailingHeaders() const = 0;
    // How many columns of a test row a fresh build shades after the name.
    virtual int shadedColumns() const = 0;
    virtual int childRows(const InspectionTest &test) const = 0;

    // What a cell shows; a brush of Qt::NoBrush sets no colour, an empty
    // tool tip none. Cells are never editable.
    struct CellLook {
        QString text;
        bool selectable = true;
        bool enabled = true;
        QBrush foreground;
        QBrush background;
        bool bold = false;
        QString toolTip;
    };

    // The scale map the window's scale reads; an empty one for a scale other than 0, 1 or 2.
    const BallValuationMap &scaleMap(const InspectionTest &test) const;
    int scale() const { return m_scale; }
    // The column-0 item of child row index, an empty one made when missing.
    static QStandardItem *childRow(QStandardItem *row, int index);
    // Shows the look in the cell at the column of the row, changing only what
    // differs, so the view hears of changed cells only. A missing cell is made,
    // carrying the key when one is given: keys follow from the place alone.
    static void putCell(QStandardItem *row, int column, const CellLook &look, const QuestKey *key = nullptr);
    static void clearCell(QStandardItem *row, int column);
    // An item that takes no part: neither selectable, editable nor enabled.
    static void makeInert(QStandardItem *item);
    static QFont boldFont();
    // The entry of a presentation and question as the map holds it, or a
    // default one (scores 0, in use) when it holds none; nothing is inserted.
    static const InspectionBallValuation &entryAt(const BallValuationMap &scale, int presentation, int quest);
    // One decimal (or digits), a point as separator, never "-0.0".
    static QString number(float value, int digits = 1);

private:
    static void dress(QStandardItem *item, const CellLook &look);
    QStandardItem *testItem(int testIndex) const;
    bool fits(QStandardItemModel &model) const;
    QStringList headers() const;

    Inspection *m_examination;
    int m_scale;
    StoreResult m_read = StoreResult::Ok;
    QVector<int> m_shown;
    int m_columns = 0;
};
