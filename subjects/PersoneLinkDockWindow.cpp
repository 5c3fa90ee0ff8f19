#include "PersoneLinkDockWindow.h"

#include "resources/VugResources.h"

#include <QApplication>
#include <QFileInfo>
#include <QListView>
#include <QMenu>
#include <QStandardItemModel>

PersoneLinkDockWindow::PersoneLinkDockWindow(QWidget *parent)
    : SubjectListDock(tr("Ярлыки выбранных обследуемых"), QStringLiteral("PersoneLinkDockWindow"), parent),
      m_model(new QStandardItemModel(this))
{
    QFont italic = QApplication::font();
    italic.setItalic(true);
    m_list->setFont(italic);
    m_list->setModel(m_model);
    setWidget(m_list);

    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &PersoneLinkDockWindow::onSelectionChanged);
}

void PersoneLinkDockWindow::clearSelection()
{
    const QSignalBlocker quiet(m_list->selectionModel());
    m_list->selectionModel()->clear();
    m_list->viewport()->update();
}

int PersoneLinkDockWindow::rowOf(const QString &path) const
{
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->item(row)->data(PathRole).toString() == path)
            return row;
    }
    return -1;
}

void PersoneLinkDockWindow::onSelectionChanged(const QModelIndex &current, const QModelIndex &)
{
    if (!current.isValid())
        return;
    m_list->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
    announce(current.data(PathRole).toString());
}

void PersoneLinkDockWindow::onCreatePersoneLinkAndVerify(QString file)
{
    if (file.isEmpty()) {
        // Removing rows moves no choice: the removed subjects are gone already.
        const QSignalBlocker quiet(m_list->selectionModel());
        for (int row = m_model->rowCount() - 1; row >= 0; --row) {
            if (!QFileInfo(m_model->item(row)->data(PathRole).toString()).isFile())
                m_model->removeRow(row);
        }
        return;
    }
    const int row = rowOf(file);
    if (row >= 0) {
        m_list->setCurrentIndex(m_model->index(row, 0));
        return;
    }
    auto *item = new QStandardItem(QFileInfo(file).completeBaseName());
    item->setData(file, PathRole);
    item->setToolTip(file);
    m_model->appendRow(item);
}

void PersoneLinkDockWindow::followRename(const QString &oldPath, const QString &newPath)
{
    if (oldPath.isEmpty() || newPath.isEmpty() || oldPath == newPath)
        return;
    const QString oldFolder = oldPath + QLatin1Char('/');
    for (int row = 0; row < m_model->rowCount(); ++row) {
        QStandardItem *item = m_model->item(row);
        const QString path = item->data(PathRole).toString();
        if (path != oldPath && !path.startsWith(oldFolder))
            continue;
        const QString moved = newPath + path.mid(oldPath.size());
        item->setText(QFileInfo(moved).completeBaseName());
        item->setData(moved, PathRole);
        item->setToolTip(moved);
    }
}

void PersoneLinkDockWindow::onActionDeleteItem()
{
    const QModelIndex current = m_list->currentIndex();
    if (!current.isValid())
        return;
    {
        const QSignalBlocker quiet(m_list->selectionModel());
        m_model->removeRow(current.row());
    }
    announceCurrent();
}

void PersoneLinkDockWindow::onActionDeleteAll()
{
    {
        const QSignalBlocker quiet(m_list->selectionModel());
        m_model->removeRows(0, m_model->rowCount());
    }
    announceCurrent();
}

void PersoneLinkDockWindow::announceCurrent()
{
    const QModelIndex current = m_list->currentIndex();
    if (current.isValid())
        onSelectionChanged(current, QModelIndex());
    else
        emit notificationChangedPerosneSignal(QString(), QString(), nullptr);
}

QMenu *PersoneLinkDockWindow::createContextMenu(const QPoint &pos)
{
    QMenu *menu = SubjectListDock::createContextMenu(pos);
    menu->addSeparator();
    menu->addAction(VugImages::icon(QStringLiteral("iconDelete.png")), tr("Удалить ярлык из списка"), this,
                    &PersoneLinkDockWindow::onActionDeleteItem)
        ->setEnabled(m_list->indexAt(pos).isValid());
    menu->addAction(tr("Удалить все ярлыки из списка"), this, &PersoneLinkDockWindow::onActionDeleteAll);
    return menu;
}
