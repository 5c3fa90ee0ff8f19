#include "SpravQuestItemDelegate.h"

#include "data/QuestTypeColor.h"
#include "data/QuestionKindName.h"
#include "data/SpravDB.h"

#include <QPainter>

SpravQuestItemDelegate::SpravQuestItemDelegate(SpravDockWindow *dock, QObject *parent)
    : SpravItemDelegate(dock, parent)
{
}

namespace {

bool isQuestion(const QModelIndex &index)
{
    return !index.data(Qt::DecorationRole).isValid();
}

}  // namespace

int SpravQuestItemDelegate::markerWidth(const QFontMetrics &metrics)
{
    return metrics.horizontalAdvance(QStringLiteral("000"));
}

void SpravQuestItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                   const QModelIndex &index) const
{
    if (!isQuestion(index)) {
        SpravItemDelegate::paint(painter, option, index);
        return;
    }
    const int kind = index.data(SpravDB::KindRole).toInt();
    const int width = markerWidth(painter->fontMetrics());
    const QRect marker(QPoint(option.rect.left(), option.rect.top()),
                       QPoint(option.rect.left() + width - 1, option.rect.bottom()));
    painter->save();
    painter->setPen(questTypeColor(kind));
    painter->setBackgroundMode(Qt::OpaqueMode);
    painter->drawText(marker, Qt::AlignLeft | Qt::AlignVCenter, questionKindName(kind));
    painter->restore();
    QStyleOptionViewItem shifted(option);
    shifted.rect.setLeft(option.rect.left() + width);
    SpravItemDelegate::paint(painter, shifted, index);
}

void SpravQuestItemDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                                  const QModelIndex &index) const
{
    if (!isQuestion(index)) {
        SpravItemDelegate::updateEditorGeometry(editor, option, index);
        return;
    }
    QStyleOptionViewItem shifted(option);
    shifted.rect.setLeft(option.rect.left() + markerWidth(option.fontMetrics));
    SpravItemDelegate::updateEditorGeometry(editor, shifted, index);
}
