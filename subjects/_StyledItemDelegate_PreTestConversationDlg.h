#pragma once

#include <QStyledItemDelegate>

// Shows a pre-test recording by the date and time in its file name, without an icon.
class _StyledItemDelegate_PreTestConversationDlg : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit _StyledItemDelegate_PreTestConversationDlg(QObject *parent);

    QString displayText(const QVariant &value, const QLocale &locale) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
