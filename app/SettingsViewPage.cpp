#include "app/SettingsViewPage.h"

#include "app/SettingsDlg.h"
#include "app/services/SettingsFields.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

SettingsViewPage::SettingsViewPage(const GenericSettings &loaded, QWidget *parent) : QWidget(parent)
{
    auto *group = SettingsFields::groupBox(SettingsDlg::tr("Просмотр полиграмм"), this);
    m_labels = SettingsFields::checkBox(SettingsDlg::tr("Разрешить подписи меток при просмотре полиграммы"),
                                     loaded.bEnableShowTextLabelForView, group);
    m_answers = SettingsFields::checkBox(SettingsDlg::tr("Разрешить подписи ответов при просмотре полиграммы"),
                                      loaded.bEnableShowTextLabelYasNoForView, group);
    auto *column = new QVBoxLayout(group);
    column->addWidget(m_labels);
    column->addWidget(m_answers);

    auto *page = new QVBoxLayout(this);
    page->addWidget(group);
    page->addStretch();
}

void SettingsViewPage::apply(GenericSettings &settings) const
{
    settings.bEnableShowTextLabelForView = m_labels->isChecked();
    settings.bEnableShowTextLabelYasNoForView = m_answers->isChecked();
}
