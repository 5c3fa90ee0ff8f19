#include "PersoneDockWindow.h"
#include "PersonePropertyDlg.h"

#include "SubjectClipboard.h"
#include "SubjectStore.h"
#include "_PersoneDock_Proxy.h"
#include "_PersoneDock_TreeView.h"
#include "data/FileManager.h"
#include "data/FileChooser.h"
#include "data/Inspection.h"
#include "data/WaitCursor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>

namespace {

const int kShowDelayMs = 200;

}  // namespace

void PersoneDockWindow::onActionCreateLink()
{
    const QModelIndex index = actedIndex();
    if (isSubject(index))
        emit notyfyCreatePersoneLinkAndVerify(pathOf(index));
}

void PersoneDockWindow::action_CreateFolder()
{
    const QModelIndex parent = actedIndex();
    if (isFolder(parent)) {
        const QString folder = SubjectStore::createFolder(pathOf(parent), tr("Новая папка%1"));
        if (!folder.isEmpty()) {
            m_shownFolder = folder;
            QTimer::singleShot(kShowDelayMs, this, &PersoneDockWindow::onUpdate_ItemVisible_Folder);
        }
    }
    updateActions();
}

void PersoneDockWindow::action_EditFolder()
{
    const QModelIndex index = m_tree->currentIndex();
    if (index.isValid() && !isDataRoot(index))
        m_tree->edit(index);
}

void PersoneDockWindow::action_EditUser()
{
    action_EditFolder();
}

void PersoneDockWindow::action_DeleteFolder()
{
    const QModelIndex index = actedIndex();
    if (isFolder(index) && !isDataRoot(index)) {
        const QString folder = pathOf(index);
        if (QMessageBox::question(this, tr("Воркел"), tr("<p>Вы хотите удалить папку %1 ?</p>").arg(folder),
                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            == QMessageBox::Yes) {
            clearSelection();
            const bool removed = QDir(folder).removeRecursively();
            // Whatever went, a subject loaded from inside must not outlive its file.
            announceRemoval();
            if (!removed)
                QMessageBox::warning(this, tr("Воркел"), tr("Папку %1 не удалось удалить полностью.").arg(folder));
        }
    }
    updateActions();
}

void PersoneDockWindow::action_RunExplorer()
{
    const QModelIndex index = actedIndex();
    if (!index.isValid())
        return;
    const QString folder = pathOf(index);
    if (!FileManager::openFolder(folder))
        QMessageBox::warning(this, tr("Воркел"), tr("Не удалось открыть папку %1.").arg(folder));
}

void PersoneDockWindow::action_ExpandFolder()
{
    const QModelIndex index = firstSelected();
    if (!index.isValid())
        return;
    m_tree->expand(index);
    for (int row = 0; row < m_proxy->rowCount(index); ++row) {
        const QModelIndex child = m_proxy->index(row, 0, index);
        m_tree->expand(child);
        for (int grandRow = 0; grandRow < m_proxy->rowCount(child); ++grandRow)
            m_tree->collapse(m_proxy->index(grandRow, 0, child));
    }
}

void PersoneDockWindow::action_CollapseFolder()
{
    const QModelIndex index = firstSelected();
    for (int row = 0; index.isValid() && row < m_proxy->rowCount(index); ++row)
        m_tree->collapse(m_proxy->index(row, 0, index));
}

void PersoneDockWindow::action_AddUser()
{
    const QModelIndex folder = actedIndex();
    if (!isFolder(folder)) {
        updateActions();
        return;
    }
    const QString path = SubjectStore::freeSubjectPath(pathOf(folder), tr("Новый обследуемый%0"));
    if (path.isEmpty()) {
        updateActions();
        return;
    }
    Inspection subject(path);
    if (subject.saveTestStruct(nullptr) != StoreResult::Ok) {
        QMessageBox::warning(this, tr("Воркел"), tr("Не удалось создать файл обследуемого\n%1").arg(path));
        updateActions();
        return;
    }
    // Making it current announces it; a model that has not seen the file yet
    // makes it current later.
    showPath(path);
    if (pathOf(m_tree->currentIndex()) != path)
        emit notificationChangedPerosneSignal(path, path, this);
    m_tree->setFocus();
    m_shownFile = path;
    QTimer::singleShot(kShowDelayMs, this, &PersoneDockWindow::onUpdate_ItemVisible_File);
    updateActions();
}

void PersoneDockWindow::action_DeleteUser()
{
    const QModelIndex index = actedIndex();
    if (!isSubject(index))
        return;
    const QString path = pathOf(index);
    const QString name = QFileInfo(path).completeBaseName();
    if (QMessageBox::question(this, tr("Воркел"), tr("Вы действительно хотите удалить обследуемого '%0' ?")
                                                      .replace(QLatin1String("%0"), name),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    const QString failed = SubjectStore::trashSubject(path);
    if (failed != path) {
        clearSelection();
        announceRemoval();
    }
    if (!failed.isEmpty())
        QMessageBox::warning(this, tr("Воркел"),
                             tr("Не удалось переместить в корзину файл\n%1\nОстальные файлы обследуемого не тронуты.")
                                 .arg(failed));
    updateActions();
}

void PersoneDockWindow::announceRemoval()
{
    emit notificationChangedPerosneSignal(QString(), QString(), this);
    emit notyfyCreatePersoneLinkAndVerify(QString());
}

void PersoneDockWindow::renameEntry(const QModelIndex &index, const QString &text)
{
    if (!index.isValid() || isDataRoot(index))
        return;
    const QString oldPath = pathOf(index);
    const bool folder = isFolder(index);
    clearSelection();
    SubjectStore::NameProblem problem;
    const QString newPath = SubjectStore::rename(oldPath, text, folder, &problem);
    (folder ? m_shownFolder : m_shownFile) = newPath.isEmpty() ? oldPath : newPath;
    QTimer::singleShot(kShowDelayMs, this, folder ? &PersoneDockWindow::onUpdate_ItemVisible_Folder
                                                  : &PersoneDockWindow::onUpdate_ItemVisible_File);
    if (!newPath.isEmpty()) {
        emit notificationChangedPerosneSignal(oldPath, newPath, this);
        emit notyfyCreatePersoneLinkAndVerify(QString());
        return;
    }
    QString why;
    switch (problem) {
    case SubjectStore::NameProblem::None:
    case SubjectStore::NameProblem::Unchanged:
        return;
    case SubjectStore::NameProblem::Empty:
        why = tr("Имя не может быть пустым.");
        break;
    case SubjectStore::NameProblem::Separator:
        why = tr("Имя не может содержать символы «/» и «\\».");
        break;
    case SubjectStore::NameProblem::LeadingDot:
        why = tr("Имя не может начинаться с точки.");
        break;
    case SubjectStore::NameProblem::Control:
        why = tr("Имя не может содержать переводы строки и управляющие символы.");
        break;
    case SubjectStore::NameProblem::TooLong:
        why = tr("Имя слишком длинное: самое длинное из имён файлов займёт %1 байт, "
                 "а файловая система допускает не больше %2.")
                  .arg(SubjectStore::longestOwnedName(oldPath, text, folder))
                  .arg(SubjectStore::nameLimit(QFileInfo(oldPath).absolutePath()));
        break;
    case SubjectStore::NameProblem::Taken:
        why = tr("Имя «%1» в этой папке уже занято.").arg(text.trimmed());
        break;
    case SubjectStore::NameProblem::Failed:
        why = tr("Не удалось переименовать «%1».").arg(QFileInfo(oldPath).fileName());
        break;
    }
    QMessageBox::warning(this, tr("Воркел"), why + QLatin1Char('\n') + tr("Прежнее имя сохранено."));
}

void PersoneDockWindow::onActionInspectionCopy()
{
    const QModelIndex index = actedIndex();
    if (isSubject(index) && !SubjectClipboard::copyTests(pathOf(index)))
        QMessageBox::warning(this, tr("Воркел"), tr("Тесты обследуемого слишком велики для буфера обмена."));
}

void PersoneDockWindow::onActionInspectionPaste()
{
    const QModelIndex index = actedIndex();
    if (!isSubject(index))
        return;
    const QString path = pathOf(index);
    int added = 0;
    SubjectBounds::Excess excess = SubjectBounds::Excess::None;
    switch (SubjectClipboard::pasteTests(QGuiApplication::clipboard()->mimeData(), path, &added, &excess)) {
    case SubjectClipboard::PasteResult::Nothing:
        return;
    case SubjectClipboard::PasteResult::Malformed:
        QMessageBox::warning(this, tr("Воркел"), tr("В буфере обмена нет читаемых тестов: ничего не добавлено."));
        return;
    case SubjectClipboard::PasteResult::TooMany:
        QMessageBox::warning(this, tr("Воркел"), SubjectBounds::refusal(excess, tr("вставка не выполнена")));
        return;
    case SubjectClipboard::PasteResult::NotStored:
        QMessageBox::warning(this, tr("Воркел"),
                             tr("Не удалось сохранить тесты в файле обследуемого\n%1\nСохранено тестов: %2.")
                                 .arg(path)
                                 .arg(added));
        break;
    case SubjectClipboard::PasteResult::Pasted:
        break;
    }
    emit notificationChangedPerosneSignal(path, path, this);
}

void PersoneDockWindow::onActionExport()
{
    const QModelIndex index = actedIndex();
    if (!isSubject(index))
        return;
    // The tree may sort or fill anew while the dialog is open: the index would
    // then name another entry.
    const QString subject = pathOf(index);
    const QString folder = FileChooser::getExistingDirectory(this, tr("Выбор папки для экспорта"));
    if (folder.isEmpty())
        return;
    const auto mayReplace = [this](const QString &package) {
        return askDuringWait(tr("Пакет «%1» уже есть в этой папке. Заменить его?").arg(package));
    };
    WaitCursor wait;
    const SubjectPackage::ExportResult result = SubjectPackage::exportSubject(subject, folder, mayReplace);
    wait.release();
    if (!result.error.isEmpty())
        QMessageBox::warning(this, tr("Воркел"), result.error + QLatin1Char('\n') + tr("Пакет не записан."));
    else if (!result.package.isEmpty())
        QMessageBox::information(this, tr("Воркел"), tr("Пакет обследуемого записан в файл\n%1\nФайлов в пакете: %2.")
                                                             .arg(QDir::toNativeSeparators(result.package))
                                                             .arg(result.files.size())
                                                         + result.leftOutReport());
}

void PersoneDockWindow::onActionImport()
{
    const QModelIndex index = actedIndex();
    if (!isFolder(index))
        return;
    const QString target = pathOf(index);
    const QString package = FileChooser::getOpenFileName(this, tr("Выбор файла для импорта"), QString(),
                                                         QStringLiteral("*.dqmz"));
    if (package.isEmpty())
        return;
    // The open subject is replaced only once what it holds in memory went into
    // its file; then it is shown as imported.
    const QString chosen = pathOf(m_tree->currentIndex());
    const auto isChosen = [&chosen](const QString &subject) {
        return !chosen.isEmpty() && QFileInfo(subject) == QFileInfo(chosen);
    };
    const auto mayReplace = [this, &chosen, &isChosen](const QString &subject) {
        if (!askDuringWait(tr("Обследуемый «%1» уже есть в этой папке. Заменить его и его записи?")
                               .arg(QFileInfo(subject).completeBaseName())))
            return false;
        if (isChosen(subject))
            emit notificationChangedPerosneSignal(chosen, chosen, this);
        return true;
    };
    WaitCursor wait;
    const SubjectPackage::ImportResult result = SubjectPackage::importPackage(package, target, mayReplace);
    wait.release();
    if (std::any_of(result.imported.cbegin(), result.imported.cend(), isChosen))
        emit notificationChangedPerosneSignal(chosen, chosen, this);
    QMessageBox::information(this, tr("Воркел"), result.report());
    if (!result.imported.isEmpty())
        emit notyfyCreatePersoneLinkAndVerify(QString());
}

// The wait cursor gives way to the question and comes back after it.
bool PersoneDockWindow::askDuringWait(const QString &question)
{
    const WaitCursor::Pause pause;
    return QMessageBox::question(this, tr("Воркел"), question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

void PersoneDockWindow::onAction_UserProperty()
{
    const QModelIndex acted = actedIndex();
    if (!isSubject(acted))
        return;
    const QString path = pathOf(acted);
    PersonePropertyDlg dialog(this, path, PersonePropertyDlg::PersonTab);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The comment icon and tool tip follow the new pre-test text.
    m_preTestTexts.drop(path);
    m_tree->viewport()->update();
    emit notificationChangedPerosneSignal(path, path, this);
}
