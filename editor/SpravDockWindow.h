#pragma once

#include "data/SpravDB.h"

#include "SpravTreeView.h"

#include <QDockWidget>

#include <functional>

class QAction;
class QItemSelectionModel;
class QMenu;
class QMimeData;
class QStandardItem;
class QStandardItemModel;
class SpravSortProxy;

// What the questions and methodics docks share: a tree of a Russian and an
// international set over the reference book, folders, the context-menu frame,
// the refill, and the rule that a write the book refuses is told and leaves
// the tree as it was. Before every book operation SpravDB::bUSA is set to the
// set of the item concerned.
class SpravDockWindow : public QDockWidget
{
    Q_OBJECT
public:
    QStandardItemModel *model() const { return m_model; }
    SpravTreeView *view() const { return m_view; }
    // The source item of the view's current index, null without one.
    QStandardItem *currentItem() const;
    QStandardItem *itemAt(const QModelIndex &viewIndex) const;

    // Drag and drop, as the view passes them on.
    virtual bool acceptsDrop(const QMimeData *data) const = 0;
    // The data of a drag of item (never a container), or null when it cannot be dragged.
    virtual QMimeData *dragData(QStandardItem *item) = 0;
    // Stores what data carries under target; when source names a row of this
    // dock's tree the drag was a move and that row goes once the copy is stored.
    virtual void dropData(QStandardItem *target, const QMimeData *data, QStandardItem *source) = 0;
    // Stores an in-place edit of item; false when the book refused it.
    bool storeEditedText(QStandardItem *item, const QString &text);

public slots:
    virtual void action_Copy() = 0;
    virtual void action_Paste() = 0;
    void action_AddFolder();
    void action_EditFolder();
    void action_DeleteFolder();
    void action_Refresh();
    void onCustomContextMenu(const QPoint &pos);
    void onChangeRusUsaQuests(bool bUseRus, bool bUseUsa);

protected:
    // The tables of a book as SpravDB reaches them, and the texts of its two roots.
    struct Book {
        QString russianRoot;
        QString internationalRoot;
        SpravDB::Result (SpravDB::*loadTree)(QStandardItemModel *, int, QStandardItem *);
        int (SpravDB::*insertFolder)(int, const QString &);
        SpravDB::Result (SpravDB::*updateFolder)(int, const QString &);
        SpravDB::Result (SpravDB::*deleteFolder)(int);
        SpravDB::Result (SpravDB::*deleteRow)(int);
        QStandardItem *(*newFolderItem)(int, const QString &);
    };

    SpravDockWindow(const QString &title, const QString &name, const Book &book,
                    const SpravTreeView::DragLook &look, QWidget *parent);

    // What an action or shortcut runs.
    using Slot = std::function<void()>;
    // Texts of the actions on a question or test, and the slots of editing and deleting one.
    struct RowActions {
        QString copy;
        QString paste;
        QString edit;
        QString remove;
        Slot editSlot;
        Slot removeSlot;
    };
    // The three shortcuts and the eight actions every book has; a subclass's
    // constructor calls it.
    void createActions(const RowActions &row);
    QAction *newAction(const QIcon &icon, const QString &text, const Slot &slot);

    void fillModel();
    void updateActions();
    // The current item when it is a question or test (not a container), else null.
    QStandardItem *currentRow() const;
    // Appends item under container and makes it current.
    void appendAndShow(QStandardItem *container, QStandardItem *item);
    void makeCurrent(QStandardItem *item);
    // Sets SpravDB::bUSA to the set of item.
    static void useSetOf(const QStandardItem *item);
    // Tells the examiner that the book did not take a change; false for the caller to return.
    bool refused();
    static bool stored(SpravDB::Result result);

    virtual SpravDB::Result updateRowText(SpravDB &db, QStandardItem *item, const QString &text) = 0;
    virtual bool canPaste(const QStandardItem *current) const = 0;
    // Enabling of the subclass's own actions.
    virtual void updateOwnActions(const QStandardItem *current) { Q_UNUSED(current); }
    // The subclass's part of the context menu, after copy and paste.
    virtual void addOwnActions(QMenu *menu, const QStandardItem *item) { Q_UNUSED(menu); Q_UNUSED(item); }
    // Called after every refill with the new selection model.
    virtual void modelReplaced(QItemSelectionModel *selection) { Q_UNUSED(selection); }
    void editCurrent();
    // Removes a question or test of the tree from the book and the tree.
    void deleteRow(QStandardItem *item);

    SpravTreeView *m_view;

private:
    QAction *newAction(const char *icon, const QString &text, const Slot &slot);
    void addShortcut(const char *keys, const Slot &slot);
    void removeItem(QStandardItem *item, SpravDB::Result (SpravDB::*remove)(int));
    // Adds a root with its tree; what the reader could not show, or empty.
    QString addRoot(const QString &text, int id, const char *flag);
    void tellOnce(const QStringList &problems);

    const Book m_book;
    QAction *m_copy = nullptr;
    QAction *m_paste = nullptr;
    QAction *m_editItem = nullptr;
    QAction *m_deleteItem = nullptr;
    QAction *m_addFolder = nullptr;
    QAction *m_editFolder = nullptr;
    QAction *m_deleteFolder = nullptr;
    QAction *m_refresh = nullptr;
    QStandardItemModel *m_model = nullptr;
    SpravSortProxy *m_proxy = nullptr;
    bool m_useRus = false;
    bool m_useUsa = false;
};
