#include "SubjectListDock.h"

#include "DockSyncSetting.h"
#include "SubjectClipboard.h"
#include "data/ActivePopupMenu.h"
#include "data/Diagnostics.h"
#include "data/FileManager.h"
#include "resources/VugResources.h"

#include <QFileInfo>
#include <QListView>
#include <QMenu>
#include <QShortcut>

#include <memory>

SubjectListDock::SubjectListDock(const QString &title, const QString &name, QWidget *parent)
    : QDockWidget(title, parent), m_list(new QListView)
{
    setObjectName(name);
    setStyleSheet(QStringLiteral("QDockWidget { font: bold }"));
    setFeatures(QDockWidget::DockWidgetMovable);

    m_list->setDragDropMode(QAbstractItemView::NoDragDrop);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, &SubjectListDock::onCustomContextMenu);
    auto *copy = new QShortcut(QKeySequence(Qt::CTRL + Qt::Key_C), this, nullptr, nullptr,
                               Qt::WidgetWithChildrenShortcut);
    connect(copy, &QShortcut::activated, this, &SubjectListDock::onActionInspectionCopy);

    bEnabledSync = DockSyncSetting::load(name);
}

SubjectListDock::~SubjectListDock()
{
    DockSyncSetting::save(objectName(), bEnabledSync);
}

QString SubjectListDock::currentPath() const
{
    return m_list->currentIndex().data(PathRole).toString();
}

void SubjectListDock::announce(const QString &path)
{
    qCDebug(vugSubjects) << path;
    emit notificationChangedPerosneSignal(path, path, this);
    if (bEnabledSync)
        emit notificationChangedPerosneSignal_ForSync(path);
}

void SubjectListDock::onActionInspectionCopy()
{
    const QString path = currentPath();
    if (!path.isEmpty())
        SubjectClipboard::copyTests(path);
}

void SubjectListDock::onActionRunExplorer()
{
    const QString path = currentPath();
    if (!path.isEmpty())
        FileManager::openFolder(QFileInfo(path).absolutePath());
}

void SubjectListDock::onActionMakeSync()
{
    bEnabledSync = !bEnabledSync;
}

QMenu *SubjectListDock::createContextMenu(const QPoint &pos)
{
    const bool onEntry = m_list->indexAt(pos).isValid();
    auto *menu = new QMenu(this);
    menu->addAction(VugImages::icon(QStringLiteral("iconCopy.png")),
                    tr("Копировать ВЕСЬ ВОПРОСНИК в системный буфер\tCtrl+C"), this,
                    &SubjectListDock::onActionInspectionCopy)
        ->setEnabled(onEntry);
    menu->addSeparator();
    menu->addAction(VugImages::icon(QStringLiteral("iconFileExplorer.png")), tr("Показать папку в Проводнике"), this,
                    &SubjectListDock::onActionRunExplorer)
        ->setEnabled(onEntry);
    menu->addSeparator();
    QAction *sync =
        menu->addAction(tr("Разрешить синхронизацию с папками"), this, &SubjectListDock::onActionMakeSync);
    sync->setCheckable(true);
    sync->setChecked(bEnabledSync);
    return menu;
}

void SubjectListDock::onCustomContextMenu(const QPoint &pos)
{
    std::unique_ptr<QMenu> menu(createContextMenu(pos));
    ActivePopupMenu active(menu.get());
    menu->exec(m_list->viewport()->mapToGlobal(pos));
}
