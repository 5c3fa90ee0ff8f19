#include "_PersoneDock_FolderStyledItemDelegate.h"

#include "_PersoneDock_TreeView.h"
#include "resources/VugResources.h"

#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QSortFilterProxyModel>

namespace {

const int kSubjectExtensionLength = 4;  // ".qmz"

QString withoutExtension(const QString &name)
{
    return name.left(name.size() - kSubjectExtensionLength);
}

}  // namespace

PersoneDockWindow::_FolderStyledItemDelegate::_FolderStyledItemDelegate(QTreeView *tree, PersoneDockWindow *dock)
    : QStyledItemDelegate(dock), m_tree(tree), m_dock(dock)
{
}

QColor PersoneDockWindow::_FolderStyledItemDelegate::folderColour(int entry)
{
    const int a = (entry / 64) % 8;
    const int m = (entry / 8) % 8;
    const int k = entry % 8;
    return QColor((448 * a + 448 * k) % 255, (672 * a + 672 * m) % 255, (1088 * m + 1088 * k) % 255, 255);
}

QColor PersoneDockWindow::_FolderStyledItemDelegate::colourOf(const QModelIndex &sourceIndex)
{
    int depth = 0;
    for (QModelIndex up = sourceIndex.parent(); up.isValid(); up = up.parent())
        ++depth;
    // The entry itself counts as one step up to the invisible root.
    return folderColour((sourceIndex.row() + 100 * (depth + 1)) % 512);
}

bool PersoneDockWindow::_FolderStyledItemDelegate::isFolder(const QModelIndex &index) const
{
    return m_dock->isFolder(index);
}

bool PersoneDockWindow::_FolderStyledItemDelegate::isDataRoot(const QModelIndex &index) const
{
    return m_dock->isDataRoot(index);
}

// Swallows the keys that would put a separator into a name; dots are
// initials ("Петров П.П.").
bool PersoneDockWindow::_FolderStyledItemDelegate::eventFilter(QObject *object, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent *>(event)->text();
        if (text == QLatin1String("/") || text == QLatin1String("\\")) {
            event->accept();
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

void PersoneDockWindow::_FolderStyledItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                                         const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (index.data(Qt::ToolTipRole).toString().isEmpty() || isFolder(index))
        return;
    static const QPixmap icon(VugImages::path(QStringLiteral("Comment-icon.png")));
    const QRect square = _PersoneDock_TreeView::commentSquare(option.rect);
    painter->drawPixmap(square, icon.scaled(square.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void PersoneDockWindow::_FolderStyledItemDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *line = qobject_cast<QLineEdit *>(editor);
    if (!line) {
        QStyledItemDelegate::setEditorData(editor, index);
        return;
    }
    const QString name = index.data(QFileSystemModel::FileNameRole).toString();
    line->setText(isFolder(index) ? name : withoutExtension(name));
}

void PersoneDockWindow::_FolderStyledItemDelegate::setModelData(QWidget *editor, QAbstractItemModel *,
                                                                const QModelIndex &index) const
{
    if (auto *line = qobject_cast<QLineEdit *>(editor))
        m_dock->renameEntry(index, line->text());
}

void PersoneDockWindow::_FolderStyledItemDelegate::initStyleOption(QStyleOptionViewItem *option,
                                                                   const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (isDataRoot(index))
        return;
    const QModelIndex parent = index.parent();
    const bool parentIsRoot = isDataRoot(parent);
    if (!isFolder(index)) {
        option->icon = QIcon();
        option->features &= ~QStyleOptionViewItem::HasDecoration;
        option->text = withoutExtension(option->text);
        if (!parentIsRoot)
            setGradient(option, parent);
    } else if (m_tree->isExpanded(index) && index.model()->hasChildren(index)) {
        setGradient(option, index);
        option->font.setWeight(QFont::Bold);
    } else if (!parentIsRoot) {
        setGradient(option, parent);
    }
}

void PersoneDockWindow::_FolderStyledItemDelegate::setGradient(QStyleOptionViewItem *option,
                                                               const QModelIndex &folder) const
{
    if (!folder.isValid())
        return;
    const auto *proxy = static_cast<const QSortFilterProxyModel *>(folder.model());
    QLinearGradient gradient(0, 0, 2 * (m_tree->width() / 3 + 200), 200);
    gradient.setColorAt(0, Qt::white);
    gradient.setColorAt(1, colourOf(proxy->mapToSource(folder)));
    option->backgroundBrush = QBrush(gradient);
}
