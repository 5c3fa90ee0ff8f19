#pragma once

#include "SpravItemDelegate.h"

// The questions dock's delegate: a question shows its kind's marker in the
// kind colour in a column as wide as "000" before its text.
class SpravQuestItemDelegate : public SpravItemDelegate
{
    Q_OBJECT
public:
    SpravQuestItemDelegate(SpravDockWindow *dock, QObject *parent);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

    static int markerWidth(const QFontMetrics &metrics);
};
