#pragma once

#include <QDate>
#include <QDateTime>
#include <QDialog>
#include <QRect>
#include <QString>

class QCheckBox;
class QDateEdit;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStandardItemModel;
class QTextBrowser;
class QTreeView;

// The conditions of the subject search ("Условие для поиска"). Edits the
// search's conditions record, which lives as long as the program, on OK only.
class PersoneSearchDlg : public QDialog
{
    Q_OBJECT
public:
    struct _Conditions {
        QDate dateBirthFrom;
        QDate dateBirthTo;
        QDateTime dateInspectionFrom;
        QDateTime dateInspectionTo;
        QString sSearch;        // a regular expression
        QString sRootFolder;    // the folder to search
        QString sTags;          // the checked keys: braced identifiers, each followed by a TAB
        qint32 iSex = 1;        // 1 male, 2 female, 0 none chosen
        bool bAnd = true;       // every enabled condition must hold, else one is enough
        bool bUseSearch = true;
        bool bUseBirth = false;
        bool bUseInspection = false;
        bool bUseSex = false;
        bool bUseRootFolder = false;
        bool bUseTags = false;
    };

    PersoneSearchDlg(QWidget *parent, _Conditions *conditions);

    // The key tree of the reference book, ticked from the dialog's key list.
    QStandardItemModel *loadTagModel();
    // The help page for an interface language.
    static QString helpPage(const QString &languageCode);

public slots:
    void accept() override;
    void onSelectFolder();
    void onUpdateUI();
    void onShowHelper();
    void onShowCheckedTags();

private:
    void buildWidgets();
    void showConditions();
    void setTagModel(QStandardItemModel *model);

    _Conditions *m_conditions;
    // The checked keys while the dialog is open; the record takes them on OK.
    QString m_tags;

    QCheckBox *m_useSearch;
    QLabel *m_searchLabel;
    QLineEdit *m_search;
    QPushButton *m_help;
    QCheckBox *m_useSex;
    QLabel *m_sexLabel;
    QRadioButton *m_male;
    QRadioButton *m_female;
    QCheckBox *m_useBirth;
    QLabel *m_birthFromLabel;
    QDateEdit *m_birthFrom;
    QLabel *m_birthToLabel;
    QDateEdit *m_birthTo;
    QCheckBox *m_useTags;
    QLabel *m_tagsLabel;
    QTreeView *m_tagTree;
    QCheckBox *m_showCheckedTags;
    QCheckBox *m_useInspection;
    QLabel *m_inspectionFromLabel;
    QDateEdit *m_inspectionFrom;
    QLabel *m_inspectionToLabel;
    QDateEdit *m_inspectionTo;
    QCheckBox *m_useRootFolder;
    QLabel *m_rootFolderLabel;
    QLineEdit *m_rootFolder;
    QPushButton *m_selectFolder;
    QRadioButton *m_and;
    QRadioButton *m_or;
    QDialogButtonBox *m_buttons;
    QTextBrowser *m_helper;
    QStandardItemModel *m_tagModel = nullptr;

    // Where the dialog stood when last accepted; invalid before.
    static QRect s_geometry;
};
