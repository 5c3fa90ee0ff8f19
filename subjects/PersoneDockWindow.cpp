#include "PersoneDockWindow.h"

#include "_PersoneDock_Proxy.h"
#include "data/GenericSettings.h"
#include "data/Inspection.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

namespace {

const int kNameAttempts = 100;

}  // namespace

PersoneDockWindow::PersoneDockWindow(QWidget *parent)
    : QDockWidget(tr("Обследуемые"), parent), m_tree(new QTreeView)
{
    setObjectName(QStringLiteral("PersoneDockWindow"));
    setStyleSheet(QStringLiteral("QDockWidget { font: bold }"));
    setFeatures(QDockWidget::DockWidgetMovable);

    m_tree->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_tree->setAnimated(false);
    m_tree->setIndentation(20);
    m_tree->setHeaderHidden(true);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->hide();

    auto *inner = new QMainWindow;
    inner->setCentralWidget(m_tree);
    QToolBar *bar = inner->addToolBar(QString());
    m_addUser = bar->addAction(QIcon(QStringLiteral(":/Pelmar/Images/user-add.png")), tr("Добавить обследуемого"),
                               this, &PersoneDockWindow::action_AddUser);
    m_addUser->setEnabled(false);
    setWidget(inner);
}

void PersoneDockWindow::initModel()
{
    GenericSettings settings;
    settings.load();
    const QString root = QFileInfo(settings.sRootFolder).absoluteFilePath();
    const QString top = QFileInfo(root).absolutePath();

    m_files = new QFileSystemModel(this);
    // The data root is a hidden folder.
    m_files->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden);
    m_files->sort(0, Qt::AscendingOrder);
    m_files->setNameFilters({QStringLiteral("*.qmz")});
    m_files->setNameFilterDisables(false);
    m_files->setReadOnly(false);
    m_proxy = new _PersoneDock_Proxy(m_files, root, this);
    m_tree->setModel(m_proxy);
    m_tree->setColumnWidth(0, m_tree->width() / 3);
    for (int column = 1; column < 4; ++column)
        m_tree->setColumnHidden(column, true);

    m_files->setRootPath(top);
    m_tree->setRootIndex(m_proxy->mapFromSource(m_files->index(top)));
    const QModelIndex rootIndex = m_proxy->mapFromSource(m_files->index(root));
    m_tree->setCurrentIndex(rootIndex);
    m_tree->setFocus();
    m_tree->expand(rootIndex);
    m_tree->show();

    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &PersoneDockWindow::onSelectedItem);
    emit notificationChangedPerosneSignal(root, root, this);
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
    if (current.isValid())
        return current;
    const QModelIndexList selected = m_tree->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QModelIndex() : selected.first();
}

bool PersoneDockWindow::isFolder(const QModelIndex &index) const
{
    return index.isValid() && m_files->isDir(m_proxy->mapToSource(index));
}

void PersoneDockWindow::updateActions(const QModelIndex &fallback)
{
    const QModelIndex acted = actedIndex();
    m_addUser->setEnabled(isFolder(acted.isValid() ? acted : fallback));
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

void PersoneDockWindow::action_AddUser()
{
    const QModelIndex folder = actedIndex();
    if (!isFolder(folder)) {
        updateActions();
        return;
    }
    QString path;
    for (int i = 0; i < kNameAttempts && path.isEmpty(); ++i) {
        const QString candidate = pathOf(folder) + QLatin1Char('/')
                                  + tr("Новый обследуемый%0").replace(QLatin1String("%0"), QString::number(i))
                                  + QStringLiteral(".qmz");
        if (!QFileInfo::exists(candidate))
            path = candidate;
    }
    if (path.isEmpty()) {
        updateActions();
        return;
    }
    Inspection subject;
    subject.path = path;
    if (subject.saveTestStruct(nullptr) != StoreResult::Ok) {
        QMessageBox::warning(this, tr("Воркел"), tr("Не удалось создать файл обследуемого\n%1").arg(path));
        updateActions();
        return;
    }
    // Making it current announces it.
    showPath(path);
    if (pathOf(m_tree->currentIndex()) != path)
        emit notificationChangedPerosneSignal(path, path, this);
    m_tree->setFocus();
    m_createdFile = path;
    QTimer::singleShot(200, this, &PersoneDockWindow::onUpdate_ItemVisible_File);
    updateActions();
}

void PersoneDockWindow::onUpdate_ItemVisible_File()
{
    showPath(m_createdFile);
}
