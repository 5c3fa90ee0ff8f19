#pragma once

#include <QColor>
#include <QHeaderView>
#include <QMap>

// The results header: a thin bar in a colour along the bottom of each marked
// section, telling the sign of that parameter's weight.
class _QHeaderView : public QHeaderView
{
    Q_OBJECT
public:
    explicit _QHeaderView(QWidget *parent = nullptr);
    ~_QHeaderView() override;

    // Replaces every bar; sections without a colour get none.
    void setSectionColours(const QMap<int, QColor> &colours);
    QColor sectionColour(int logicalIndex) const { return m_colours.value(logicalIndex); }  // for tests

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    QMap<int, QColor> m_colours;
};
