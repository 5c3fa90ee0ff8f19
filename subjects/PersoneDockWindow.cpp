#include "PersoneDockWindow.h"

#include "_PersoneDock_FolderStyledItemDelegate.h"
#include "_PersoneDock_Proxy.h"
#include "_PersoneDock_QStyle.h"
#include "_PersoneDock_TreeView.h"
#include "data/GenericSettings.h"
#include "resources/VugResources.h"

#include <QAction>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMainWindow>
#include <QShortcut>
#include <QTimer>
#include <QToolBar>

PersoneDockWindow::PersoneDockWindow(QWidget *parent)
    : QDockWidget(tr("Обследуемые"), parent), m_tree(new _PersoneDock_TreeView)
{
    initVugResources();
    setObjectName(QStringLiteral("PersoneDockWindow"));
    setStyleSheet(QStringLiteral("QDockWidget { font: bold }"));
    setFeatures(QDockWidget::DockWidgetMovable);

    auto *style = new _QStyle;
    style->setParent(m_tree);
    m_tree->setStyle(style);
    m_tree->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_tree->setAnimated(false);
    m_tree->setIndentation(20);
    m_tree->setHeaderHidden(true);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tree, &QWidget::customContextMenuRequested, this, &PersoneDockWindow::onCustomContextMenu);
    createShortcuts();
    m_tree->hide();

    auto *inner = new QMainWindow;
    inner->setCentralWidget(m_tree);
    setWidget(inner);
    createToolBar();
}

PersoneDockWindow::~PersoneDockWindow() = default;

void PersoneDockWindow::createToolBar()
{
    QToolBar *bar = static_cast<QMainWindow *>(widget())->addToolBar(QString());
    m_createFolder = bar->addAction(VugImages::icon(QStringLiteral("folder-add.png")), tr("Создать папку"), this,
                                    &PersoneDockWindow::action_CreateFolder);
    bar->addSeparator();
    m_addUser = bar->addAction(VugImages::icon(QStringLiteral("user-add.png")), tr("Добавить обследуемого"),
                               this, &PersoneDockWindow::action_AddUser);
    m_userProperty = bar->addAction(VugImages::icon(QStringLiteral("Male-user-edit-icon.png")),
                                    tr("Анкета обследуемого"), this, &PersoneDockWindow::onAction_UserProperty);
    bar->addSeparator();
    m_createLink = bar->addAction(VugImages::icon(QStringLiteral("Shortcuts-icon.png")), tr("Создать ярлык"),
                                  this, &PersoneDockWindow::onActionCreateLink);
    for (QAction *action : {m_createFolder, m_addUser, m_userProperty, m_createLink})
        action->setEnabled(false);
}

void PersoneDockWindow::createShortcuts()
{
    const auto shortcut = [this](const QKeySequence &keys, void (PersoneDockWindow::*slot)()) {
        auto *key = new QShortcut(keys, this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
        connect(key, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence(Qt::Key_Delete), &PersoneDockWindow::action_DeleteUser);
    shortcut(QKeySequence(Qt::CTRL + Qt::Key_C), &PersoneDockWindow::onActionInspectionCopy);
    shortcut(QKeySequence(Qt::CTRL + Qt::Key_V), &PersoneDockWindow::onActionInspectionPaste);
    shortcut(QKeySequence(Qt::Key_Space), &PersoneDockWindow::action_ExpandFolder);
}

void PersoneDockWindow::initModel()
{
    GenericSettings settings;
    settings.load();
    m_rootPath = QFileInfo(settings.sRootFolder).absoluteFilePath();
    const QString top = QFileInfo(m_rootPath).absolutePath();

    m_files = new QFileSystemModel(this);
    connect(m_files, &QFileSystemModel::directoryLoaded, this, &PersoneDockWindow::onDirectoryLoaded);
    // The data root is a hidden folder; the proxy keeps other hidden entries out.
    m_files->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden);
    // Only subject files show; the proxy tells them by name. The model's own
    // wildcard filter compiled its pattern again for every file.
    m_files->sort(0, Qt::AscendingOrder);
    m_files->setReadOnly(false);
    // A changed, renamed or removed file is read anew for its tool tip.
    connect(m_files, &QFileSystemModel::fileRenamed, this,
            [this](const QString &dir, const QString &oldName, const QString &) {
                m_preTestTexts.drop(dir + QLatin1Char('/') + oldName);
            });
    connect(m_files, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &from, const QModelIndex &to) {
        for (int row = from.row(); row <= to.row(); ++row)
            m_preTestTexts.drop(m_files->filePath(from.sibling(row, 0)));
    });
    connect(m_files, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex &parent, int first, int last) {
                for (int row = first; row <= last; ++row)
                    m_preTestTexts.drop(m_files->filePath(m_files->index(row, 0, parent)));
            });

    m_proxy = new _Proxy(m_files, m_rootPath, &m_preTestTexts, this);
    // Ahead of the view and its selection model, which would move the choice
    // to a neighbouring entry.
    connect(m_proxy, &QAbstractItemModel::rowsAboutToBeRemoved, this, &PersoneDockWindow::onRowsAboutToBeRemoved);
    m_tree->setModel(m_proxy);
    m_tree->setColumnWidth(0, m_tree->width() / 3);
    for (int column = 1; column < 4; ++column)
        m_tree->setColumnHidden(column, true);
    m_tree->setItemDelegate(new _FolderStyledItemDelegate(m_tree, this));

    m_files->setRootPath(top);
    m_rootIndex = m_files->index(m_rootPath);
    m_tree->setRootIndex(m_proxy->mapFromSource(m_files->index(top)));
    const QModelIndex rootIndex = m_proxy->mapFromSource(m_rootIndex);
    m_tree->setCurrentIndex(rootIndex);
    m_tree->setFocus();
    m_tree->expand(rootIndex);
    m_tree->show();

    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &PersoneDockWindow::onSelectedItem);
    connect(m_files, &QFileSystemModel::fileRenamed, this, &PersoneDockWindow::onFileRenamed);
    emit notificationChangedPerosneSignal(m_rootPath, m_rootPath, this);
    updateActions(rootIndex);
}

void PersoneDockWindow::clearSelection()
{
    if (!m_tree->selectionModel())
        return;
    const QSignalBlocker quiet(m_tree->selectionModel());
    m_tree->selectionModel()->clear();
    m_tree->viewport()->update();
    updateActions();
}

void PersoneDockWindow::chooseQuietly(const QString &path)
{
    const QModelIndex index = indexOfPath(path);
    if (!m_tree->selectionModel() || !index.isValid())
        return;
    {
        const QSignalBlocker quiet(m_tree->selectionModel());
        m_tree->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    }
    m_tree->scrollTo(index, QAbstractItemView::EnsureVisible);
    m_tree->viewport()->update();
    updateActions();
}

QString PersoneDockWindow::pathOf(const QModelIndex &index) const
{
    return index.isValid() ? m_files->filePath(m_proxy->mapToSource(index)) : QString();
}

QModelIndex PersoneDockWindow::indexOfPath(const QString &path) const
{
    return m_files ? m_proxy->mapFromSource(m_files->index(path)) : QModelIndex();
}

QModelIndex PersoneDockWindow::actedIndex() const
{
    if (!m_tree->selectionModel())
        return QModelIndex();
    const QModelIndex current = m_tree->currentIndex();
    return current.isValid() ? current : firstSelected();
}

QModelIndex PersoneDockWindow::firstSelected() const
{
    if (!m_tree->selectionModel())
        return QModelIndex();
    const QModelIndexList selected = m_tree->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QModelIndex() : selected.first();
}

bool PersoneDockWindow::isFolder(const QModelIndex &index) const
{
    return index.isValid() && m_files->isDir(m_proxy->mapToSource(index));
}

bool PersoneDockWindow::isSubject(const QModelIndex &index) const
{
    return index.isValid() && !isFolder(index);
}

bool PersoneDockWindow::isDataRoot(const QModelIndex &index) const
{
    return index.isValid() && pathOf(index).compare(m_rootPath, Qt::CaseInsensitive) == 0;
}

void PersoneDockWindow::updateActions(const QModelIndex &fallback)
{
    QModelIndex acted = actedIndex();
    if (!acted.isValid())
        acted = fallback;
    m_createFolder->setEnabled(isFolder(acted));
    m_addUser->setEnabled(isFolder(acted));
    m_createLink->setEnabled(isSubject(acted));
    m_userProperty->setEnabled(isSubject(acted));
}

void PersoneDockWindow::onSelectedItem(const QModelIndex &current, const QModelIndex &previous)
{
    const QModelIndex chosen = current.isValid() ? current : previous;
    if (chosen.isValid()) {
        m_tree->selectionModel()->select(chosen, QItemSelectionModel::ClearAndSelect);
        const QString path = pathOf(chosen);
        emit notificationChangedPerosneSignal(path, path, this);
    } else {
        emit notificationChangedPerosneSignal(QString(), QString(), this);
    }
    updateActions(chosen);
}

void PersoneDockWindow::onRowsAboutToBeRemoved(const QModelIndex &parent, int first, int last)
{
    // The program's own renames and deletions leave no entry current first:
    // a current entry going away was renamed, moved or removed by another program.
    QModelIndex entry = m_tree->selectionModel() ? m_tree->currentIndex() : QModelIndex();
    while (entry.isValid() && entry.parent() != parent)
        entry = entry.parent();
    if (!entry.isValid() || entry.row() < first || entry.row() > last)
        return;
    const QString lost = pathOf(m_tree->currentIndex());
    clearSelection();
    // Told once the model is through with its change.
    QTimer::singleShot(0, this, [this, lost] {
        emit notificationChangedPerosneSignal(lost, QString(), this);
        emit notyfyCreatePersoneLinkAndVerify(QString());
    });
}

void PersoneDockWindow::onChangedPerosneSignal_ForSync(QString file)
{
    if (file.isEmpty())
        clearSelection();
    else
        showPath(file);
}

void PersoneDockWindow::showPath(const QString &path)
{
    const QModelIndex index = indexOfPath(path);
    if (!index.isValid())
        return;
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index, QAbstractItemView::EnsureVisible);
}

void PersoneDockWindow::onDirectoryLoaded(const QString &path)
{
    if (path.compare(m_rootPath, Qt::CaseInsensitive) != 0)
        return;
    disconnect(m_files, &QFileSystemModel::directoryLoaded, this, &PersoneDockWindow::onDirectoryLoaded);
    // Only now does the root know it has entries to unfold.
    m_tree->expand(m_proxy->mapFromSource(m_rootIndex));
}

void PersoneDockWindow::onFileRenamed(const QString &path, const QString &oldName, const QString &newName)
{
    emit notificationChangedPerosneSignal(path + QLatin1Char('/') + oldName, path + QLatin1Char('/') + newName, this);
}

void PersoneDockWindow::onUpdate_ItemVisible_Folder()
{
    showPath(m_shownFolder);
}

void PersoneDockWindow::onUpdate_ItemVisible_File()
{
    showPath(m_shownFile);
}
