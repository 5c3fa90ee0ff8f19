#include "PersoneSearchDlg.h"

#include "TagTreeBounds.h"
#include "TagTreeText.h"
#include "_TypedDateEdit.h"
#include "data/FileChooser.h"
#include "data/ProcessLocale.h"
#include "data/SpravDB.h"
#include "data/WaitCursor.h"
#include "fancy/FontScale.h"
#include "resources/VugResources.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QTextBrowser>
#include <QTextStream>
#include <QTreeView>
#include <QVBoxLayout>

QRect PersoneSearchDlg::s_geometry;

namespace {

const QString GroupStyle = QStringLiteral("QGroupBox { font-weight: bold; } ");

QHBoxLayout *makeHBox(QWidget *first, QWidget *second, QWidget *third = nullptr, QWidget *fourth = nullptr,
                      QWidget *fifth = nullptr)
{
    auto *box = new QHBoxLayout;
    box->setAlignment(Qt::AlignLeft);
    for (QWidget *widget : {first, second, third, fourth, fifth}) {
        if (widget)
            box->addWidget(widget);
    }
    return box;
}

QDateEdit *newDateEdit()
{
    auto *edit = new _TypedDateEdit;
    edit->setFixedWidth(Fancy::FontScale::px(120));
    return edit;
}

bool isOn(const QCheckBox *box)
{
    return box->checkState() == Qt::Checked;
}

}  // namespace

PersoneSearchDlg::PersoneSearchDlg(QWidget *parent, _Conditions *conditions)
    : QDialog(parent)
    , m_conditions(conditions)
    , m_tags(conditions->sTags)
{
    const WaitCursor wait;
    setWindowTitle(tr("Условие для поиска"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    buildWidgets();
    showConditions();
    setTagModel(loadTagModel());
    onUpdateUI();

    m_helper = new QTextBrowser(this);
    m_helper->setOpenExternalLinks(true);
    m_helper->hide();
    m_help->setCheckable(true);

    if (s_geometry.isValid()) {
        // The kept rectangle is the inside of the window, as geometry() gave it;
        // moving the frame there would lower the window by its title bar each time.
        setGeometry(s_geometry);
    } else {
        resize(800, 600);
    }
    m_search->setFocus();
}

void PersoneSearchDlg::buildWidgets()
{
    m_useSearch = new QCheckBox;
    m_searchLabel = new QLabel(tr("Строка для поиска:"));
    m_search = new QLineEdit;
    m_help = new QPushButton(tr("?"));
    m_useSex = new QCheckBox;
    m_sexLabel = new QLabel(tr("Пол:"));
    m_male = new QRadioButton(tr("Мужской"));
    m_female = new QRadioButton(tr("Женский"));
    m_useBirth = new QCheckBox;
    m_birthFromLabel = new QLabel(tr("Дата рождения c:"));
    m_birthFrom = newDateEdit();
    m_birthToLabel = new QLabel(tr(" по:"));
    m_birthTo = newDateEdit();
    m_useTags = new QCheckBox;
    m_tagsLabel = new QLabel(tr("Ключи для поиска:"));
    m_tagTree = new QTreeView;
    m_tagTree->setHeaderHidden(true);
    m_showCheckedTags = new QCheckBox(tr("Показать только отмеченные теги"));
    m_useInspection = new QCheckBox;
    m_inspectionFromLabel = new QLabel(tr("Дата обследования c:"));
    m_inspectionFrom = newDateEdit();
    m_inspectionToLabel = new QLabel(tr(" по:"));
    m_inspectionTo = newDateEdit();
    m_useRootFolder = new QCheckBox;
    m_rootFolderLabel = new QLabel(tr("Корневая папка для поиска:"));
    m_rootFolder = new QLineEdit;
    m_selectFolder = new QPushButton(tr("..."));
    m_and = new QRadioButton(tr("Использовать логику логического умножения - \"И\""));
    m_or = new QRadioButton(tr("Использовать логику логического сложения - \"ИЛИ\""));
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

    // The two sex buttons belong to their own row, apart from the logic buttons.
    auto *sex = new QWidget;
    auto *sexRow = new QHBoxLayout(sex);
    sexRow->setContentsMargins(0, 0, 0, 0);
    sexRow->addWidget(m_male);
    sexRow->addWidget(m_female);

    auto *person = new QGroupBox(tr("Поиск по анкете"));
    person->setStyleSheet(GroupStyle);
    auto *personForm = new QFormLayout;
    personForm->addRow(makeHBox(m_useSearch, m_searchLabel, m_search, m_help));
    personForm->addRow(makeHBox(m_useSex, m_sexLabel, sex));
    QHBoxLayout *birth = makeHBox(m_useBirth, m_birthFromLabel, m_birthFrom, m_birthToLabel, m_birthTo);
    birth->addStretch();
    personForm->addRow(birth);
    personForm->addRow(makeHBox(m_useTags, m_tagsLabel));
    auto *personLayout = new QVBoxLayout(person);
    personLayout->addLayout(personForm);
    personLayout->addWidget(m_tagTree, 1);
    personLayout->addWidget(m_showCheckedTags);

    auto *inspection = new QGroupBox(tr("Поиск по обследованию"));
    inspection->setStyleSheet(GroupStyle);
    auto *inspectionForm = new QFormLayout(inspection);
    QHBoxLayout *dates = makeHBox(m_useInspection, m_inspectionFromLabel, m_inspectionFrom, m_inspectionToLabel,
                                  m_inspectionTo);
    dates->addStretch();
    inspectionForm->addRow(dates);
    QHBoxLayout *root = makeHBox(m_useRootFolder, m_rootFolderLabel, m_rootFolder, m_selectFolder);
    root->setStretchFactor(m_rootFolder, 1);
    inspectionForm->addRow(root);

    auto *logic = new QGroupBox;
    auto *logicLayout = new QVBoxLayout(logic);
    logicLayout->addWidget(m_and);
    logicLayout->addWidget(m_or);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(person, 10);
    layout->addWidget(inspection);
    layout->addSpacing(20);
    layout->addWidget(logic);
    layout->addWidget(m_buttons);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &PersoneSearchDlg::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &PersoneSearchDlg::reject);
    connect(m_selectFolder, &QPushButton::released, this, &PersoneSearchDlg::onSelectFolder);
    connect(m_showCheckedTags, &QCheckBox::released, this, &PersoneSearchDlg::onShowCheckedTags);
    for (QCheckBox *box : {m_useSearch, m_useSex, m_useBirth, m_useTags, m_useInspection, m_useRootFolder})
        connect(box, &QCheckBox::clicked, this, &PersoneSearchDlg::onUpdateUI);
    connect(m_help, &QPushButton::clicked, this, &PersoneSearchDlg::onShowHelper);
}

void PersoneSearchDlg::showConditions()
{
    const _Conditions &c = *m_conditions;
    m_useSearch->setChecked(c.bUseSearch);
    m_useBirth->setChecked(c.bUseBirth);
    m_useInspection->setChecked(c.bUseInspection);
    m_useSex->setChecked(c.bUseSex);
    m_useRootFolder->setChecked(c.bUseRootFolder);
    m_useTags->setChecked(c.bUseTags);
    m_male->setChecked(c.iSex == 1);
    m_female->setChecked(c.iSex == 2);
    (c.bAnd ? m_and : m_or)->setChecked(true);
    m_search->setText(c.sSearch);
    m_rootFolder->setText(c.sRootFolder);
    m_birthFrom->setDate(c.dateBirthFrom);
    m_birthTo->setDate(c.dateBirthTo);
    m_inspectionFrom->setDateTime(c.dateInspectionFrom);
    m_inspectionTo->setDateTime(c.dateInspectionTo);
}

QStandardItemModel *PersoneSearchDlg::loadTagModel()
{
    QString text;
    {
        SpravDB sprav;
        sprav.readTags(text);
    }
    const QString problem = TagTreeBounds::problem(text);
    if (!problem.isEmpty())
        return TagTreeBounds::problemModel(problem);
    auto *model = new QStandardItemModel;
    QTextStream in(&text, QIODevice::ReadOnly);
    buildTagTree(model, in, m_tags);
    return model;
}

void PersoneSearchDlg::setTagModel(QStandardItemModel *model)
{
    replaceTagModel(m_tagTree, model);
    m_tagModel = model;
    // The ticked keys are what the search is about: keep them in sight.
    m_tagTree->expandAll();
}

void PersoneSearchDlg::onUpdateUI()
{
    const auto enable = [](QCheckBox *box, std::initializer_list<QWidget *> row) {
        for (QWidget *widget : row)
            widget->setEnabled(isOn(box));
    };
    enable(m_useSearch, {m_searchLabel, m_search});
    enable(m_useSex, {m_sexLabel, m_male, m_female});
    enable(m_useBirth, {m_birthFromLabel, m_birthFrom, m_birthToLabel, m_birthTo});
    enable(m_useTags, {m_tagsLabel, m_tagTree, m_showCheckedTags});
    enable(m_useInspection, {m_inspectionFromLabel, m_inspectionFrom, m_inspectionToLabel, m_inspectionTo});
    enable(m_useRootFolder, {m_rootFolderLabel, m_rootFolder, m_selectFolder});
}

void PersoneSearchDlg::onSelectFolder()
{
    const QString folder = FileChooser::getExistingDirectory(
        this, tr("Выбор корневой папки для поиска"), m_rootFolder->text(),
        QFileDialog::HideNameFilterDetails | QFileDialog::DontUseCustomDirectoryIcons);
    if (!folder.isEmpty())
        m_rootFolder->setText(folder);
}

QString PersoneSearchDlg::helpPage(const QString &languageCode)
{
    const QString russian = VugImages::path(QStringLiteral("regexp.html"));
    if (languageCode != QLatin1String("kz") && languageCode != QLatin1String("es"))
        return russian;
    // Pages in other languages are used where they exist.
    const QString page = VugImages::path(QStringLiteral("regexp.%1.html")).arg(languageCode);
    return QFile::exists(page) ? page : russian;
}

void PersoneSearchDlg::onShowHelper()
{
    if (m_helper->document()->isEmpty()) {
        const WaitCursor wait;
        QFile page(helpPage(sLocale));
        if (page.open(QIODevice::ReadOnly)) {
            QTextStream in(&page);
            in.setCodec("UTF-8");
            m_helper->setHtml(in.readAll());
        }
        const QPoint corner = m_search->mapTo(this, m_search->rect().bottomLeft());
        m_helper->setGeometry(corner.x(), corner.y(), m_search->width(), 400);
        m_helper->raise();
    }
    m_helper->setVisible(!m_helper->isVisible());
    m_help->setChecked(m_helper->isVisible());
}

void PersoneSearchDlg::onShowCheckedTags()
{
    if (m_showCheckedTags->isChecked()) {
        setTagModel(checkedTagModel(tagTreeText(m_tagModel), TagLabel::Name));
        return;
    }
    m_tags = checkedTagIds(m_tagModel);
    setTagModel(loadTagModel());
}

void PersoneSearchDlg::accept()
{
    const QRegularExpression pattern(m_search->text());
    if (isOn(m_useSearch) && !pattern.isValid()) {
        QMessageBox::warning(this, tr("Воркел"),
                             tr("Строка для поиска не является регулярным выражением:\n%1")
                                 .arg(pattern.errorString()));
        m_search->setFocus();
        return;
    }
    _Conditions &c = *m_conditions;
    c.sTags.clear();
    tagTreeText(m_tagModel, &c.sTags);
    c.bUseSearch = isOn(m_useSearch);
    c.bUseBirth = isOn(m_useBirth);
    c.bUseInspection = isOn(m_useInspection);
    c.bUseSex = isOn(m_useSex);
    c.bUseRootFolder = isOn(m_useRootFolder);
    c.bUseTags = isOn(m_useTags);
    c.sSearch = m_search->text();
    c.sRootFolder = m_rootFolder->text();
    c.dateBirthFrom = m_birthFrom->date();
    c.dateBirthTo = m_birthTo->date();
    c.dateInspectionFrom = m_inspectionFrom->dateTime();
    c.dateInspectionTo = m_inspectionTo->dateTime();
    c.bAnd = m_and->isChecked();
    c.iSex = m_male->isChecked() ? 1 : m_female->isChecked() ? 2 : 0;
    s_geometry = geometry();
    QDialog::accept();
}
