#include "InspectionEditFancy.h"
#include "InspectionTreeView.h"
#include "PendingRecordingPrompt.h"
#include "data/Diagnostics.h"
#include "data/InspectionMedia.h"
#include "data/InspectionStore.h"
#include "data/ReadRefusal.h"
#include "data/WaitCursor.h"
#include "subjects/PersoneDockWindow.h"
#include "subjects/PersoneLinkDockWindow.h"
#include "subjects/PreTestCanversationDockWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

#include <utility>

void InspectionEditFancy::onChangedPersone2(QString fileOld, QString fileNew, QObject *pSender)
{
    if (!m_tree)
        return;
    qCDebug(vugEditor) << "InspectionEditFancy::onChangedPersone2";
    if (m_subjectHeld) {
        m_heldChanges.append({fileOld, fileNew, pSender});
        return;
    }
    if (fileNew.isEmpty() && !fileOld.isEmpty()) {
        closeTakenSubject(fileOld);
        return;
    }
    // The files are renamed already; a pre-test recording running for them
    // must name its video after where they are now.
    if (m_preTest && !fileOld.isEmpty() && fileOld != fileNew)
        m_preTest->followRename(fileOld, fileNew);
    if (!fileNew.isEmpty())
        clearOtherDockSelection(pSender);
    if (fileNew.isEmpty() || QFileInfo(fileNew).isDir())
        closeSubject();
    else
        openSubject(fileOld, fileNew);
}

void InspectionEditFancy::holdSubject(bool held)
{
    m_subjectHeld = held;
    if (held)
        return;
    const QVector<SubjectChange> changes = std::exchange(m_heldChanges, {});
    for (const SubjectChange &change : changes)
        onChangedPersone2(change.fileOld, change.fileNew, change.sender);
}

void InspectionEditFancy::clearOtherDockSelection(QObject *sender)
{
    auto *subjects = findChild<PersoneDockWindow *>(QStringLiteral("PersoneDockWindow"));
    auto *links = findChild<PersoneLinkDockWindow *>(QStringLiteral("PersoneLinkDockWindow"));
    if (!subjects || !links)
        return;
    if (sender == subjects)
        links->clearSelection();
    else if (sender == links)
        subjects->clearSelection();
}

bool InspectionEditFancy::settlePendingRecording()
{
    if (!PendingRecordingPrompt::resolve(this, m_inspection))
        return false;
    // Marks kept in memory, their file gone, keep the subject open: leaving
    // would lose them. The examiner may close it and let them go.
    return settleMovedMarks(true) != SaveRefusal::Outcome::Kept;
}

bool InspectionEditFancy::mayLeaveSubject()
{
    if (settlePendingRecording())
        return true;
    auto *subjects = findChild<PersoneDockWindow *>(QStringLiteral("PersoneDockWindow"));
    auto *links = findChild<PersoneLinkDockWindow *>(QStringLiteral("PersoneLinkDockWindow"));
    // The view that announced the choice still selects the clicked entry
    // once this returns: the open subject is shown after that.
    QTimer::singleShot(0, this, [subjects, links, path = m_inspection.path] {
        if (subjects)
            subjects->chooseQuietly(path);
        if (links)
            links->clearSelection();
    });
    return false;
}

SaveRefusal::Outcome InspectionEditFancy::settle(StoreResult result, const std::function<StoreResult()> &save,
                                                 bool canClose, const QString &edit)
{
    const SaveRefusal::Outcome outcome = SaveRefusal::settle(this, m_inspection.path, result, save, canClose, edit);
    if (outcome == SaveRefusal::Outcome::Dropped)
        showAsStored();
    else if (outcome == SaveRefusal::Outcome::CloseSubject)
        closeSubject();
    return outcome;
}

void InspectionEditFancy::onSaveRefused(const StoreResult &result, const QString &path,
                                        const std::function<StoreResult()> &retry)
{
    // The subject was left before the refusal could be told (its file gone
    // from the folder): the edit went with it.
    if (path != m_inspection.path) {
        SaveRefusal::tellLost(this, result, path);
        return;
    }
    settle(result, retry);
}

bool InspectionEditFancy::keepsEdit(StoreResult result, const std::function<StoreResult()> &save)
{
    const SaveRefusal::Outcome outcome = settle(result, save);
    return outcome == SaveRefusal::Outcome::Saved || outcome == SaveRefusal::Outcome::Kept;
}

void InspectionEditFancy::showAsStored()
{
    const WaitCursor wait;
    if (m_inspection.reread(m_inspection.marksRefused()) == StoreResult::Busy)
        m_inspection.revertUnsaved();
    m_contextIndex = QModelIndex();
    reloadTree(false, nullptr);
    announceInspection();
    updateActions();
}

namespace {

// The tests whose moved marks are not in the file yet, for the refusal to name.
QString movedMarksOf(const Inspection &inspection)
{
    QStringList names;
    for (const Inspection::_Test &test : inspection.tests) {
        // As saveModifiedTests picks them.
        if (test.labelsModified && test.samplesLoaded() && !inspection.pendingRecordings.contains(test.id))
            names << QStringLiteral("«%1»").arg(test.name);
    }
    if (names.isEmpty())
        return QString();
    return QCoreApplication::translate("InspectionEditFancy", "отметки теста %1").arg(names.join(QStringLiteral(", ")));
}

}  // namespace

SaveRefusal::Outcome InspectionEditFancy::settleMovedMarks(bool leaving)
{
    const auto save = [this] { return m_inspection.saveModifiedTests(); };
    const StoreResult result = save();
    const SaveRefusal::Outcome outcome
        = SaveRefusal::settle(this, m_inspection.path, result, save, leaving, movedMarksOf(m_inspection));
    if (outcome == SaveRefusal::Outcome::Dropped)
        showAsStored();
    return outcome;
}

void InspectionEditFancy::closeSubject()
{
    // A recording not yet in its file keeps its subject open.
    if (!mayLeaveSubject())
        return;
    emit notifyChangePersone(QString(), nullptr);
    m_contextIndex = QModelIndex();
    m_tree->setModel(nullptr);
    m_inspection.clear();
    updateActions();
}

void InspectionEditFancy::openSubject(const QString &fileOld, const QString &fileNew)
{
    QStringList failures;
    QHash<QUuid, QString> oldVideos;
    const bool renamed = !fileOld.isEmpty() && fileOld != fileNew;
    if (renamed) {
        failures = renameRecordings(fileOld, fileNew);
        if (m_inspection.path == fileOld) {
            oldVideos = existingTestVideos(fileNew);
            // The old file is gone: moved marks go into the renamed one as the subject is left.
            m_inspection.path = fileNew;
        }
    }
    if (!mayLeaveSubject())
        return;

    const StoreResult loaded = loadSubjectFile(fileNew);
    if (loaded == StoreResult::Busy) {
        // An empty list would read as a subject with no tests.
        m_inspection.clear();
        m_tree->setModel(nullptr);
        emit notifyChangePersone(QString(), nullptr);
        updateActions();
        return;
    }
    WaitCursor wait;
    ReadRefusal::settle(this, fileNew, tr("отметки записанных тестов"), [this] { return m_inspection.loadMarks(); });
    failures += renameTestVideos(oldVideos);
    reloadTree(false, nullptr);
    m_tree->setShowExtraInfo(m_showExtraInfo);
    m_tree->viewport()->update();
    announceInspection();
    m_contextIndex = QModelIndex();
    updateActions();
    wait.release();

    if (loaded == StoreResult::Refused)
        QMessageBox::warning(this, tr("Воркел"),
                             tr("Файл обследуемого не открыт и не изменён:\n%1\n(%2)")
                                 .arg(fileNew, InspectionStore::refusalOf(fileNew)));
    else if (loaded == StoreResult::Damaged)
        QMessageBox::warning(this, tr("Воркел"),
                             tr("Файл обследуемого прочитан не весь:\n%1\nПовреждённые или слишком большие записи "
                                "пропущены и оставлены в файле как есть.")
                                 .arg(fileNew));
    if (!failures.isEmpty())
        QMessageBox::warning(this, tr("Воркел"),
                             tr("Не удалось переименовать файлы записей:\n%1").arg(failures.join(QLatin1Char('\n'))));
}

StoreResult InspectionEditFancy::loadSubjectFile(const QString &file)
{
    for (;;) {
        StoreResult loaded;
        {
            WaitCursor wait;
            loaded = m_inspection.load(file);
        }
        if (loaded != StoreResult::Busy
            || QMessageBox::warning(this, tr("Воркел"),
                                    tr("Файл обследуемого занят другой программой:\n%1\n"
                                       "Тесты не показаны. Закройте ту программу и повторите.")
                                        .arg(file),
                                    QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry)
                   != QMessageBox::Retry)
            return loaded;
    }
}

QStringList InspectionEditFancy::renameRecordings(const QString &fileOld, const QString &fileNew)
{
    const QString oldBase = QFileInfo(fileOld).completeBaseName();
    const QString newBase = QFileInfo(fileNew).completeBaseName();
    const QString folder = QFileInfo(fileNew).absolutePath() + QStringLiteral("/__1__");
    QStringList failures;
    for (const QString &path : InspectionMedia::preTestFiles(fileOld)) {
        const QString target = folder + QLatin1Char('/') + newBase + QFileInfo(path).fileName().mid(oldBase.size());
        if (!QDir().mkpath(folder) || !QFile::rename(path, target))
            failures << path;
    }
    return failures;
}

// The videos of the loaded tests by identifier: loading sorts the tests anew.
// A video another subject could own stays where it is, whatever this file's
// tests are named.
QHash<QUuid, QString> InspectionEditFancy::existingTestVideos(const QString &renamedTo)
{
    QHash<QUuid, QString> videos;
    if (!QFileInfo(InspectionMedia::mediaFolder(m_inspection)).isDir())
        return videos;
    const InspectionMedia::OtherOwners others = InspectionMedia::otherOwners(m_inspection.path, renamedTo);
    for (const Inspection::_Test &test : m_inspection.tests) {
        const QString path = InspectionMedia::testVideoPath(m_inspection, test);
        if (test.recorded && QFileInfo::exists(path) && others.ownerOf(QFileInfo(path).fileName()).isEmpty())
            videos.insert(test.id, path);
    }
    return videos;
}

QStringList InspectionEditFancy::renameTestVideos(const QHash<QUuid, QString> &oldVideos)
{
    QStringList failures;
    for (const Inspection::_Test &test : m_inspection.tests) {
        const QString oldPath = oldVideos.value(test.id);
        if (oldPath.isEmpty())
            continue;
        const QString newPath = InspectionMedia::testVideoPath(m_inspection, test);
        if (newPath != oldPath && !QFile::rename(oldPath, newPath))
            failures << oldPath;
    }
    return failures;
}
