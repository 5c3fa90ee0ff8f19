#include "PersoneSearchDockWindow.h"

#include "PersoneSearchMatch.h"
#include "PersoneSearchWorker.h"
#include "data/Diagnostics.h"
#include "data/GenericSettings.h"
#include "data/ViewModel.h"
#include "data/WaitCursor.h"
#include "resources/VugResources.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QListView>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressDialog>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QToolBar>

#include <memory>

namespace {

// A found subject's name: its path below the data root, without ".qmz".
QString resultText(const QString &file, const QString &root)
{
    QString text = QDir(QFileInfo(root).canonicalFilePath()).relativeFilePath(QFileInfo(file).canonicalFilePath());
    if (text.endsWith(QLatin1String(".qmz"), Qt::CaseInsensitive))
        text.chop(4);
    return text;
}

}  // namespace

PersoneSearchDockWindow::PersoneSearchDockWindow(QWidget *parent)
    : SubjectListDock(tr("Найденные обследуемые"), QStringLiteral("PersoneSearchDockWindow"), parent)
    , m_results(new QStandardItemModel(this))
{
    auto *inner = new QMainWindow;
    auto *bar = inner->addToolBar(tr("Поиск обследуемых"));
    m_search = bar->addAction(VugImages::icon(QStringLiteral("search-icon.png")), tr("Поиск обследуемых"), this, &PersoneSearchDockWindow::onSearch);
    bar->addSeparator();
    m_createLink = bar->addAction(VugImages::icon(QStringLiteral("Shortcuts-icon.png")), tr("Создать ярлык"), this, &PersoneSearchDockWindow::onCreateLink);

    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setModel(m_results);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, &PersoneSearchDockWindow::onSelectionChanged);
    inner->setCentralWidget(m_list);
    // Says when the list is not the whole answer, or is empty because nothing matched.
    m_status = inner->statusBar();
    m_status->setSizeGripEnabled(false);
    setWidget(inner);
}

PersoneSearchDlg::_Conditions *PersoneSearchDockWindow::conditions()
{
    static std::unique_ptr<PersoneSearchDlg::_Conditions> record;
    if (!record)
        record.reset(new PersoneSearchDlg::_Conditions);
    return record.get();
}

void PersoneSearchDockWindow::onSearch()
{
    PersoneSearchDlg::_Conditions &c = *conditions();
    GenericSettings settings;
    settings.load();
    const QString root = settings.sRootFolder;
    if (c.sRootFolder.isEmpty())
        c.sRootFolder = root;
    {
        PersoneSearchDlg dialog(this, &c);
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    if (c.bUseRootFolder && !isSearchFolderInside(c.sRootFolder, root)) {
        QMessageBox::warning(this, tr("Воркел"), tr("Поиск возможен только из корневой папки обследуемых."),
                             QMessageBox::Ok);
        return;
    }
    const int unreadable = search(c.bUseRootFolder ? c.sRootFolder : root, root);
    if (unreadable > 0)
        QMessageBox::warning(this, tr("Воркел"), tr("Не удалось прочитать файлов обследуемых: %1").arg(unreadable));
}

int PersoneSearchDockWindow::search(const QString &folder, const QString &root)
{
    const PersoneSearchDlg::_Conditions &c = *conditions();
    // What the last search said is not this one's answer.
    m_status->clearMessage();
    const QStringList files = subjectFilesBelow(folder);
    const WaitCursor wait;
    auto *results = new QStandardItemModel(this);
    QProgressDialog progress(tr("Поиск обследуемых..."), tr("Отмена"), 0, files.size(), this);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    progress.setWindowTitle(tr("Воркел"));
    progress.setMinimumWidth(600);
    progress.setMinimumHeight(100);
    // A search of a large store takes seconds: its progress and Cancel show early.
    progress.setMinimumDuration(300);
    int unreadable = 0;
    // The files are read on the worker's thread; this one keeps answering meanwhile.
    PersoneSearchWorker worker(c, files);
    // The worker as context: what it still sent goes with it.
    connect(&worker, &PersoneSearchWorker::checked, &worker, [&](int i, SubjectCheck check) {
        // What the worker read after the cancel is not shown.
        if (progress.wasCanceled())
            return;
        if (check == SubjectCheck::Unreadable)
            ++unreadable;
        if (check == SubjectCheck::Match) {
            auto *item = new QStandardItem(resultText(files.at(i), root));
            item->setData(files.at(i), PathRole);
            results->appendRow(item);
        }
        // Last: a modal progress dialog takes the next results in here.
        progress.setValue(i + 1);
    });
    connect(&progress, &QProgressDialog::canceled, &worker, &PersoneSearchWorker::cancel);
    QEventLoop loop;
    connect(&worker, &PersoneSearchWorker::finished, &loop, &QEventLoop::quit);
    progress.setValue(0);
    worker.start();
    loop.exec();
    const bool cancelled = progress.wasCanceled();  // closing counts as a cancel
    progress.close();
    showResults(results);
    if (cancelled)
        m_status->showMessage(tr("Поиск прерван: показаны найденные до отмены"));
    else if (results->rowCount() == 0)
        m_status->showMessage(tr("Не найдено ни одного обследуемого"));
    return unreadable;
}

void PersoneSearchDockWindow::showResults(QStandardItemModel *results)
{
    disconnect(m_list->selectionModel(), nullptr, this, nullptr);
    m_results = results;
    replaceViewModel(m_list, results);
    m_list->clearSelection();
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, &PersoneSearchDockWindow::onSelectionChanged);
}

void PersoneSearchDockWindow::onSelectionChanged(const QModelIndex &current, const QModelIndex &)
{
    announce(current.isValid() ? current.data(PathRole).toString() : QString());
}

void PersoneSearchDockWindow::onCreatePersoneLinkAndVerify(QString file)
{
    if (file.isEmpty()) {
        for (int row = 0; row < m_results->rowCount(); ++row) {
            if (!QFileInfo::exists(m_results->item(row)->data(PathRole).toString())) {
                m_results->removeRow(row);
                return;
            }
        }
        return;
    }
    const QModelIndexList found = m_results->match(m_results->index(0, 0), PathRole, file, 1, Qt::MatchExactly);
    if (!found.isEmpty()) {
        m_list->setCurrentIndex(found.first());
        return;
    }
    auto *item = new QStandardItem(QFileInfo(file).completeBaseName());
    item->setData(file, PathRole);
    item->setToolTip(file);
    m_results->appendRow(item);
}

void PersoneSearchDockWindow::onCreateLink()
{
    const QString file = currentPath();
    if (!file.isEmpty())
        emit notyfyCreatePersoneLinkAndVerifyFromSearch(file);
}
