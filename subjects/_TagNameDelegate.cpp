#include "_TagNameDelegate.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>

QWidget *_TagNameDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        static const QRegularExpression allowed(QStringLiteral("[^/\\t\\r\\n]*"));
        line->setValidator(new QRegularExpressionValidator(allowed, line));
    }
    return editor;
}
