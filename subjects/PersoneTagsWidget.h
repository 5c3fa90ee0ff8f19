#pragma once

#include <QSet>
#include <QString>
#include <QUuid>
#include <QWidget>

class QAction;
class QCheckBox;
class QStandardItem;
class QStandardItemModel;
class QTreeView;

// The subject's search keys ("Ключи для поиска"): the key tree shared by every
// subject, with this subject's keys ticked, its tool bar and the switch to the
// list of ticked keys. The tree is read from the reference book when loaded
// and written back by saveTags.
class PersoneTagsWidget : public QWidget
{
    Q_OBJECT
public:
    explicit PersoneTagsWidget(QWidget *parent = nullptr);

    // Shows the reference book's key tree, ticked from the subject's key list.
    // Keys of the subject that the tree lacks are shown too, marked, at the
    // paths the subject file keeps for them (keyLines, lines of the tree text).
    void loadTagModel(const QString &subjectTags, const QString &keyLines = QString());
    // Stores the shown tree as the tree of every subject and gives this
    // subject's new key list and, when asked, the lines of its keys. Marked
    // keys still ticked join the tree; unticked ones leave the subject. False,
    // after telling the examiner, when the tree could not be stored; the
    // dialog then stays open.
    bool saveTags(QString &subjectTags, QString *keyLines = nullptr);

    QTreeView *treeView() const { return m_tree; }
    QStandardItemModel *model() const { return m_model; }
    QCheckBox *showTagsChecked() const { return m_showChecked; }  // for tests
    QList<QAction *> editActions() const { return m_actions; }  // for tests

signals:
    // The dialog's OK follows this: off while only the ticked keys are shown.
    void acceptEnabledChanged(bool enabled);

public slots:
    void onTagFolderAdd();
    void onTagAdd();
    void onTagEdit();
    void onTagDelete();
    void onTagImport();
    void onTagExport();
    void onShowTagsChecked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *addAction(const char *icon, const QString &text, void (PersoneTagsWidget::*slot)());
    void setModel(QStandardItemModel *model);
    QString subjectKeyLines(const QString &subjectTags, const QString &treeText) const;
    // A tree built from text, ticked from the subject's key list.
    QStandardItemModel *treeFromText(const QString &text, int *skipped = nullptr) const;
    // The folder that receives a new item: the current folder, or the current key's.
    // Null when no item is current.
    QStandardItem *currentFolder() const;
    // Appends item to folder, opens the folder and makes the item current.
    void appendItem(QStandardItem *folder, QStandardItem *item);
    void warn(const QString &text);

    QTreeView *m_tree;
    QCheckBox *m_showChecked;
    QList<QAction *> m_actions;
    QStandardItemModel *m_model = nullptr;
    // The subject's key list as last loaded or switched.
    QString m_subjectTags;
    // The full tree's text while only the ticked keys are shown.
    QString m_fullText;
    // The subject's keys that the reference book lacked when loaded.
    QSet<QUuid> m_missing;
    // Lines naming the subject's keys: the subject file's, then the book's.
    QString m_knownLines;
    // The book's tree text as it was read, to tell keys stored since.
    QString m_loadedBook;
    bool m_bookUnavailable = false;
};
