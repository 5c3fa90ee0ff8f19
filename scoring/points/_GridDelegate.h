#pragma once

#include <QStyledItemDelegate>

class ScoringTreeHost;

// The scoring tree's delegate: hover only on scoring cells, the channel
// weight beside each channel row's name, and a dark blue frame round every
// selected cell.
class _GridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit _GridDelegate(const ScoringTreeHost *host, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Whether a cell under the mouse shows as hovered.
    bool keepsHover(const QModelIndex &index) const;
    // The text of a channel weight, "(x1.5)  " for 1.5.
    static QString weightText(float weight);

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    bool isScoringCell(const QModelIndex &index) const;
    void paintWeight(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    static void paintSelectionFrame(QPainter *painter, const QRect &cell);

    const ScoringTreeHost *m_host;
};
