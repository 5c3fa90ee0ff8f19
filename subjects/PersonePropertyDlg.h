#pragma once

#include "data/Inspection.h"
#include "data/InspectionStore.h"
#include "data/PhotoReader.h"

#include <QDialog>
#include <QImage>
#include <QItemSelection>
#include <QStringList>
#include <QVector>

class PersoneTagsWidget;
class QAction;
class QButtonGroup;
class _BirthdayEdit;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStandardItemModel;
class QTabWidget;
class QTextEdit;
struct InspectionPerson;

// "Анкета обследуемого": the questionnaire, photos, attached files, search keys
// and pre-test text of one subject file, read when built and written on OK.
class PersonePropertyDlg : public QDialog
{
    Q_OBJECT
public:
    enum Tab { PersonTab, PhotoTab, FilesTab, TagsTab, PreTestTab };
    // Attachments above this size do not fit the subject file.
    static constexpr qint64 LargestAttachment = InspectionStore::kMaxFileContentBytes;

    PersonePropertyDlg(QWidget *parent, const QString &path, int startTab = PersonTab);

    // Last, first and middle name from a subject's base name: split at single
    // blanks, empty words kept, words past the third dropped.
    static QStringList namesOf(const QString &baseName);

    // The photos in their order; a stored photo that does not decode is a null image.
    QVector<QImage> photos() const;
    QTabWidget *tabs() const { return m_tabs; }
    QListView *photoList() const { return m_photoList; }  // for tests
    QListView *fileList() const { return m_fileList; }  // for tests
    QStandardItemModel *fileModel() const { return m_fileModel; }
    PersoneTagsWidget *tagsTab() const { return m_tags; }  // for tests

public slots:
    void accept() override;
    void onPhotoAdd();
    void onPhotoAddFromFile();
    void onPhotoDelete();
    void onPhotoSave();
    void onCurrentChanged(int index);
    void onSelectionChanged_ListView(const QItemSelection &selected, const QItemSelection &deselected);
    void onFilesAdd();
    void onFilesDelete();
    void onFilesUpload();
    void onSelectionChanged_Files(const QItemSelection &selected, const QItemSelection &deselected);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void resizeToShowTabs();
    QWidget *createPersonTab();
    QWidget *createPhotoTab();
    QWidget *createFilesTab();
    QWidget *createPreTestTab();
    // False, once told, when the file cannot be read now.
    bool load();
    // After a refused save: the dialog anew from the file, closed when it cannot be read.
    void showAsStored();
    void showPerson(const InspectionPerson &person);
    InspectionPerson formPerson(const QString &tags, const QString &tagPaths) const;
    // Writes everything at once or nothing; a refusal is settled with the
    // examiner (SaveRefusal). True once saved.
    bool save(const InspectionPerson &person);
    void appendPhoto(const QImage &photo);
    QVector<QByteArray> photoRecords() const;
    void rebuildPhotoList();
    void updatePhotoActions();
    void updateFileButtons();
    int selectedPhoto() const;
    void warn(const QString &text);
    // What is wrong with count photos that did not read that way.
    static QString photoProblem(PhotoReader::Result result, int count);

    QString m_path;
    // The subject as read when the dialog opened: a save checks its rows
    // are still as read.
    Inspection m_subject;
    QTabWidget *m_tabs;
    QLineEdit *m_lastName = nullptr;
    QLineEdit *m_firstName = nullptr;
    QLineEdit *m_middleName = nullptr;
    _BirthdayEdit *m_birthday = nullptr;
    QRadioButton *m_male = nullptr;
    QRadioButton *m_female = nullptr;
    QButtonGroup *m_sex = nullptr;
    QTextEdit *m_comments = nullptr;
    QListView *m_photoList = nullptr;
    QAction *m_photoFromCamera = nullptr;
    QAction *m_photoFromFile = nullptr;
    QAction *m_photoDelete = nullptr;
    QAction *m_photoSave = nullptr;
    QListView *m_fileList = nullptr;
    QStandardItemModel *m_fileModel = nullptr;
    QPushButton *m_filesAdd = nullptr;
    QPushButton *m_filesDelete = nullptr;
    QPushButton *m_filesUpload = nullptr;
    PersoneTagsWidget *m_tags = nullptr;
    QPlainTextEdit *m_preTest = nullptr;
    // A photo and the bytes it is stored as: a stored photo that does not
    // decode keeps its record until the examiner deletes it.
    struct Photo {
        QImage image;  // as large as the screen at most
        QByteArray record;
        PhotoReader::Result result = PhotoReader::Result::Read;
    };
    QVector<Photo> m_photos;
    bool m_unreadablePhotosTold = false;
    bool m_read = false;
};
