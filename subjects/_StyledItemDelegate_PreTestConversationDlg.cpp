#include "_StyledItemDelegate_PreTestConversationDlg.h"

#include "data/InspectionMedia.h"

_StyledItemDelegate_PreTestConversationDlg::_StyledItemDelegate_PreTestConversationDlg(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

QString _StyledItemDelegate_PreTestConversationDlg::displayText(const QVariant &value, const QLocale &locale) const
{
    // The stamp sits just before ".avi": a subject name may hold dots of its own.
    const QString stamp = InspectionMedia::timeStampOf(value.toString());
    if (stamp.isEmpty())
        return QStyledItemDelegate::displayText(value, locale);
    return QStringLiteral("%1.%2.%3 %4:%5:%6")
        .arg(stamp.mid(0, 2), stamp.mid(2, 2), stamp.mid(4, 4), stamp.mid(8, 2), stamp.mid(10, 2), stamp.mid(12, 2));
}

void _StyledItemDelegate_PreTestConversationDlg::initStyleOption(QStyleOptionViewItem *option,
                                                                  const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->icon = QIcon();
    option->decorationSize = QSize();
    option->features &= ~QStyleOptionViewItem::HasDecoration;
}
