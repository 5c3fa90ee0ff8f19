#include "PersoneDockWindow.h"

#include "SubjectClipboard.h"
#include "_PersoneDock_TreeView.h"
#include "data/ActivePopupMenu.h"
#include "resources/VugResources.h"

#include <QAction>
#include <QMenu>
#include <QScopedPointer>

namespace {

// Made anew for each menu and gone with it.
QAction *menuAction(QMenu *parent, const char *icon, const QString &text)
{
    auto *action = new QAction(text, parent);
    if (icon)
        action->setIcon(VugImages::icon(QLatin1String(icon)));
    return action;
}

}  // namespace

void PersoneDockWindow::onCustomContextMenu(const QPoint &pos)
{
    QScopedPointer<QMenu> menu(createContextMenu(pos));
    if (menu->isEmpty())
        return;
    ActivePopupMenu marker(menu.data());
    menu->exec(m_tree->viewport()->mapToGlobal(pos));
}

QMenu *PersoneDockWindow::createContextMenu(const QPoint &pos)
{
    auto *menu = new QMenu(this);
    const QModelIndex index = m_tree->indexAt(pos);
    updateActions(index);
    if (isFolder(index))
        addFolderEntries(menu, index);
    else if (isSubject(index))
        addSubjectEntries(menu);
    return menu;
}

void PersoneDockWindow::addFolderEntries(QMenu *menu, const QModelIndex &index)
{
    QAction *explorer = menuAction(menu, "iconFileExplorer.png", tr("Показать папку в Проводнике"));
    connect(explorer, &QAction::triggered, this, &PersoneDockWindow::action_RunExplorer);
    QAction *expand = menuAction(menu, nullptr, tr("Раскрыть папки первого уровня\tSpace"));
    connect(expand, &QAction::triggered, this, &PersoneDockWindow::action_ExpandFolder);
    QAction *collapse = menuAction(menu, nullptr, tr("Свернуть папки первого уровня"));
    connect(collapse, &QAction::triggered, this, &PersoneDockWindow::action_CollapseFolder);
    QAction *edit = menuAction(menu, "edit", tr("Изменить папку\tF2"));
    connect(edit, &QAction::triggered, this, &PersoneDockWindow::action_EditFolder);
    QAction *remove = menuAction(menu, "iconDelete.png", tr("Удалить папку"));
    connect(remove, &QAction::triggered, this, &PersoneDockWindow::action_DeleteFolder);
    const bool root = isDataRoot(index);
    edit->setEnabled(!root);
    remove->setEnabled(!root);
    QAction *import = menuAction(menu, nullptr, tr("Импортировать обследуемого..."));
    connect(import, &QAction::triggered, this, &PersoneDockWindow::onActionImport);

    menu->addAction(explorer);
    menu->addSeparator();
    menu->addActions({expand, collapse});
    menu->addSeparator();
    menu->addActions({m_createFolder, edit, remove});
    menu->addSeparator();
    menu->addAction(import);
    menu->addSeparator();
    menu->addAction(m_addUser);
}

void PersoneDockWindow::addSubjectEntries(QMenu *menu)
{
    QAction *copy = menuAction(menu, "iconCopy.png", tr("Копировать ВЕСЬ ВОПРОСНИК в системный буфер\tCtrl+C"));
    connect(copy, &QAction::triggered, this, &PersoneDockWindow::onActionInspectionCopy);
    QAction *paste = menuAction(menu, "iconPaste.png", tr("Добавить ВОПРОСНИК из системного буфера\tCtrl+V"));
    connect(paste, &QAction::triggered, this, &PersoneDockWindow::onActionInspectionPaste);
    QAction *property = menuAction(menu, "Male-user-edit-icon.png", tr("Анкета обследуемого..."));
    connect(property, &QAction::triggered, this, &PersoneDockWindow::onAction_UserProperty);
    QAction *edit = menuAction(menu, "edit.png", tr("Изменить ФИО обследуемого\tF2"));
    connect(edit, &QAction::triggered, this, &PersoneDockWindow::action_EditUser);
    QAction *remove = menuAction(menu, "iconDelete.png", tr("Удалить обследуемого\tDel"));
    connect(remove, &QAction::triggered, this, &PersoneDockWindow::action_DeleteUser);
    QAction *exportSubject = menuAction(menu, nullptr, tr("Экспортировать обследуемого..."));
    connect(exportSubject, &QAction::triggered, this, &PersoneDockWindow::onActionExport);
    paste->setEnabled(SubjectClipboard::hasTests());

    menu->addActions({copy, paste});
    menu->addSeparator();
    menu->addAction(m_createLink);
    menu->addSeparator();
    menu->addAction(property);
    menu->addSeparator();
    menu->addActions({edit, remove});
    menu->addSeparator();
    menu->addAction(exportSubject);
}
