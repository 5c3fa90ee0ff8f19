#include "_TagNameDelegate.h"

#include "TagTreeText.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpressionValidator>
#include <QTimer>

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

void _TagNameDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    const auto *line = qobject_cast<QLineEdit *>(editor);
    if (!line || !line->text().trimmed().isEmpty()) {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    // Told once the editor is closed: a message box while it commits would
    // take its focus and have it commit again.
    const QString text =
        isTagFolder(index) ? tr("Имя папки не может быть пустым.") : tr("Имя ключа не может быть пустым.");
    QPointer<QWidget> view = editor->parentWidget();
    QTimer::singleShot(0, view, [view, text] {
        QMessageBox::warning(view, tr("Воркел"), text + QLatin1Char('\n') + tr("Прежнее имя сохранено."));
    });
}
