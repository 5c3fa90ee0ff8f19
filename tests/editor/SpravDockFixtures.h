#pragma once

// Helpers of the reference-book dock tests: a dock over a fresh book file,
// items found by text, the context menu as it opens, synthetic drags and the
// book's bytes.
#include "data/ActivePopupMenu.h"
#include "data/InspectionTheme.h"
#include "editor/SpravDockWindow.h"
#include "tests/data/SpravFixtures.h"
#include "tests/support/MessageBoxAnswerer.h"

#include <QAction>
#include <QApplication>
#include <QDragMoveEvent>
#include <QMenu>
#include <QMimeData>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTimer>

namespace SpravDockFixtures {

// The book file of a test program, fresh for every test, and the message
// boxes a test expects: any other box is answered and counted, never left hanging.
struct BookUnderTest {
    QTemporaryDir dir;
    QString path = SpravFixtures::usePath(dir);
    QScopedPointer<MessageBoxAnswerer> boxes;

    void restart()
    {
        boxes.reset(new MessageBoxAnswerer);
        QFile::remove(path);
    }

    MessageBoxAnswerer &answer(const QList<QMessageBox::StandardButton> &answers)
    {
        for (QMessageBox::StandardButton each : answers)
            boxes->enqueue(each);
        return *boxes;
    }
};

// Shows the dock with both sets.
inline void showBoth(SpravDockWindow &dock)
{
    dock.resize(400, 600);
    dock.show();
    dock.onChangeRusUsaQuests(true, true);
}

inline QStandardItem *find(const QStandardItemModel *model, const QString &text)
{
    if (!model)
        return nullptr;
    const QList<QStandardItem *> found = model->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

inline QModelIndex viewIndex(const SpravDockWindow &dock, const QStandardItem *item)
{
    auto *proxy = qobject_cast<QSortFilterProxyModel *>(dock.view()->model());
    return proxy->mapFromSource(item->index());
}

// Makes item current as a click would, its ancestors expanded.
inline void select(SpravDockWindow &dock, const QStandardItem *item)
{
    const QModelIndex index = viewIndex(dock, item);
    dock.view()->scrollTo(index);
    dock.view()->setCurrentIndex(index);
}

inline QPoint centreOf(const SpravDockWindow &dock, const QStandardItem *item)
{
    const QModelIndex index = viewIndex(dock, item);
    dock.view()->scrollTo(index);
    return dock.view()->visualRect(index).center();
}

// The texts of the view's rows from the top, children of expanded items included.
inline QStringList shownTexts(const SpravDockWindow &dock)
{
    QStringList texts;
    dock.view()->expandAll();
    for (QModelIndex index = dock.view()->model()->index(0, 0); index.isValid();
         index = dock.view()->indexBelow(index))
        texts << index.data().toString();
    return texts;
}

// One entry of an opened context menu: its text ("-" for a separator) and
// whether it was enabled and checked.
struct MenuEntry {
    QString text;
    bool enabled;
    bool checked;
};

// Right-clicks the view at pos, records the context menu and closes it.
inline QVector<MenuEntry> openMenu(SpravDockWindow &dock, const QPoint &pos, bool *marked = nullptr)
{
    QTest::mouseClick(dock.view()->viewport(), Qt::RightButton, Qt::NoModifier, pos);
    QVector<MenuEntry> entries;
    QTimer::singleShot(0, [&]() {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        if (marked)
            *marked = activePopupMenuId == reinterpret_cast<quintptr>(menu);
        for (QAction *action : menu->actions())
            entries.append({action->isSeparator() ? QStringLiteral("-") : action->text(), action->isEnabled(),
                            action->isChecked()});
        menu->close();
    });
    dock.onCustomContextMenu(pos);
    return entries;
}

inline QStringList texts(const QVector<MenuEntry> &entries)
{
    QStringList result;
    for (const MenuEntry &entry : entries)
        result << entry.text;
    return result;
}

inline MenuEntry entry(const QVector<MenuEntry> &entries, const QString &text)
{
    for (const MenuEntry &candidate : entries)
        if (candidate.text == text)
            return candidate;
    return {QString(), false, false};
}

inline QAction *action(const SpravDockWindow &dock, const QString &text)
{
    for (QAction *candidate : dock.findChildren<QAction *>())
        if (candidate->text() == text)
            return candidate;
    return nullptr;
}

// What the view did with a synthetic drag of data to pos.
struct DragOutcome {
    bool entered;
    bool movable;  // the last move was accepted
    Qt::DropAction moveAction;
    QRect frame;   // the drop frame while over pos
    bool dropped;
};

inline DragOutcome dragTo(SpravDockWindow &dock, const QPoint &pos, QMimeData *data)
{
    QWidget *viewport = dock.view()->viewport();
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    DragOutcome outcome{};
    QDragEnterEvent enter(pos, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    outcome.entered = enter.isAccepted();
    if (!outcome.entered)
        return outcome;
    QDragMoveEvent move(pos, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    outcome.movable = move.isAccepted();
    outcome.moveAction = move.dropAction();
    outcome.frame = dock.view()->dropFrame();
    QDropEvent drop(pos, actions, data, Qt::LeftButton, Qt::NoModifier);
    if (outcome.movable)
        QApplication::sendEvent(viewport, &drop);
    outcome.dropped = outcome.movable && drop.isAccepted();
    return outcome;
}

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace SpravDockFixtures
