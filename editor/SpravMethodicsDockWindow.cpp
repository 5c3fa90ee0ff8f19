#include "SpravMethodicsDockWindow.h"

#include "MimeFormats.h"
#include "SpravItemDelegate.h"
#include "SpravItems.h"
#include "data/InspectionTest.h"
#include "data/SpravDB.h"
#include "data/WaitCursor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QMimeData>
#include <QStandardItemModel>

namespace {

SpravTreeView::DragLook dragLook()
{
    return {QCoreApplication::translate("_TreeView_SpravMethodics", " + копирование "),
            QCoreApplication::translate("_TreeView_SpravMethodics", " -> перемещение "), true};
}

}  // namespace

SpravMethodicsDockWindow::SpravMethodicsDockWindow(QWidget *parent)
    : SpravDockWindow(tr("Справочник методик"), QStringLiteral("SpravMethodicsDockWindow"),
                      {tr("Российская система методик"), tr("Международная система методик"), &SpravDB::loadTestTree,
                       &SpravDB::insertFolderTest, &SpravDB::updateFolderTest, &SpravDB::deleteFolderTest,
                       &SpravDB::deleteTest, &SpravDB::newTestFolderItem},
                      dragLook(), parent)
{
    auto *delegate = new SpravItemDelegate(this, this);
    delegate->setObjectName(QStringLiteral("spravM"));
    m_view->setItemDelegate(delegate);
    m_view->setDefaultDropAction(Qt::MoveAction);

    createActions({tr("Копировать TEST в системный буфер\tCtrl+C"), tr("Вставить TEST из системного буфера\tCtrl+V"),
                   tr("Изменить ТЕСТ\tF2"), tr("Удалить TEST\tDel"), [this] { action_EditTest(); },
                   [this] { action_DeleteTest(); }});
    fillModel();
}

SpravDB::Result SpravMethodicsDockWindow::updateRowText(SpravDB &db, QStandardItem *item, const QString &text)
{
    return db.updateTest(SpravItems::idOf(item), text);
}

bool SpravMethodicsDockWindow::canPaste(const QStandardItem *current) const
{
    const QMimeData *clip = QApplication::clipboard()->mimeData();
    return current && SpravItems::isContainer(current) && clip
           && !clip->data(MimeFormats::testClipboardFormat).isEmpty();
}

bool SpravMethodicsDockWindow::readSound(QStandardItem *item, InspectionTest &test)
{
    useSetOf(item);
    SpravDB db;
    if (!db.isOpen())
        return refused();
    QString fault = db.readTest(SpravItems::idOf(item), test) == SpravDB::Result::Done ? test.planFault()
                                                                                : tr("данные не читаются");
    if (fault.isEmpty())
        return true;
    QMessageBox::warning(this, tr("Воркел"), tr("Методика «%1» повреждена (%2); её нельзя перенести в обследование.")
                                                 .arg(item->text(), fault));
    return false;
}

bool SpravMethodicsDockWindow::insertTest(QStandardItem *container, InspectionTest &test)
{
    useSetOf(container);
    SpravDB db;
    const int id = db.insertTest(SpravItems::folderIdOf(container), test);
    if (id <= 0)
        return refused();
    appendAndShow(container, SpravDB::newTestItem(id, test));
    return true;
}

void SpravMethodicsDockWindow::action_EditTest()
{
    editCurrent();
}

void SpravMethodicsDockWindow::action_DeleteTest()
{
    if (QStandardItem *item = currentRow())
        deleteRow(item);
}

void SpravMethodicsDockWindow::action_Copy()
{
    QStandardItem *item = currentRow();
    InspectionTest test;
    if (item && readSound(item, test))
        QApplication::clipboard()->setMimeData(MimeFormats::methodicsDockCopy(test));
}

void SpravMethodicsDockWindow::action_Paste()
{
    WaitCursor wait;
    const QMimeData *clip = QApplication::clipboard()->mimeData();
    const QByteArray payload = clip ? clip->data(MimeFormats::testClipboardFormat) : QByteArray();
    QStandardItem *container = currentItem();
    if (payload.isEmpty() || !container || !SpravItems::isContainer(container))
        return;
    InspectionTest test;
    if (MimeFormats::acceptTest(payload, test, this))
        insertTest(container, test);
}

bool SpravMethodicsDockWindow::acceptsDrop(const QMimeData *data) const
{
    return data->hasFormat(MimeFormats::methodicDragFormat);
}

QMimeData *SpravMethodicsDockWindow::dragData(QStandardItem *item)
{
    InspectionTest test;
    return readSound(item, test) ? MimeFormats::methodicsDockDrag(test, SpravItems::idOf(item)) : nullptr;
}

void SpravMethodicsDockWindow::dropData(QStandardItem *target, const QMimeData *data, QStandardItem *source)
{
    InspectionTest test;
    if (!MimeFormats::acceptTest(data->data(MimeFormats::methodicDragFormat), test, this)
        || !insertTest(target, test))
        return;
    QStandardItem *added = currentItem();
    // Only once the copy is stored: a refused insert keeps the methodic where it was.
    if (source && data->property("1").isValid())
        deleteRow(source);
    makeCurrent(added);
}
