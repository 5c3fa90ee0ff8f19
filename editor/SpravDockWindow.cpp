#include "SpravDockWindow.h"

#include "SpravItems.h"
#include "SpravSortProxy.h"
#include "SpravTreeView.h"
#include "data/ActivePopupMenu.h"
#include "data/SpravDB.h"
#include "data/ViewModel.h"
#include "resources/VugResources.h"

#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QMessageBox>
#include <QShortcut>
#include <QStandardItemModel>
#include <QVBoxLayout>

SpravDockWindow::SpravDockWindow(const QString &title, const QString &name, const Book &book,
                                 const SpravTreeView::DragLook &look, QWidget *parent)
    : QDockWidget(title, parent),
      m_view(new SpravTreeView(this, look)),
      m_book(book)
{
    initVugResources();
    setObjectName(name);
    setStyleSheet(QStringLiteral("QDockWidget { font: bold }"));
    setFeatures(QDockWidget::DockWidgetMovable);
    auto *frame = new QFrame(this);
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setWidget(frame);
    connect(m_view, &QWidget::customContextMenuRequested, this, &SpravDockWindow::onCustomContextMenu);
}

QAction *SpravDockWindow::newAction(const QIcon &icon, const QString &text, const Slot &slot)
{
    auto *action = new QAction(icon, text, this);
    connect(action, &QAction::triggered, this, slot);
    return action;
}

QAction *SpravDockWindow::newAction(const char *icon, const QString &text, const Slot &slot)
{
    return newAction(VugImages::icon(QLatin1String(icon)), text, slot);
}

void SpravDockWindow::createActions(const RowActions &row)
{
    const Slot copy = [this] { action_Copy(); };
    const Slot paste = [this] { action_Paste(); };
    addShortcut("Ctrl+C", copy);
    addShortcut("Ctrl+V", paste);
    addShortcut("Delete", row.removeSlot);
    m_copy = newAction("iconCopy.png", row.copy, copy);
    m_paste = newAction("iconPaste.png", row.paste, paste);
    m_editItem = newAction("edit", row.edit, row.editSlot);
    m_deleteItem = newAction("iconDelete.png", row.remove, row.removeSlot);
    m_addFolder = newAction("folder-add", tr("Создать ПАПКУ"), [this] { action_AddFolder(); });
    m_editFolder = newAction("edit", tr("Изменить ПАПКУ\tF2"), [this] { action_EditFolder(); });
    m_deleteFolder = newAction("iconDelete.png", tr("Удалить ПАПКУ"), [this] { action_DeleteFolder(); });
    m_refresh = newAction("iconRefresh", tr("Обновить"), [this] { action_Refresh(); });
}

void SpravDockWindow::addShortcut(const char *keys, const Slot &slot)
{
    auto *shortcut = new QShortcut(QKeySequence(QLatin1String(keys)), this);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, this, slot);
}

QStandardItem *SpravDockWindow::itemAt(const QModelIndex &viewIndex) const
{
    if (!m_model || !viewIndex.isValid())
        return nullptr;
    return m_model->itemFromIndex(m_proxy->mapToSource(viewIndex));
}

QStandardItem *SpravDockWindow::currentItem() const
{
    return m_view->selectionModel() ? itemAt(m_view->selectionModel()->currentIndex()) : nullptr;
}

QStandardItem *SpravDockWindow::currentRow() const
{
    QStandardItem *item = currentItem();
    return item && !SpravItems::isContainer(item) ? item : nullptr;
}

void SpravDockWindow::useSetOf(const QStandardItem *item)
{
    SpravDB::bUSA = SpravItems::isInternational(item);
}

bool SpravDockWindow::stored(SpravDB::Result result)
{
    return result == SpravDB::Result::Done;
}

bool SpravDockWindow::refused()
{
    QMessageBox::warning(this, tr("Воркел"),
                         tr("Справочник «%1» не открывается или не принял изменение; оно не сохранено.")
                             .arg(SpravDB::sPathFileSprav));
    return false;
}

void SpravDockWindow::onChangeRusUsaQuests(bool bUseRus, bool bUseUsa)
{
    m_useRus = bUseRus;
    m_useUsa = bUseUsa;
    fillModel();
}

void SpravDockWindow::action_Refresh()
{
    fillModel();
}

QString SpravDockWindow::addRoot(const QString &text, int id, const char *flag)
{
    auto *root = new QStandardItem(VugImages::icon(QLatin1String(flag)), text);
    root->setData(id, SpravDB::IdRole);
    root->setEditable(false);
    root->setDragEnabled(false);
    root->setDropEnabled(true);
    m_model->appendRow(root);
    useSetOf(root);
    SpravDB db;
    const SpravDB::Result filled = (db.*m_book.loadTree)(m_model, 0, root);
    if (!db.refusal().isEmpty())
        return db.refusal();
    if (filled == SpravDB::Result::TooLarge)
        return tr("«%1» не показан: справочник «%2» слишком велик (%3 папок и записей; показывается не больше %4 "
                  "и не больше %5 МБ текста).")
            .arg(text, SpravDB::sPathFileSprav)
            .arg(db.storedRows())
            .arg(SpravDB::MaxTreeRows)
            .arg(SpravDB::MaxTreeBytes >> 20);
    if (db.skippedFolders() == 0)
        return QString();
    return tr("В «%1» не показаны папки (%2) с их содержимым: их цепочка вложения замкнута, оборвана "
              "или глубже %3 уровней.")
        .arg(text)
        .arg(db.skippedFolders())
        .arg(SpravDB::MaxFolderDepth);
}

// Both books refill often and read the same file: a problem is told once, not
// at every refill, until it goes away.
void SpravDockWindow::tellOnce(const QStringList &problems)
{
    static QString told;
    const QString text = problems.join(QLatin1Char('\n'));
    if (text == told)
        return;
    told = text;
    if (!text.isEmpty())
        QMessageBox::warning(this, tr("Воркел"), text);
}

void SpravDockWindow::fillModel()
{
    QStandardItemModel *oldModel = m_model;
    m_model = new QStandardItemModel(this);
    m_proxy = new SpravSortProxy(this);
    m_proxy->setSourceModel(m_model);
    QStringList problems;
    if (m_useRus)
        problems << addRoot(m_book.russianRoot, SpravItems::RussianRoot, "RU-Russia-Flag-icon");
    if (m_useUsa)
        problems << addRoot(m_book.internationalRoot, SpravItems::InternationalRoot, "United-States-Flag-1-icon");
    // The old proxy goes with the view's old model, then its source.
    replaceViewModel(m_view, m_proxy);
    m_view->sortByColumn(0, Qt::AscendingOrder);
    delete oldModel;
    modelReplaced(m_view->selectionModel());
    problems.removeAll(QString());
    problems.removeDuplicates();
    tellOnce(problems);
}

void SpravDockWindow::makeCurrent(QStandardItem *item)
{
    const QModelIndex index = m_proxy->mapFromSource(item->index());
    m_view->scrollTo(index);
    m_view->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Current);
    m_view->setCurrentIndex(index);
}

void SpravDockWindow::appendAndShow(QStandardItem *container, QStandardItem *item)
{
    container->appendRow(item);
    makeCurrent(item);
}

void SpravDockWindow::editCurrent()
{
    if (m_view->selectionModel() && m_view->currentIndex().isValid())
        m_view->edit(m_view->currentIndex());
}

void SpravDockWindow::action_EditFolder()
{
    editCurrent();
}

void SpravDockWindow::action_AddFolder()
{
    QStandardItem *container = currentItem();
    if (!container || !SpravItems::isContainer(container))
        return;
    const QString name = tr("Новая папка");
    useSetOf(container);
    SpravDB db;
    const int id = (db.*m_book.insertFolder)(SpravItems::folderIdOf(container), name);
    if (id <= 0) {
        refused();
        return;
    }
    appendAndShow(container, m_book.newFolderItem(id, name));
}

void SpravDockWindow::action_DeleteFolder()
{
    QStandardItem *folder = currentItem();
    if (!folder || !SpravItems::isContainer(folder) || SpravItems::idOf(folder) <= 0)
        return;
    if (folder->hasChildren()) {
        QMessageBox::information(this, tr("Воркел"), tr("Удалять можно только пустые папки."), QMessageBox::Ok);
        return;
    }
    removeItem(folder, m_book.deleteFolder);
}

void SpravDockWindow::deleteRow(QStandardItem *item)
{
    removeItem(item, m_book.deleteRow);
}

void SpravDockWindow::removeItem(QStandardItem *item, SpravDB::Result (SpravDB::*remove)(int))
{
    useSetOf(item);
    SpravDB db;
    if (!stored((db.*remove)(SpravItems::idOf(item)))) {
        refused();
        return;
    }
    item->parent()->removeRow(item->row());
}

bool SpravDockWindow::storeEditedText(QStandardItem *item, const QString &text)
{
    useSetOf(item);
    SpravDB db;
    const SpravDB::Result result = SpravItems::isContainer(item) ? (db.*m_book.updateFolder)(SpravItems::idOf(item), text)
                                                     : updateRowText(db, item, text);
    return stored(result) || refused();
}

void SpravDockWindow::updateActions()
{
    QStandardItem *item = currentItem();
    const bool row = item && !SpravItems::isContainer(item);
    const bool folder = item && !row && SpravItems::idOf(item) > 0;
    m_copy->setEnabled(row);
    m_editItem->setEnabled(row);
    m_deleteItem->setEnabled(row);
    m_paste->setEnabled(canPaste(item));
    m_addFolder->setEnabled(!row);
    m_editFolder->setEnabled(folder);
    m_deleteFolder->setEnabled(folder);
    m_refresh->setEnabled(true);
    updateOwnActions(item);
}

void SpravDockWindow::onCustomContextMenu(const QPoint &pos)
{
    QStandardItem *item = itemAt(m_view->indexAt(pos));
    if (!item && m_view->selectionModel()) {
        m_view->selectionModel()->clearSelection();
        m_view->selectionModel()->clearCurrentIndex();
        m_view->clearFocus();
        m_view->setCurrentIndex(QModelIndex());
    }
    updateActions();
    QMenu menu(this);
    menu.addAction(m_copy);
    menu.addAction(m_paste);
    menu.addSeparator();
    addOwnActions(&menu, item);
    menu.addAction(m_editItem);
    menu.addAction(m_deleteItem);
    menu.addSeparator();
    menu.addAction(m_addFolder);
    menu.addAction(m_editFolder);
    menu.addAction(m_deleteFolder);
    menu.addSeparator();
    menu.addAction(m_refresh);
    ActivePopupMenu marker(&menu);
    menu.exec(m_view->viewport()->mapToGlobal(pos));
}
