#include "PersoneTagsWidget.h"

#include "_TagNameDelegate.h"
#include "TagTreeBounds.h"
#include "TagTreeText.h"
#include "data/FileChooser.h"
#include "data/SpravDB.h"
#include "data/WholeFile.h"
#include "resources/VugResources.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QStandardItemModel>
#include <QTextStream>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <functional>

namespace {

const QString KeyFileFilter = QStringLiteral("*.kqmz");
void forEachKey(QStandardItem *parent, const std::function<void(QStandardItem *)> &visit)
{
    for (int row = parent->rowCount() - 1; row >= 0; --row) {
        QStandardItem *item = parent->child(row);
        forEachKey(item, visit);
        if (!item->data(TagIdRole).toUuid().isNull())
            visit(item);
    }
}

}  // namespace

PersoneTagsWidget::PersoneTagsWidget(QWidget *parent)
    : QWidget(parent)
    , m_tree(new QTreeView)
    , m_showChecked(new QCheckBox(tr("Показать только отмеченные теги")))
{
    m_tree->setHeaderHidden(true);
    m_tree->setItemDelegate(new _TagNameDelegate(m_tree));
    m_tree->installEventFilter(this);

    auto *bar = new QToolBar;
    bar->setOrientation(Qt::Vertical);
    bar->setIconSize(QSize(16, 16));
    bar->addAction(addAction("folder-add.png", tr("Добавить папку\nCtrl - для добавления в корень"),
                             &PersoneTagsWidget::onTagFolderAdd));
    bar->addSeparator();
    bar->addAction(addAction("addTest.png", tr("Добавить ключ"), &PersoneTagsWidget::onTagAdd));
    bar->addAction(addAction("edit.png", tr("Изменить ключ"), &PersoneTagsWidget::onTagEdit));
    bar->addAction(addAction("iconDelete.png", tr("Удалить ключ"), &PersoneTagsWidget::onTagDelete));
    bar->addSeparator();
    bar->addAction(addAction("export-icon.png", tr("Экспортировать все ключи в файл"), &PersoneTagsWidget::onTagExport));
    bar->addAction(addAction("import-icon.png", tr("Импортировать все ключи из файла"), &PersoneTagsWidget::onTagImport));

    auto *row = new QHBoxLayout;
    row->addWidget(m_tree, 1);
    row->addWidget(bar);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row, 1);
    layout->addWidget(m_showChecked);
    connect(m_showChecked, &QCheckBox::released, this, &PersoneTagsWidget::onShowTagsChecked);

    setModel(new QStandardItemModel);
}

QAction *PersoneTagsWidget::addAction(const char *icon, const QString &text, void (PersoneTagsWidget::*slot)())
{
    auto *action = new QAction(VugImages::icon(QLatin1String(icon)), text, this);
    connect(action, &QAction::triggered, this, slot);
    m_actions << action;
    return action;
}

// Enter in the tree edits the current item and goes no further: the dialog
// around would take it for its OK button.
bool PersoneTagsWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_tree || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    // While an editor is open this does nothing: the editor takes the Enter itself.
    if (m_tree->currentIndex().isValid())
        m_tree->edit(m_tree->currentIndex());
    return true;
}

void PersoneTagsWidget::loadTagModel(const QString &subjectTags, const QString &keyLines)
{
    m_subjectTags = subjectTags;
    QString text;
    {
        SpravDB sprav;
        m_bookUnavailable = sprav.readTags(text) != SpravDB::Result::Done;
    }
    // A subject brought from another computer holds keys this book lacks.
    m_missing = tagIdSet(subjectTags) - tagTextIds(text);
    m_knownLines = keyLines + QLatin1Char('\n') + text;
    m_loadedBook = text;
    const QString shown = withLines(text, lackingTagLines(subjectTags, keyLines, text));
    // A book past a key file's bounds is neither built nor written back.
    const QString problem = TagTreeBounds::problem(shown);
    if (!problem.isEmpty()) {
        m_bookUnavailable = true;
        setModel(TagTreeBounds::problemModel(problem));
        return;
    }
    setModel(treeFromText(shown));
    // Such keys are in sight at once, not inside closed folders.
    forEachKey(m_model->invisibleRootItem(), [this](QStandardItem *item) {
        if (!m_missing.contains(item->data(TagIdRole).toUuid()))
            return;
        for (QStandardItem *folder = item->parent(); folder; folder = folder->parent())
            m_tree->expand(folder->index());
    });
}

// The ticked subject keys' lines, under the names the tree now gives them.
QString PersoneTagsWidget::subjectKeyLines(const QString &subjectTags, const QString &treeText) const
{
    QHash<QUuid, QString> paths = tagPaths(m_knownLines);
    paths.insert(tagPaths(treeText));
    QString lines;
    for (const QString &part : subjectTags.split(QLatin1Char('\t'), Qt::SkipEmptyParts)) {
        const QUuid id(part);
        if (paths.contains(id))
            lines += tagLine(id, true, paths.value(id));
    }
    return lines;
}

bool PersoneTagsWidget::saveTags(QString &subjectTags, QString *keyLines)
{
    if (m_showChecked->isChecked()) {
        m_showChecked->setChecked(false);
        onShowTagsChecked();
    }
    // An unticked key the book lacked goes with the tick: it joins neither
    // the book nor the subject.
    forEachKey(m_model->invisibleRootItem(), [this](QStandardItem *item) {
        if (item->checkState() != Qt::Checked && m_missing.contains(item->data(TagIdRole).toUuid()))
            (item->parent() ? item->parent() : m_model->invisibleRootItem())->removeRow(item->row());
    });
    QString checked;
    const QString text = tagTreeText(m_model, &checked);
    const QString merged = mergeSubjectTags(checked, m_subjectTags, text);
    if (m_bookUnavailable) {
        warn(tr("Справочник недоступен: дерево ключей не сохранено."));
    } else {
        SpravDB sprav;
        // Keys another writer stored since the book was read stay in it.
        const auto keepTheirs = [&](const QString &stored) {
            return withLines(text, addedTagLines(m_loadedBook + QLatin1Char('\n') + text, stored));
        };
        if (sprav.updateTags(keepTheirs) != SpravDB::Result::Done) {
            warn(tr("Не удалось сохранить ключи в справочник."));
            return false;
        }
    }
    subjectTags = merged;
    if (keyLines)
        *keyLines = subjectKeyLines(merged, text);
    return true;
}

void PersoneTagsWidget::setModel(QStandardItemModel *model)
{
    replaceTagModel(m_tree, model);
    m_model = model;
}

QStandardItemModel *PersoneTagsWidget::treeFromText(const QString &text, int *skipped) const
{
    auto *model = new QStandardItemModel;
    QString source = text;
    QTextStream in(&source, QIODevice::ReadOnly);
    const int skippedLines = buildTagTree(model, in, m_subjectTags);
    if (skipped)
        *skipped = skippedLines;
    forEachKey(model->invisibleRootItem(), [this](QStandardItem *item) {
        if (!m_missing.contains(item->data(TagIdRole).toUuid()))
            return;
        QFont font = item->font();
        font.setItalic(true);
        item->setFont(font);
        item->setForeground(QColor(Qt::darkRed));
        item->setToolTip(tr("Этого ключа нет в справочнике ключей: он взят из файла обследуемого.\n"
                            "Отмеченный, он войдёт в справочник при сохранении анкеты."));
    });
    return model;
}

QStandardItem *PersoneTagsWidget::currentFolder() const
{
    const QModelIndex current = m_tree->currentIndex();
    if (!current.isValid())
        return nullptr;
    const QModelIndex folder = isTagFolder(current) ? current : current.parent();
    return folder.isValid() ? m_model->itemFromIndex(folder) : m_model->invisibleRootItem();
}

void PersoneTagsWidget::appendItem(QStandardItem *folder, QStandardItem *item)
{
    folder->appendRow(item);
    if (folder != m_model->invisibleRootItem())
        m_tree->expand(folder->index());
    m_tree->setCurrentIndex(item->index());
}

void PersoneTagsWidget::onTagFolderAdd()
{
    // On an empty tree the top is the only place a folder can go.
    const bool toTop = QApplication::keyboardModifiers().testFlag(Qt::ControlModifier) || m_model->rowCount() == 0;
    QStandardItem *folder = toTop ? m_model->invisibleRootItem() : currentFolder();
    if (folder)
        appendItem(folder, newTagFolderItem(tr("Новая папка")));
}

void PersoneTagsWidget::onTagAdd()
{
    QStandardItem *folder = currentFolder();
    appendItem(folder ? folder : m_model->invisibleRootItem(), newTagItem(tr("Новый"), QUuid::createUuid()));
}

void PersoneTagsWidget::onTagEdit()
{
    if (m_tree->currentIndex().isValid())
        m_tree->edit(m_tree->currentIndex());
}

void PersoneTagsWidget::onTagDelete()
{
    const QModelIndex current = m_tree->currentIndex();
    if (!current.isValid())
        return;
    const QString question = tr("Перед удалением рекомендуем сделать Экспорт ключей для возможного "
                                "последующего восстановления.\n")
        + tr("Вы хотите продолжить удаление ?");
    if (QMessageBox::question(this, tr("Воркел"), question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes)
        m_model->removeRow(current.row(), current.parent());
}

void PersoneTagsWidget::onTagExport()
{
    QString path = FileChooser::getSaveFileName(this, tr("Выбор файла для экспорта ключей"), QString(),
                                                KeyFileFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".kqmz");
    const QString failure = WholeFile::write(path, tagFileBytes(tagTreeText(m_model)));
    if (!failure.isEmpty())
        warn(tr("Не удалось записать файл ключей:\n%1").arg(QDir::toNativeSeparators(path)) + QLatin1Char('\n') + failure);
}

void PersoneTagsWidget::onTagImport()
{
    const QString path = FileChooser::getOpenFileName(nullptr, tr("Выбор файла для ипорта ключей"), QString(),
                                                      KeyFileFilter);
    if (path.isEmpty())
        return;
    QFile file(path);
    // A FIFO or a device named like a key file would block the read for ever.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        warn(tr("Не удалось открыть файл ключей:\n%1").arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (file.size() > MaxTagFileBytes) {
        warn(tr("Файл ключей больше %1 МБ и не прочитан:\n%2")
                 .arg(MaxTagFileBytes / (1024 * 1024))
                 .arg(QDir::toNativeSeparators(path)));
        return;
    }
    int badLines = 0;
    int skipped = 0;
    QStandardItemModel *model = treeFromText(tagFileText(file.read(MaxTagFileBytes), &badLines), &skipped);
    skipped += badLines;
    if (model->rowCount() == 0) {
        delete model;
        warn(tr("В файле нет ключей:\n%1").arg(QDir::toNativeSeparators(path)));
        return;
    }
    model->sort(0);
    setModel(model);
    if (skipped > 0)
        warn(tr("Строк файла, не прочитанных как ключи: %1").arg(skipped));
}

void PersoneTagsWidget::onShowTagsChecked()
{
    const bool checkedOnly = m_showChecked->isChecked();
    if (checkedOnly) {
        QString checked;
        m_fullText = tagTreeText(m_model, &checked);
        m_subjectTags = mergeSubjectTags(checked, m_subjectTags, m_fullText);
        setModel(checkedTagModel(m_fullText, TagLabel::Path));
    } else {
        m_subjectTags = mergeSubjectTags(checkedTagIds(m_model), m_subjectTags, m_fullText);
        setModel(treeFromText(m_fullText));
    }
    for (QAction *action : qAsConst(m_actions))
        action->setEnabled(!checkedOnly);
    emit acceptEnabledChanged(!checkedOnly);
}

void PersoneTagsWidget::warn(const QString &text)
{
    QMessageBox::warning(this, tr("Воркел"), text);
}
