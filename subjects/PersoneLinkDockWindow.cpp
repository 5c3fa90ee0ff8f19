#include "PersoneLinkDockWindow.h"

#include "DockSyncSetting.h"
#include "SubjectClipboard.h"
#include "data/ActivePopupMenu.h"
#include "data/Diagnostics.h"
#include "data/FileManager.h"
#include "resources/VugResources.h"

#include <QApplication>
#include <QFileInfo>
#include <QListView>
#include <QMenu>
#include <QScopedPointer>
#include <QShortcut>
#include <QStandardItemModel>

namespace {

const int kPathRole = Qt::UserRole + 1;
const QString kGroup = QStringLiteral("PersoneLinkDockWindow");

QIcon icon(const char *name)
{
    return QIcon(QStringLiteral(":/Pelmar/Images/") + QLatin1String(name));
}

}  // namespace

PersoneLinkDockWindow::PersoneLinkDockWindow(QWidget *parent)
    : QDockWidget(tr("Ярлыки выбранных обследуемых"), parent),
      m_list(new QListView),
      m_model(new QStandardItemModel(this))
{
    initVugResources();
    setObjectName(QStringLiteral("PersoneLinkDockWindow"));
    setStyleSheet(QStringLiteral("QDockWidget { font: bold }"));
    setFeatures(QDockWidget::DockWidgetMovable);

    m_list->setDragDropMode(QAbstractItemView::NoDragDrop);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    QFont italic = QApplication::font();
    italic.setItalic(true);
    m_list->setFont(italic);
    m_list->setModel(m_model);
    setWidget(m_list);

    connect(m_list, &QWidget::customContextMenuRequested, this, &PersoneLinkDockWindow::onCustomContextMenu);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &PersoneLinkDockWindow::onSelectionChanged);
    auto *copy = new QShortcut(QKeySequence(Qt::CTRL + Qt::Key_C), this, nullptr, nullptr,
                               Qt::WidgetWithChildrenShortcut);
    connect(copy, &QShortcut::activated, this, &PersoneLinkDockWindow::onActionInspectionCopy);

    bEnabledSync = DockSyncSetting::load(kGroup);
}

PersoneLinkDockWindow::~PersoneLinkDockWindow()
{
    DockSyncSetting::save(kGroup, bEnabledSync);
}

void PersoneLinkDockWindow::clearSelection()
{
    const QSignalBlocker quiet(m_list->selectionModel());
    m_list->selectionModel()->clear();
    m_list->viewport()->update();
}

QString PersoneLinkDockWindow::currentPath() const
{
    return m_list->currentIndex().data(kPathRole).toString();
}

int PersoneLinkDockWindow::rowOf(const QString &path) const
{
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->item(row)->data(kPathRole).toString() == path)
            return row;
    }
    return -1;
}

void PersoneLinkDockWindow::onSelectionChanged(const QModelIndex &current, const QModelIndex &)
{
    if (!current.isValid())
        return;
    m_list->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
    const QString path = current.data(kPathRole).toString();
    emit notificationChangedPerosneSignal(path, path, this);
    if (bEnabledSync)
        emit notificationChangedPerosneSignal_ForSync(path);
}

void PersoneLinkDockWindow::onCreatePersoneLinkAndVerify(QString file)
{
    if (file.isEmpty()) {
        // Removing rows moves no choice: the removed subjects are gone already.
        const QSignalBlocker quiet(m_list->selectionModel());
        for (int row = m_model->rowCount() - 1; row >= 0; --row) {
            if (!QFileInfo(m_model->item(row)->data(kPathRole).toString()).isFile())
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
    item->setData(file, kPathRole);
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
        const QString path = item->data(kPathRole).toString();
        if (path != oldPath && !path.startsWith(oldFolder))
            continue;
        const QString moved = newPath + path.mid(oldPath.size());
        item->setText(QFileInfo(moved).completeBaseName());
        item->setData(moved, kPathRole);
        item->setToolTip(moved);
    }
}

void PersoneLinkDockWindow::onActionInspectionCopy()
{
    qCDebug(vugSubjects) << "PersoneLinkDockWindow::onActionInspectionCopy()";
    const QString path = currentPath();
    if (!path.isEmpty())
        SubjectClipboard::copyTests(path);
}

void PersoneLinkDockWindow::onActionRunExplorer()
{
    const QString path = currentPath();
    if (path.isEmpty())
        return;
    const QString folder = QFileInfo(path).absolutePath();
    qCDebug(vugSubjects) << folder;
    FileManager::openFolder(folder);
}

void PersoneLinkDockWindow::onActionMakeSync()
{
    bEnabledSync = !bEnabledSync;
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
    const bool onLink = m_list->indexAt(pos).isValid();
    auto *menu = new QMenu(this);
    menu->addAction(icon("iconCopy.png"), tr("Копировать ВЕСЬ ВОПРОСНИК в системный буфер\tCtrl+C"), this,
                    &PersoneLinkDockWindow::onActionInspectionCopy)
        ->setEnabled(onLink);
    menu->addSeparator();
    menu->addAction(icon("iconFileExplorer.png"), tr("Показать папку в Проводнике"), this,
                    &PersoneLinkDockWindow::onActionRunExplorer)
        ->setEnabled(onLink);
    menu->addSeparator();
    QAction *sync = menu->addAction(tr("Разрешить синхронизацию с папками"), this,
                                    &PersoneLinkDockWindow::onActionMakeSync);
    sync->setCheckable(true);
    sync->setChecked(bEnabledSync);
    menu->addSeparator();
    menu->addAction(icon("iconDelete.png"), tr("Удалить ярлык из списка"), this,
                    &PersoneLinkDockWindow::onActionDeleteItem)
        ->setEnabled(onLink);
    menu->addAction(tr("Удалить все ярлыки из списка"), this, &PersoneLinkDockWindow::onActionDeleteAll);
    return menu;
}

void PersoneLinkDockWindow::onCustomContextMenu(const QPoint &pos)
{
    QScopedPointer<QMenu> menu(createContextMenu(pos));
    ActivePopupMenu marker(menu.data());
    menu->exec(m_list->viewport()->mapToGlobal(pos));
}
