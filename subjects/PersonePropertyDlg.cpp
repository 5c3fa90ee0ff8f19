#include "PersonePropertyDlg.h"

#include "PersoneTagsWidget.h"
#include "PhotoPreViewDlg.h"
#include "_BirthdayEdit.h"
#include "data/FileChooser.h"
#include "data/Inspection.h"
#include "data/ReadRefusal.h"
#include "data/SaveRefusal.h"
#include "data/InspectionMedia.h"
#include "data/ViewModel.h"
#include "data/WaitCursor.h"
#include "fancy/FontScale.h"
#include "resources/VugResources.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int ContentRole = Qt::UserRole + 1;

QLineEdit *readOnlyName(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setEnabled(false);
    return edit;
}

}  // namespace

PersonePropertyDlg::PersonePropertyDlg(QWidget *parent, const QString &path, int startTab)
    : QDialog(parent)
    , m_path(path)
    , m_tabs(new QTabWidget(this))
{
    WaitCursor wait;
    setWindowTitle(tr("Анкета обследуемого"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_tabs->setTabPosition(QTabWidget::North);
    m_tabs->addTab(createPersonTab(), tr("Анкетные данные"));
    m_tabs->addTab(createPhotoTab(), tr("Фото"));
    m_tabs->addTab(createFilesTab(), tr("Файлы"));
    m_tags = new PersoneTagsWidget(this);
    m_tabs->addTab(m_tags, tr("Ключи для поиска"));
    m_tabs->addTab(createPreTestTab(), tr("Предтестовая беседа"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &PersonePropertyDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PersonePropertyDlg::reject);
    connect(m_tags, &PersoneTagsWidget::acceptEnabledChanged, buttons->button(QDialogButtonBox::Ok),
            &QPushButton::setEnabled);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);

    m_read = load();

    resizeToShowTabs();
    m_birthday->setFocus();
    m_tabs->setCurrentIndex(startTab);
    connect(m_tabs, &QTabWidget::currentChanged, this, &PersonePropertyDlg::onCurrentChanged);
    rebuildPhotoList();
    updateFileButtons();
}

// The dialog opens wide enough for all its tabs' titles, within the screen.
void PersonePropertyDlg::resizeToShowTabs()
{
    const QMargins margins = layout()->contentsMargins();
    const int tabs = m_tabs->tabBar()->sizeHint().width() + margins.left() + margins.right();
    resize(std::max(800, std::min(tabs, Fancy::FontScale::screenWidth(this))), 400);
}

QStringList PersonePropertyDlg::namesOf(const QString &baseName)
{
    return baseName.split(QLatin1Char(' ')).mid(0, 3);
}

QWidget *PersonePropertyDlg::createPersonTab()
{
    auto *page = new QWidget(this);
    auto *form = new QFormLayout(page);
    m_lastName = readOnlyName(page, "LastName");
    m_firstName = readOnlyName(page, "FirstName");
    m_middleName = readOnlyName(page, "MiddleName");
    form->addRow(tr("Фамилия:"), m_lastName);
    form->addRow(tr("Имя:"), m_firstName);
    form->addRow(tr("Отчество:"), m_middleName);

    m_birthday = new _BirthdayEdit(page);
    m_birthday->setObjectName(QStringLiteral("Birthday"));
    m_birthday->setFixedWidth(Fancy::FontScale::px(120));
    form->addRow(tr("Дата рождения:"), m_birthday);

    auto *sexRow = new QHBoxLayout;
    m_male = new QRadioButton(tr("Мужской"), page);
    m_female = new QRadioButton(tr("Женский"), page);
    m_sex = new QButtonGroup(page);
    m_sex->addButton(m_male, 1);
    m_sex->addButton(m_female, 2);
    sexRow->addWidget(m_male);
    sexRow->addWidget(m_female, 100);
    form->addRow(tr("Пол:"), sexRow);

    m_comments = new QTextEdit(page);
    m_comments->setObjectName(QStringLiteral("Comments"));
    form->addRow(tr("Доп. информация:"), m_comments);
    return page;
}

QWidget *PersonePropertyDlg::createPhotoTab()
{
    auto *page = new QWidget(this);
    m_photoList = new QListView(page);
    m_photoList->setViewMode(QListView::IconMode);
    m_photoList->setLayoutMode(QListView::Batched);
    m_photoList->setFlow(QListView::LeftToRight);
    m_photoList->setResizeMode(QListView::Adjust);
    m_photoList->setWrapping(false);
    m_photoList->setDragEnabled(false);
    m_photoList->setMovement(QListView::Static);
    m_photoList->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_photoList->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_photoList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto *bar = new QToolBar(page);
    bar->setOrientation(Qt::Vertical);
    m_photoFromCamera = bar->addAction(VugImages::icon(QStringLiteral("photo_from_camera.png")),
                                       tr("Добавить фото из камеры"), this, &PersonePropertyDlg::onPhotoAdd);
    m_photoFromFile = bar->addAction(VugImages::icon(QStringLiteral("photo_from_file.png")),
                                     tr("Добавить фото из файла"), this, &PersonePropertyDlg::onPhotoAddFromFile);
    m_photoDelete = bar->addAction(VugImages::icon(QStringLiteral("iconDelete.png")), tr("Удалить фото"),
                                   this, &PersonePropertyDlg::onPhotoDelete);
    bar->addSeparator();
    m_photoSave = bar->addAction(VugImages::icon(QStringLiteral("floppy-icon.png")), tr("Сохранить фото"),
                                 this, &PersonePropertyDlg::onPhotoSave);

    auto *row = new QHBoxLayout(page);
    row->setSpacing(0);
    row->addWidget(m_photoList);
    row->addWidget(bar);
    return page;
}

QWidget *PersonePropertyDlg::createFilesTab()
{
    auto *page = new QWidget(this);
    m_fileList = new QListView(page);
    m_fileModel = new QStandardItemModel(this);
    m_fileList->setModel(m_fileModel);
    m_fileList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(m_fileList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &PersonePropertyDlg::onSelectionChanged_Files);

    m_filesAdd = new QPushButton(tr("Загрузить файл..."), page);
    m_filesDelete = new QPushButton(tr("Удалить"), page);
    m_filesUpload = new QPushButton(tr("Выгрузить..."), page);
    connect(m_filesAdd, &QPushButton::clicked, this, &PersonePropertyDlg::onFilesAdd);
    connect(m_filesDelete, &QPushButton::clicked, this, &PersonePropertyDlg::onFilesDelete);
    connect(m_filesUpload, &QPushButton::clicked, this, &PersonePropertyDlg::onFilesUpload);
    auto *column = new QVBoxLayout;
    column->addWidget(m_filesAdd);
    column->addWidget(m_filesDelete);
    column->addWidget(m_filesUpload);
    column->addStretch();

    auto *row = new QHBoxLayout(page);
    row->addWidget(m_fileList);
    row->addLayout(column);
    return page;
}

QWidget *PersonePropertyDlg::createPreTestTab()
{
    auto *page = new QWidget(this);
    auto *column = new QVBoxLayout(page);
    column->addWidget(new QLabel(tr("Текст предтестовой беседы:"), page));
    m_preTest = new QPlainTextEdit(page);
    m_preTest->setObjectName(QStringLiteral("PreTest"));
    column->addWidget(m_preTest);
    return page;
}

bool PersonePropertyDlg::load()
{
    Inspection &subject = m_subject;
    subject.path = m_path;
    InspectionPerson person;
    const StoreResult read = subject.loadPerson(person);
    const StoreResult preTest = subject.loadPreTestConversation();
    // A file that cannot be read now shows nothing of it, as if empty.
    for (const StoreResult &result : {read, preTest}) {
        if (result != StoreResult::Ok && result != StoreResult::Damaged) {
            warn(ReadRefusal::text(result, m_path, tr("анкета обследуемого")));
            return false;
        }
    }
    for (const QByteArray &record : subject.loadPhotoRecords()) {
        Photo photo{QImage(), record};
        photo.result = PhotoReader::read(record, photo.image, screen()->size());
        m_photos.append(photo);
    }
    for (const Inspection::AttachedFile &file : subject.loadFiles()) {
        auto *item = new QStandardItem(file.first);
        item->setData(file.second, ContentRole);
        m_fileModel->appendRow(item);
    }
    const QStringList names = namesOf(InspectionMedia::subjectBaseName(subject));
    QLineEdit *const fields[] = {m_lastName, m_firstName, m_middleName};
    for (int i = 0; i < names.size(); ++i)
        fields[i]->setText(names[i]);
    showPerson(person);
    m_tags->loadTagModel(person.Tags, person.TagPaths);
    m_preTest->setPlainText(subject.preTestText);
    return true;
}

void PersonePropertyDlg::showPerson(const InspectionPerson &person)
{
    m_birthday->setBirthday(person.Birthday);
    if (QAbstractButton *sex = m_sex->button(person.Sex))
        sex->setChecked(true);
    // Plain text both ways: a text that looks like markup stays as typed.
    m_comments->setPlainText(person.Comments);
}

InspectionPerson PersonePropertyDlg::formPerson(const QString &tags, const QString &tagPaths) const
{
    InspectionPerson person;
    person.Birthday = m_birthday->birthday();
    person.Comments = m_comments->toPlainText();
    person.Tags = tags;
    person.TagPaths = tagPaths;
    person.Sex = m_male->isChecked() ? 1 : m_female->isChecked() ? 2 : 0;
    return person;
}

void PersonePropertyDlg::accept()
{
    WaitCursor wait;
    if (!m_tags->model())
        return;
    QString tags;
    QString tagPaths;
    if (!m_tags->saveTags(tags, &tagPaths))
        return;
    // A questionnaire never read would be written over unseen.
    if (!m_read) {
        warn(tr("Анкета не была прочитана из файла обследуемого и не сохранена.\nЗакройте окно и откройте анкету снова."));
        return;
    }
    if (save(formPerson(tags, tagPaths)))
        QDialog::accept();
}

bool PersonePropertyDlg::save(const InspectionPerson &person)
{
    Inspection &subject = m_subject;
    QVector<Inspection::AttachedFile> files;
    for (int row = 0; row < m_fileModel->rowCount(); ++row) {
        const QStandardItem *item = m_fileModel->item(row);
        files.append({item->text(), item->data(ContentRole).toByteArray()});
    }
    subject.preTestText = m_preTest->toPlainText();
    const QVector<QByteArray> photos = photoRecords();
    const auto write = [&] { return subject.saveQuestionnaire(person, photos, files); };
    const SaveRefusal::Outcome outcome
        = SaveRefusal::settle(this, m_path, write(), write, false, tr("анкета обследуемого"));
    if (outcome == SaveRefusal::Outcome::Dropped)
        showAsStored();
    return outcome == SaveRefusal::Outcome::Saved;
}

void PersonePropertyDlg::showAsStored()
{
    m_photos.clear();
    m_fileModel->removeRows(0, m_fileModel->rowCount());
    if (!load())
        reject();
    rebuildPhotoList();
    updateFileButtons();
}

void PersonePropertyDlg::onPhotoAdd()
{
    PhotoPreViewDlg camera(this);
    if (camera.exec() != QDialog::Accepted)
        return;
    if (camera.image.isNull()) {
        warn(tr("Камера ещё не дала ни одного кадра: фото не добавлено."));
        return;
    }
    appendPhoto(camera.image);
}

void PersonePropertyDlg::onPhotoAddFromFile()
{
    const QString file = FileChooser::getOpenFileName(nullptr, tr("Выбор фотографии"), QString(),
                                                      QStringLiteral("*.bmp *.jpg *.gif *.tiff *.png"));
    if (file.isEmpty())
        return;
    QImage photo;
    const PhotoReader::Result result = PhotoReader::readFile(file, photo);
    if (result == PhotoReader::Result::Unreadable) {
        warn(tr("Файл не удалось прочитать как изображение:\n%1").arg(file));
        return;
    }
    if (result != PhotoReader::Result::Read) {
        warn(photoProblem(result, 1) + QLatin1Char('\n') + file);
        return;
    }
    appendPhoto(photo);
}

void PersonePropertyDlg::appendPhoto(const QImage &photo)
{
    m_photos.append({photo, Inspection::photoRecord(photo)});
    rebuildPhotoList();
}

QVector<QImage> PersonePropertyDlg::photos() const
{
    QVector<QImage> images;
    for (const Photo &photo : m_photos)
        images << photo.image;
    return images;
}

QVector<QByteArray> PersonePropertyDlg::photoRecords() const
{
    QVector<QByteArray> records;
    for (const Photo &photo : m_photos)
        records << photo.record;
    return records;
}

void PersonePropertyDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_unreadablePhotosTold)
        return;
    m_unreadablePhotosTold = true;
    QStringList problems;
    for (const PhotoReader::Result result :
         {PhotoReader::Result::Unreadable, PhotoReader::Result::TooLarge, PhotoReader::Result::NoMemory}) {
        const int count = int(std::count_if(m_photos.cbegin(), m_photos.cend(),
                                            [result](const Photo &photo) { return photo.result == result; }));
        if (count > 0)
            problems << photoProblem(result, count);
    }
    if (!problems.isEmpty())
        warn(problems.join(QLatin1Char('\n'))
             + tr("\nОни остаются в файле, пока их не удалят на вкладке \"Фото\"."));
}

QString PersonePropertyDlg::photoProblem(PhotoReader::Result result, int count)
{
    switch (result) {
    case PhotoReader::Result::TooLarge:
        return tr("Фото слишком большие (более %1 млн точек), не показаны: %2.")
            .arg(PhotoReader::kMaxPixels / 1000000)
            .arg(count);
    case PhotoReader::Result::NoMemory:
        return tr("Для фото не хватило памяти, не показаны: %1.").arg(count);
    default:
        return tr("Не удалось прочитать фото обследуемого: %1.").arg(count);
    }
}

void PersonePropertyDlg::onPhotoDelete()
{
    const int row = selectedPhoto();
    if (row < 0)
        return;
    m_photos.remove(row);
    rebuildPhotoList();
}

void PersonePropertyDlg::onPhotoSave()
{
    const int row = selectedPhoto();
    if (row < 0)
        return;
    const QString file = FileChooser::getSaveFileName(this, tr("Выбор файла для сохранения фото"), QString(),
                                                      QStringLiteral("JPEG (*.jpg *.jpeg);;PNG (*.png)"));
    if (file.isEmpty())
        return;
    // The shown photo may be scaled down: the file gets it whole.
    QImage whole;
    PhotoReader::read(m_photos[row].record, whole);
    if (!whole.save(file))
        warn(tr("Не удалось сохранить фото в файл:\n%1").arg(file));
}

void PersonePropertyDlg::onCurrentChanged(int)
{
    rebuildPhotoList();
}

void PersonePropertyDlg::onSelectionChanged_ListView(const QItemSelection &, const QItemSelection &)
{
    updatePhotoActions();
}

void PersonePropertyDlg::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    rebuildPhotoList();
}

void PersonePropertyDlg::rebuildPhotoList()
{
    const int scrolled = m_photoList->horizontalScrollBar()->value();
    const int width = std::max(1, m_photoList->contentsRect().width());
    auto *model = new QStandardItemModel(m_photoList);
    for (const Photo &photo : qAsConst(m_photos)) {
        auto *item = new QStandardItem;
        if (photo.image.isNull())
            item->setText(photo.result == PhotoReader::Result::TooLarge ? tr("Фото слишком большое")
                                                                        : tr("Фото не читается"));
        else
            item->setData(QPixmap::fromImage(photo.image.scaledToWidth(width, Qt::FastTransformation)),
                          Qt::DecorationRole);
        item->setEditable(false);
        model->appendRow(item);
    }
    replaceViewModel(m_photoList, model);
    m_photoList->setIconSize(QSize(width, m_photoList->contentsRect().height()));
    m_photoList->horizontalScrollBar()->setValue(scrolled);
    connect(m_photoList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &PersonePropertyDlg::onSelectionChanged_ListView);
    updatePhotoActions();
}

int PersonePropertyDlg::selectedPhoto() const
{
    if (!m_photoList->selectionModel())
        return -1;
    const QModelIndexList selected = m_photoList->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void PersonePropertyDlg::updatePhotoActions()
{
    const bool chosen = selectedPhoto() >= 0;
    m_photoDelete->setEnabled(chosen);
    m_photoSave->setEnabled(chosen);
}

void PersonePropertyDlg::onFilesAdd()
{
    const QString path = FileChooser::getOpenFileName(nullptr, tr("Выбор файла для загрузки"), QString(),
                                                      QStringLiteral("*.*"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (file.size() > LargestAttachment) {
        warn(tr("Файл слишком велик для файла обследуемого:\n%1").arg(path));
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        warn(tr("Не удалось прочитать файл:\n%1").arg(path));
        return;
    }
    auto *item = new QStandardItem(QFileInfo(path).fileName());
    item->setData(file.readAll(), ContentRole);
    item->setEditable(false);
    m_fileModel->appendRow(item);
    updateFileButtons();
}

void PersonePropertyDlg::onFilesDelete()
{
    const QModelIndex current = m_fileList->currentIndex();
    if (current.isValid())
        m_fileModel->removeRow(current.row());
    updateFileButtons();
}

void PersonePropertyDlg::onFilesUpload()
{
    const QModelIndex current = m_fileList->currentIndex();
    if (!current.isValid())
        return;
    const QString path = FileChooser::getSaveFileName(this, tr("Выбор файла для сохранения"),
                                                      m_fileModel->itemFromIndex(current)->text());
    if (!path.isEmpty()) {
        const QByteArray content = current.data(ContentRole).toByteArray();
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.flush())
            warn(tr("Не удалось записать файл:\n%1").arg(path));
    }
    updateFileButtons();
}

void PersonePropertyDlg::onSelectionChanged_Files(const QItemSelection &, const QItemSelection &)
{
    updateFileButtons();
}

void PersonePropertyDlg::updateFileButtons()
{
    const bool current = m_fileList->currentIndex().isValid();
    m_filesDelete->setEnabled(current);
    m_filesUpload->setEnabled(current);
}

void PersonePropertyDlg::warn(const QString &text)
{
    QMessageBox::warning(this, tr("Воркел"), text);
}
