#include "app/SettingsGeneralPage.h"

#include "app/SettingsDlg.h"
#include "app/services/SettingsFields.h"
#include "data/FileChooser.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A path field with its "..." button in one row.
QHBoxLayout *pathRow(QLineEdit *field, SettingsGeneralPage *receiver, void (SettingsGeneralPage::*slot)())
{
    auto *row = new QHBoxLayout;
    auto *button = new QPushButton(QStringLiteral("..."), field->parentWidget());
    QObject::connect(button, &QPushButton::released, receiver, slot);
    row->addWidget(field);
    row->addWidget(button);
    return row;
}

}  // namespace

SettingsGeneralPage::SettingsGeneralPage(const GenericSettings &loaded, QWidget *parent)
    : QWidget(parent), m_loadedRootFolder(loaded.sRootFolder), m_loadedFileSprav(loaded.sPathFileSprav)
{
    auto *group = SettingsFields::groupBox(SettingsDlg::tr("Общие настройки"), this);
    m_zoomH = SettingsFields::intField(loaded.iZoomH, GenericSettings::kZoomMin, GenericSettings::kZoomMax, group);
    m_zoomV = SettingsFields::intField(loaded.iZoomV, GenericSettings::kZoomMin, GenericSettings::kZoomMax, group);
    m_fontK = SettingsFields::realField(loaded.fontK, GenericSettings::kFontKMin, GenericSettings::kFontKMax,
                                         QDoubleValidator::StandardNotation, group);
    m_rootFolder = new QLineEdit(loaded.sRootFolder, group);
    m_fileSprav = new QLineEdit(loaded.sPathFileSprav, group);

    auto *zoom = new QHBoxLayout;
    zoom->addWidget(m_zoomH);
    zoom->addWidget(m_zoomV);

    auto *grid = new QGridLayout(group);
    grid->addWidget(new QLabel(SettingsDlg::tr("Размер зума (ширина-высота при просмотре и записи):"), group), 0, 0);
    grid->addLayout(zoom, 0, 1);
    grid->addWidget(new QLabel(SettingsDlg::tr("Масштаб шрифта (0.10 ... 5.00):"), group), 1, 0);
    grid->addWidget(m_fontK, 1, 1);
    grid->addWidget(new QLabel(SettingsDlg::tr("Корневая папка:"), group), 2, 0);
    grid->addLayout(pathRow(m_rootFolder, this, &SettingsGeneralPage::onSelectRootFolder), 2, 1);
    grid->addWidget(new QLabel(SettingsDlg::tr("Файл справочника:"), group), 3, 0);
    grid->addLayout(pathRow(m_fileSprav, this, &SettingsGeneralPage::onSelectFileSprav), 3, 1);

    auto *page = new QVBoxLayout(this);
    page->addWidget(group);
    page->addStretch();
}

void SettingsGeneralPage::apply(GenericSettings &settings, SettingsFields &fields) const
{
    settings.sRootFolder = m_rootFolder->text();
    settings.sPathFileSprav = m_fileSprav->text();
    fields.read(m_zoomH, settings.iZoomH);
    fields.read(m_zoomV, settings.iZoomV);
    fields.read(m_fontK, settings.fontK);
}

void SettingsGeneralPage::onSelectRootFolder()
{
    const QString folder = FileChooser::getExistingDirectory(
        window(), SettingsDlg::tr("Выбор корневой папки"), m_loadedRootFolder,
        QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails | QFileDialog::DontUseCustomDirectoryIcons);
    if (!folder.isEmpty())
        m_rootFolder->setText(folder);
}

void SettingsGeneralPage::onSelectFileSprav()
{
    const QString file =
        FileChooser::getOpenFileName(window(), SettingsDlg::tr("Выбор справочника вопросов"), m_loadedFileSprav);
    if (!file.isEmpty())
        m_fileSprav->setText(file);
}
