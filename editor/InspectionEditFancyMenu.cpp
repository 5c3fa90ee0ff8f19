#include "EditorActionRules.h"
#include "InspectionEditFancy.h"
#include "InspectionTreeView.h"
#include "MimeFormats.h"
#include "data/ActivePopupMenu.h"
#include "data/InspectionMedia.h"
#include "resources/VugResources.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QShortcut>

namespace {

const int kNullQuestions = 10000;

}  // namespace

EditorActionState InspectionEditFancy::actionState() const
{
    EditorActionState state;
    state.open = isOpen();
    const QModelIndex current = m_tree->model() ? m_tree->currentIndex() : QModelIndex();
    state.current = current.isValid();
    state.question = isQuestionItem(current);
    auto *self = const_cast<InspectionEditFancy *>(this);
    const Inspection::_Test *test = state.current ? self->testOf(current) : nullptr;
    state.test = test;
    state.recorded = !test || test->recorded;
    state.canUndo = test && m_inspection.canUndo(test);
    state.canRedo = test && m_inspection.canRedo(test);
    state.canShiftUp = state.open && m_tree->canShift(-1);
    state.canShiftDown = state.open && m_tree->canShift(1);
    if (const QMimeData *mime = QApplication::clipboard()->mimeData()) {
        state.testOnClipboard = mime->hasFormat(MimeFormats::testClipboardFormat);
        state.questionOnClipboard = mime->hasFormat(MimeFormats::questionClipboardFormat);
        state.textOnClipboard = mime->hasFormat(MimeFormats::plainTextFormat);
    }
    return state;
}

void InspectionEditFancy::updateActions()
{
    const EditorActionRules rules = editorActionRules(actionState());
    m_addTest->setEnabled(rules.addTest);
    m_excel->setEnabled(rules.excel);
    m_collapse->setEnabled(rules.collapseExpand);
    m_expand->setEnabled(rules.collapseExpand);
    m_extraInfo->setEnabled(rules.extraInfo);
    m_extraInfo->setChecked(m_showExtraInfo);
    m_shiftUp->setEnabled(rules.shiftUp);
    m_shiftDown->setEnabled(rules.shiftDown);
    m_copy->setEnabled(rules.copy);
    m_paste->setEnabled(rules.paste);
    m_edit->setEnabled(rules.edit);
    m_delete->setEnabled(rules.remove);
    m_deleteGroup->setEnabled(rules.deleteGroup);
    m_deletePolygram->setEnabled(rules.deletePolygram);
    m_addGroup->setEnabled(rules.addQuestions);
    for (QAction *add : m_addRus + m_addUsa)
        add->setEnabled(rules.addQuestions);
    m_talkYes->setEnabled(rules.talk);
    m_talkNo->setEnabled(rules.talk);
    m_undo->setEnabled(rules.undo);
    m_undoKey->setEnabled(rules.undo);
    m_redo->setEnabled(rules.redo);
    m_redoKey->setEnabled(rules.redo);
    m_copyKey->setEnabled(rules.copyKey);
    m_pasteKey->setEnabled(rules.pasteKey);
    m_editKey->setEnabled(rules.editKey);
    m_deleteKey->setEnabled(rules.deleteKey);
    if (!rules.addTest) {
        // With no subject only the set toggles stay live.
        for (const QList<KindAction> *set : {&m_kindsRus, &m_kindsUsa}) {
            for (const KindAction &each : *set)
                each.action->setEnabled(false);
        }
        m_reorder->setEnabled(false);
    }
}

void InspectionEditFancy::updateRusUsaActions()
{
    const bool rus = m_showRus->isChecked();
    const bool usa = m_showUsa->isChecked();
    for (QAction *add : m_addRus)
        add->setVisible(rus);
    for (QAction *add : m_addUsa)
        add->setVisible(usa);
    m_setsSeparator->setVisible(rus && usa);
    emit notifyChangeRusUsaQuests(rus, usa);
}

void InspectionEditFancy::setFocusShortcutsEnabled(bool enabled)
{
    for (QShortcut *key : {m_copyKey, m_pasteKey, m_editKey, m_deleteKey})
        key->setEnabled(enabled);
}

// The docks keep their own Ctrl+C, Ctrl+V and Del while they have the focus;
// in the tree the enabling rules decide, so a recorded test stays read-only.
bool InspectionEditFancy::eventFilter(QObject *watched, QEvent *event)
{
    if (isVisible() && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        QWidget *focus = QApplication::focusWidget();
        if (focus == this || focus == m_tree)
            updateActions();
        else
            setFocusShortcutsEnabled(false);
        event->ignore();
        return false;
    }
    return Fancy::FancyMainWindow::eventFilter(watched, event);
}

void InspectionEditFancy::onCustomContextMenu(const QPoint &pos)
{
    QScopedPointer<QMenu> menu(createContextMenu(pos));
    ActivePopupMenu marker(menu.data());
    menu->exec(m_tree->viewport()->mapToGlobal(pos));
}

QMenu *InspectionEditFancy::createContextMenu(const QPoint &pos)
{
    m_contextIndex = m_tree->indexAt(pos);
    if (!m_contextIndex.isValid() && m_tree->selectionModel()) {
        m_tree->selectionModel()->clearSelection();
        m_tree->selectionModel()->clearCurrentIndex();
    }
    const bool question = isQuestionItem(m_contextIndex);
    if (question) {
        m_copy->setText(tr("Копировать ВОПРОС в системный буфер\tCtrl+C"));
        m_paste->setText(tr("Вставить ВОПРОС из системного буфера\tCtrl+V"));
        m_edit->setText(tr("Изменить ВОПРОС\tF2"));
        m_delete->setText(tr("Удалить ВОПРОС\tDel"));
    } else {
        m_copy->setText(tr("Копировать TECT в системный буфер\tCtrl+C"));
        m_paste->setText(tr("Вставить ТЕСТ из системного буфера\tCtrl+V"));
        m_edit->setText(tr("Изменить ТЕСТ\tF2"));
        m_delete->setText(tr("Удалить ТЕСТ\tDel"));
    }
    for (QAction *action : {m_copy, m_paste, m_edit, m_delete, m_deleteGroup, m_deletePolygram})
        action->setEnabled(m_contextIndex.isValid());

    auto *menu = new QMenu(this);
    Inspection::_Test *test = testOf(m_contextIndex);
    if (question)
        addQuestionEntries(menu, test, m_contextIndex.data(Qt::UserRole + 1).toInt());
    else
        addTestEntries(menu, test);
    updateActions();
    return menu;
}

QAction *InspectionEditFancy::newMenuAction(QMenu *menu, const QString &text, Slot slot, bool checkable)
{
    auto *action = new QAction(text, menu);
    action->setCheckable(checkable);
    connect(action, &QAction::triggered, this, slot);
    return action;
}

void InspectionEditFancy::addQuestionEntries(QMenu *menu, Inspection::_Test *test, int question)
{
    const Inspection::_Theme *theme = test ? &test->theme(question) : nullptr;
    const bool editable = test && !test->recorded;
    const int kind = !theme ? -1 : (theme->SubType < 0 ? theme->Type : theme->SubType);
    const bool international = theme && theme->SubType >= 3 && theme->SubType != kNullQuestions;
    const QList<KindAction> &kinds = international ? m_kindsUsa : m_kindsRus;
    for (const QList<KindAction> *set : {&m_kindsRus, &m_kindsUsa}) {
        for (const KindAction &each : *set) {
            each.action->setChecked(each.kind == kind);
            const bool russian = set == &m_kindsRus;
            each.action->setEnabled(editable && (!russian || question < kNullQuestions));
        }
    }
    m_reorder->setEnabled(editable);

    QAction *loadPicture = newMenuAction(menu, tr("Загрузить фотографию..."), &InspectionEditFancy::action_AttachPhoto);
    QAction *viewPicture = newMenuAction(menu, tr("Просмотреть фотографию..."), &InspectionEditFancy::action_ViewPhoto);
    QAction *deletePicture = newMenuAction(menu, tr("Удалить фотографию"), &InspectionEditFancy::action_DeletePhoto);
    QAction *showQuestion = newMenuAction(menu, tr("Показывать вопрос"), &InspectionEditFancy::action_ShowQuestToSecontMonitor, true);
    const bool picture = theme && !theme->PhotoImage4.isEmpty();
    const bool allShown = test && test->ShowAllQuestSecondMonitor;
    loadPicture->setEnabled(editable);
    viewPicture->setEnabled(picture);
    deletePicture->setEnabled(picture && editable);
    showQuestion->setEnabled(editable && !allShown);
    showQuestion->setChecked(allShown || (theme && theme->ShowQuestToSecondMonitor));

    menu->addActions({m_copy, m_paste});
    menu->addSeparator();
    menu->addActions({m_edit, m_delete});
    menu->addSeparator();
    for (const KindAction &each : kinds)
        menu->addAction(each.action);
    menu->addSeparator();
    menu->addAction(m_reorder);
    menu->addSeparator();
    menu->addAction(m_deleteGroup);
    menu->addSeparator();
    QMenu *second = menu->addMenu(tr("Второй монитор"));
    second->addActions({loadPicture, viewPicture, deletePicture});
    second->addSeparator();
    second->addAction(showQuestion);
}

void InspectionEditFancy::addTestEntries(QMenu *menu, Inspection::_Test *test)
{
    QAction *showVideo = newMenuAction(menu, tr("Показать в проводнике файл видо-аудио записи"),
                                       &InspectionEditFancy::action_ShowFileAVI);
    QAction *showAll = newMenuAction(menu, tr("Показывать ВСЕ вопросы на втором мониторе"),
                                     &InspectionEditFancy::action_ShowAllQuestionsSecondMonitor, true);
    QAction *comments = newMenuAction(menu, tr("Комментарий к тесту..."), &InspectionEditFancy::onTestComments);
    comments->setIcon(VugImages::icon(QStringLiteral("Comment-icon.png")));
    if (test) {
        QAction *open = test->recorded
                            ? newMenuAction(menu, tr("Просмотр полиграммы"), &InspectionEditFancy::action_DefViewPoligramme)
                            : newMenuAction(menu, tr("Запись полиграммы"), &InspectionEditFancy::action_DefRecordPoligramme);
        menu->addAction(open);
        menu->setDefaultAction(open);
        // The file is looked for without making the companion folder.
        const bool hasMedia = QFileInfo(InspectionMedia::mediaFolder(m_inspection)).isDir();
        showVideo->setEnabled(test->recorded && hasMedia
                              && QFileInfo(InspectionMedia::testVideoPath(m_inspection, *test)).isReadable());
        showAll->setChecked(test->ShowAllQuestSecondMonitor);
    } else {
        showVideo->setEnabled(false);
        showAll->setEnabled(false);
    }
    menu->addSeparator();
    menu->addActions({m_copy, m_paste});
    menu->addSeparator();
    menu->addActions({m_edit, m_delete});
    menu->addSeparator();
    menu->addAction(comments);
    menu->addSeparator();
    menu->addAction(m_deletePolygram);
    menu->addSeparator();
    menu->addAction(showVideo);
    if (test && !test->recorded) {
        menu->addSeparator();
        menu->addAction(showAll);
    }
}
