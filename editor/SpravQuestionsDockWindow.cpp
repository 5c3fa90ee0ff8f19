#include "SpravQuestionsDockWindow.h"

#include "MimeFormats.h"
#include "SpravItems.h"
#include "SpravQuestItemDelegate.h"
#include "data/InspectionTheme.h"
#include "data/QuestTypeColor.h"
#include "data/QuestionKindPixmap.h"
#include "data/SpravDB.h"
#include "resources/VugResources.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QStandardItemModel>

namespace {

// One row of the kinds a question can be given from the menu.
struct KindRow {
    int kind;
    bool international;
    const char *icon;  // an international kind's picture; Russian ones are drawn
    const char *addText;
    void (SpravQuestionsDockWindow::*addSlot)();
    const char *newText;
    const char *changeText;
    void (SpravQuestionsDockWindow::*changeSlot)();
};

const KindRow kKindRows[] = {
    {QuestionKind::Null, false, nullptr, QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Добавить НУЛЕВОЙ вопрос"),
     &SpravQuestionsDockWindow::onAddQuestAsNull,
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Нулевой вопрос"), QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "НУЛЕВОЙ вопрос"),
     &SpravQuestionsDockWindow::onMakeQuestAsNull},
    {QuestionKind::Neutral, false, nullptr,
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Добавить НЕЙТРАЛЬНЫЙ вопрос"), &SpravQuestionsDockWindow::onAddQuestAsN,
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Нейтральный вопрос"),
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "НЕЙТРАЛЬНЫЙ вопрос"), &SpravQuestionsDockWindow::onMakeQuestAsN},
    {QuestionKind::Test, false, nullptr, QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Добавить ПРОВЕРОЧНЫЙ вопрос"),
     &SpravQuestionsDockWindow::onAddQuestAsP,
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Проверочниый вопрос"), QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "ПРОВЕРОЧНЫЙ вопрос"),
     &SpravQuestionsDockWindow::onMakeQuestAsP},
    {QuestionKind::Control, false, nullptr,
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Добавить КОНТРОЛЬНЫЙ вопрос"), &SpravQuestionsDockWindow::onAddQuestAsC,
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Контрольный вопрос"),
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "КОНТРОЛЬНЫЙ вопрос"), &SpravQuestionsDockWindow::onMakeQuestAsC},
    {QuestionKind::IntP, true, "addQuest_Usa_P",
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Добавить ВВОДНЫЙ вопрос (P)"), &SpravQuestionsDockWindow::onAddQuest_P,
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Новый вопрос (P)"),
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "ВВОДНЫЙ вопрос (P)"), &SpravQuestionsDockWindow::onMakeQuest_P},
    {QuestionKind::IntI, true, "addQuest_Usa_I",
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Добавить ИРРЕЛЕВАНТНЫЙ (I)"), &SpravQuestionsDockWindow::onAddQuest_I,
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Новый вопрос (I)"),
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "ИРРЕЛЕВАНТНЫЙ (I)"), &SpravQuestionsDockWindow::onMakeQuest_I},
    {QuestionKind::IntC, true, "addQuest_Usa_C",
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Добавить КОНТРОЛЬНЫЙ вопрос (C)"), &SpravQuestionsDockWindow::onAddQuest_C,
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Новый вопрос (C)"),
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "КОНТРОЛЬНЫЙ вопрос (C)"), &SpravQuestionsDockWindow::onMakeQuest_C},
    {QuestionKind::IntR, true, "addQuest_Usa_R",
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Добавить  РЕЛЕВАНТНЫЙ вопрос (R)"), &SpravQuestionsDockWindow::onAddQuest_R,
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Новый вопрос (R)"),
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "РЕЛЕВАНТНЫЙ вопрос (R)"), &SpravQuestionsDockWindow::onMakeQuest_R},
    {QuestionKind::IntSR, true, "addQuest_Usa_SR",
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Добавить ЖЕРТВЕННЫЙ РЕЛЕВАНТНЫЙ вопрос (SR)"),
     &SpravQuestionsDockWindow::onAddQuest_SR,
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Новый вопрос (SR)"), QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "ЖЕРТВЕННЫЙ РЕЛЕВАНТНЫЙ вопрос (SR)"),
     &SpravQuestionsDockWindow::onMakeQuest_SR},
    {QuestionKind::IntSo, true, "addQuest_Usa_So",
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Добавить СИМПТОМАТИЧЕСКИЙ вопрос (So)"), &SpravQuestionsDockWindow::onAddQuest_So,
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Новый вопрос (So)"),
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "СИМПТОМАТИЧЕСКИЙ вопрос (So)"), &SpravQuestionsDockWindow::onMakeQuest_So},
    {QuestionKind::IntGC, true, "addQuest_Usa_GC",
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Добавить вопрос КОМПЛЕКСА ВИНЫ (GC)"), &SpravQuestionsDockWindow::onAddQuest_GC,
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "Новый вопрос (GC)"),
     QT_TRANSLATE_NOOP("SpravQuestionsDockWindow", "вопрос КОМПЛЕКСА ВИНЫ (GC)"), &SpravQuestionsDockWindow::onMakeQuest_GC},
};

// A question from a payload, on one line; an empty one is nothing to store.
bool takeQuestion(const QMimeData *data, const QString &format, MimeFormats::Question &question)
{
    if (!MimeFormats::readQuestion(data, format, question))
        return false;
    question.text = SpravItems::singleLine(question.text);
    return !question.text.isEmpty();
}

SpravTreeView::DragLook dragLook()
{
    return {QCoreApplication::translate("_TreeView_SpravQuestios", " + копирование "),
            QCoreApplication::translate("_TreeView_SpravQuestios", " -> перемещение "), false};
}

const KindRow &kindRow(int kind)
{
    for (const KindRow &row : kKindRows)
        if (row.kind == kind)
            return row;
    Q_UNREACHABLE();
}

}  // namespace

SpravQuestionsDockWindow::SpravQuestionsDockWindow(QWidget *parent)
    : SpravDockWindow(tr("Справочник вопросов"), QStringLiteral("SpravQuestionsDockWindow"),
                      {tr("Российская система вопросов"), tr("Международная система вопросов"), &SpravDB::loadQuestTree,
                       &SpravDB::insertFolderQuest, &SpravDB::updateFolderQuest, &SpravDB::deleteFolderQuest,
                       &SpravDB::deleteQuest, &SpravDB::newQuestFolderItem},
                      dragLook(), parent)
{
    auto *delegate = new SpravQuestItemDelegate(this, m_view);
    delegate->setObjectName(QStringLiteral("spravQ"));
    m_view->setItemDelegate(delegate);
    m_view->setDefaultDropAction(Qt::CopyAction);

    createActions({tr("Копировать ВОПРОС в системный буфер\tCtrl+C"),
                   tr("Вставить ВОПРОС из системного буфера\tCtrl+V"), tr("Изменить ВОПРОС\tF2"),
                   tr("Удалить ВОПРОС\tDel"), [this] { action_EditQuest(); }, [this] { action_DeleteQuest(); }});
    createKindActions();
}

void SpravQuestionsDockWindow::addQuestOfKind(int kind)
{
    addQuest(kind, tr(kindRow(kind).newText));
}

void SpravQuestionsDockWindow::onAddQuestAsP() { addQuestOfKind(QuestionKind::Test); }
void SpravQuestionsDockWindow::onAddQuestAsC() { addQuestOfKind(QuestionKind::Control); }
void SpravQuestionsDockWindow::onAddQuestAsN() { addQuestOfKind(QuestionKind::Neutral); }
void SpravQuestionsDockWindow::onAddQuestAsNull() { addQuestOfKind(QuestionKind::Null); }
void SpravQuestionsDockWindow::onAddQuest_P() { addQuestOfKind(QuestionKind::IntP); }
void SpravQuestionsDockWindow::onAddQuest_I() { addQuestOfKind(QuestionKind::IntI); }
void SpravQuestionsDockWindow::onAddQuest_C() { addQuestOfKind(QuestionKind::IntC); }
void SpravQuestionsDockWindow::onAddQuest_R() { addQuestOfKind(QuestionKind::IntR); }
void SpravQuestionsDockWindow::onAddQuest_SR() { addQuestOfKind(QuestionKind::IntSR); }
void SpravQuestionsDockWindow::onAddQuest_So() { addQuestOfKind(QuestionKind::IntSo); }
void SpravQuestionsDockWindow::onAddQuest_GC() { addQuestOfKind(QuestionKind::IntGC); }
void SpravQuestionsDockWindow::onMakeQuestAsP() { setCurrentQuestKind(QuestionKind::Test); }
void SpravQuestionsDockWindow::onMakeQuestAsC() { setCurrentQuestKind(QuestionKind::Control); }
void SpravQuestionsDockWindow::onMakeQuestAsN() { setCurrentQuestKind(QuestionKind::Neutral); }
void SpravQuestionsDockWindow::onMakeQuestAsNull() { setCurrentQuestKind(QuestionKind::Null); }
void SpravQuestionsDockWindow::onMakeQuest_P() { setCurrentQuestKind(QuestionKind::IntP); }
void SpravQuestionsDockWindow::onMakeQuest_I() { setCurrentQuestKind(QuestionKind::IntI); }
void SpravQuestionsDockWindow::onMakeQuest_C() { setCurrentQuestKind(QuestionKind::IntC); }
void SpravQuestionsDockWindow::onMakeQuest_R() { setCurrentQuestKind(QuestionKind::IntR); }
void SpravQuestionsDockWindow::onMakeQuest_SR() { setCurrentQuestKind(QuestionKind::IntSR); }
void SpravQuestionsDockWindow::onMakeQuest_So() { setCurrentQuestKind(QuestionKind::IntSo); }
void SpravQuestionsDockWindow::onMakeQuest_GC() { setCurrentQuestKind(QuestionKind::IntGC); }

void SpravQuestionsDockWindow::createKindActions()
{
    for (const KindRow &row : kKindRows) {
        const QIcon icon = row.international ? VugImages::icon(QLatin1String(row.icon))
                                             : QIcon(addQuestionPixmap(row.kind));
        QAction *change = newAction(icon, tr(row.changeText), std::bind(row.changeSlot, this));
        change->setCheckable(true);
        QAction *add = newAction(icon, tr(row.addText), std::bind(row.addSlot, this));
        m_kinds.append({row.kind, row.international, add, change});
    }
}

SpravDB::Result SpravQuestionsDockWindow::updateRowText(SpravDB &db, QStandardItem *item, const QString &text)
{
    return db.updateQuest(SpravItems::idOf(item), text, item->data(SpravDB::KindRole).toInt());
}

void SpravQuestionsDockWindow::modelReplaced(QItemSelectionModel *selection)
{
    connect(selection, &QItemSelectionModel::currentChanged, this, &SpravQuestionsDockWindow::onSelectedItem);
}

void SpravQuestionsDockWindow::onSelectedItem(QModelIndex index)
{
    Q_UNUSED(index);
    updateActions();
}

bool SpravQuestionsDockWindow::canPaste(const QStandardItem *current) const
{
    Q_UNUSED(current);
    const QMimeData *clip = QApplication::clipboard()->mimeData();
    return clip && !clip->data(MimeFormats::plainTextFormat).isEmpty();
}

void SpravQuestionsDockWindow::updateOwnActions(const QStandardItem *current)
{
    const bool container = current && SpravItems::isContainer(current);
    const bool question = current && !container;
    const int kind = question ? current->data(SpravDB::KindRole).toInt() : 0;
    for (const KindActions &actions : qAsConst(m_kinds)) {
        actions.add->setEnabled(container);
        actions.change->setEnabled(question);
        // A question without a kind shows as a null one in the menu.
        const int shownAs = actions.kind == QuestionKind::Null ? -1 : actions.kind;
        actions.change->setChecked(question && kind == shownAs);
    }
}

void SpravQuestionsDockWindow::addOwnActions(QMenu *menu, const QStandardItem *item)
{
    if (item) {
        const bool international = SpravItems::isInternational(item);
        const bool container = SpravItems::isContainer(item);
        for (const KindActions &actions : qAsConst(m_kinds))
            if (actions.international == international)
                menu->addAction(container ? actions.add : actions.change);
    }
    menu->addSeparator();
}

bool SpravQuestionsDockWindow::insertQuestion(QStandardItem *container, int kind, const QString &text)
{
    useSetOf(container);
    SpravDB db;
    const int id = db.insertQuest(SpravItems::folderIdOf(container), text, kind);
    if (id <= 0)
        return refused();
    appendAndShow(container, SpravDB::newQuestItem(id, kind, text));
    return true;
}

bool SpravQuestionsDockWindow::updateQuestion(QStandardItem *item, int kind, const QString &text)
{
    useSetOf(item);
    SpravDB db;
    if (!stored(db.updateQuest(SpravItems::idOf(item), text, kind)))
        return refused();
    item->setText(text);
    item->setData(kind, SpravDB::KindRole);
    item->setForeground(QBrush(questTypeColor(kind)));
    return true;
}

void SpravQuestionsDockWindow::addQuest(int kind, const QString &text)
{
    QStandardItem *container = currentItem();
    if (container && SpravItems::isContainer(container))
        insertQuestion(container, kind, text);
}

void SpravQuestionsDockWindow::setCurrentQuestKind(int kind)
{
    if (QStandardItem *item = currentRow())
        updateQuestion(item, kind, item->text());
}

void SpravQuestionsDockWindow::action_EditQuest()
{
    editCurrent();
}

void SpravQuestionsDockWindow::action_DeleteQuest()
{
    if (QStandardItem *item = currentRow())
        deleteRow(item);
}

void SpravQuestionsDockWindow::action_Copy()
{
    QStandardItem *item = currentRow();
    if (!item)
        return;
    // The question formats hold two lines, so a stored text with breaks travels on one.
    QApplication::clipboard()->setMimeData(MimeFormats::questionsDockCopy(item->data(SpravDB::KindRole).toInt(),
                                                                          SpravItems::singleLine(item->text())));
}

void SpravQuestionsDockWindow::action_Paste()
{
    QStandardItem *item = currentItem();
    const QMimeData *clip = QApplication::clipboard()->mimeData();
    MimeFormats::Question question;
    if (!item || !clip || !takeQuestion(clip, MimeFormats::questionClipboardFormat, question))
        return;
    if (SpravItems::isContainer(item)) {
        insertQuestion(item, question.kind, question.text);
        return;
    }
    const int kind = question.kind >= 0 ? question.kind : item->data(SpravDB::KindRole).toInt();
    if (updateQuestion(item, kind, question.text))
        makeCurrent(item);
}

bool SpravQuestionsDockWindow::acceptsDrop(const QMimeData *data) const
{
    return data->hasFormat(MimeFormats::questionDragFormat) || data->hasFormat(MimeFormats::plainTextFormat);
}

QMimeData *SpravQuestionsDockWindow::dragData(QStandardItem *item)
{
    return MimeFormats::questionsDockDrag(item->data(SpravDB::KindRole).toInt(),
                                          SpravItems::singleLine(item->text()), SpravItems::idOf(item));
}

void SpravQuestionsDockWindow::dropData(QStandardItem *target, const QMimeData *data, QStandardItem *source)
{
    MimeFormats::Question question;
    if (!takeQuestion(data, MimeFormats::questionDragFormat, question)
        || !insertQuestion(target, question.kind, question.text))
        return;
    QStandardItem *added = currentItem();
    // Only once the copy is stored: a refused insert keeps the question where it was.
    if (source && data->property("1").isValid())
        deleteRow(source);
    makeCurrent(added);
}
