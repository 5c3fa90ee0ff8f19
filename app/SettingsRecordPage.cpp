#include "app/SettingsRecordPage.h"

#include "recording/media/MediaDevices.h"
#include "app/SettingsDlg.h"
#include "app/services/SettingsFields.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// One exclusive row of choices in a box of its own; the button whose value
// equals current is selected, none when no value does.
QGroupBox *choiceRow(const QVector<QPair<QString, int>> &choices, int current, QButtonGroup *&group,
                     QWidget *parent)
{
    auto *box = new QGroupBox(parent);
    auto *row = new QHBoxLayout(box);
    group = new QButtonGroup(box);
    for (const auto &choice : choices) {
        auto *button = new QRadioButton(choice.first, box);
        group->addButton(button, choice.second);
        button->setChecked(choice.second == current);
        row->addWidget(button);
    }
    return box;
}

// The value of the selected choice; target stays as it is when none is selected.
void readChoice(const QButtonGroup *group, int &target)
{
    if (group->checkedButton())
        target = group->checkedId();
}

// Told beside the video switch, so that the examiner knows before a recording fails.
QString missingDevicesText(bool noCamera, bool noMicrophone)
{
    if (noCamera && noMicrophone)
        return SettingsDlg::tr("(нет камеры и микрофона)");
    if (noCamera)
        return SettingsDlg::tr("(нет камеры)");
    if (noMicrophone)
        return SettingsDlg::tr("(нет микрофона)");
    return QString();
}

void setCurrentWhenMatching(QComboBox *combo, const QString &stored)
{
    if (combo->itemText(combo->count() - 1).compare(stored, Qt::CaseInsensitive) == 0)
        combo->setCurrentIndex(combo->count() - 1);
}

void readCurrentText(const QComboBox *combo, QString &target)
{
    if (combo->currentIndex() >= 0)
        target = combo->currentText();
}

}  // namespace

SettingsRecordPage::SettingsRecordPage(const GenericSettings &loaded, const MediaDevices &devices, QWidget *parent)
    : QWidget(parent)
{
    auto *page = new QVBoxLayout(this);
    page->addWidget(buildCommonGroup(loaded));
    page->addWidget(buildVideoGroup(loaded, devices));
    page->addWidget(buildPanelGroup(loaded));
    page->addStretch();
}

QWidget *SettingsRecordPage::buildCommonGroup(const GenericSettings &loaded)
{
    auto *group = SettingsFields::groupBox(SettingsDlg::tr("Общие"), this);
    QVector<QPair<QString, int>> intervals;
    for (int seconds : {10, 11, 12, 13, 14, 15, 20, 25, 30})
        intervals.append({QString::number(seconds), seconds});
    m_timeBefore = SettingsFields::intField(loaded.iTimeBeforeForRecord, GenericSettings::kRecordTimeMin,
                                            GenericSettings::kRecordTimeMax, group);
    m_timeAfter = SettingsFields::intField(loaded.iTimeAfterForRecod, GenericSettings::kRecordTimeMin,
                                           GenericSettings::kRecordTimeMax, group);

    auto *grid = new QGridLayout(group);
    grid->addWidget(new QLabel(SettingsDlg::tr("Интервал анализа (сек.):"), group), 0, 0);
    grid->addWidget(choiceRow(intervals, loaded.iIA, m_interval, group), 0, 1);
    grid->addWidget(new QLabel(SettingsDlg::tr("Время до первого вопроса (сек.):"), group), 1, 0);
    grid->addWidget(m_timeBefore, 1, 1);
    grid->addWidget(new QLabel(SettingsDlg::tr("Время после последнего вопроса (сек.):"), group), 2, 0);
    grid->addWidget(m_timeAfter, 2, 1);
    grid->addWidget(flagBox(SettingsDlg::tr("Разрешить подписи меток"), &GenericSettings::bEnableShowTextLabelForRecord,
                            loaded, group),
                    3, 0);
    grid->addWidget(
        flagBox(SettingsDlg::tr("Разрешить фиксировать ответы"), &GenericSettings::bEnableLabelAnswere, loaded, group),
        3, 1);
    return group;
}

QWidget *SettingsRecordPage::buildVideoGroup(const GenericSettings &loaded, const MediaDevices &devices)
{
    auto *group = SettingsFields::groupBox(SettingsDlg::tr("Видео"), this);
    m_cameras = new QComboBox(group);
    fillCameraList(m_cameras, devices, loaded.sVideoDeviceName);
    m_microphones = new QComboBox(group);
    fillAudioInputList(m_microphones, devices, loaded.sAudioDeviceName);
    m_videoPanelSize =
        SettingsFields::realField(loaded.dVideoPanelSize, GenericSettings::kVideoPanelMin,
                                  GenericSettings::kVideoPanelMax, QDoubleValidator::ScientificNotation, group);
    const QVector<QPair<QString, int>> qualities = {
        {QStringLiteral("Низкое"), 0}, {QStringLiteral("Среднее"), 1}, {QStringLiteral("Высокое"), 2}};

    auto *grid = new QGridLayout(group);
    auto *enable = new QHBoxLayout;
    enable->addWidget(
        flagBox(SettingsDlg::tr("Разрешить запись видео"), &GenericSettings::bEnableVideoForRecord, loaded, group));
    const QString missing = missingDevicesText(m_cameras->count() == 0, m_microphones->count() == 0);
    if (!missing.isEmpty())
        enable->addWidget(new QLabel(missing, group));
    enable->addStretch();
    grid->addLayout(enable, 1, 0);
    grid->addWidget(m_cameras, 1, 1);
    grid->addWidget(m_microphones, 1, 2);
    grid->addWidget(new QLabel(SettingsDlg::tr("Масштаб панели видео (1.0 = 640x480):"), group), 2, 0);
    grid->addWidget(m_videoPanelSize, 2, 1);
    grid->addWidget(new QLabel(SettingsDlg::tr("Качество видео:"), group), 3, 0);
    grid->addWidget(choiceRow(qualities, loaded.iQualityVideo, m_quality, group), 3, 1, 1, 2);
    return group;
}

QWidget *SettingsRecordPage::buildPanelGroup(const GenericSettings &loaded)
{
    auto *group = SettingsFields::groupBox(SettingsDlg::tr("Панели на полиграмме"), this);
    struct Panel {
        const char *text;
        bool GenericSettings::*field;
        int row;
        int column;
    };
    const Panel panels[] = {
        {QT_TRANSLATE_NOOP("SettingsDlg", "Предъявляемый вопрос"), &GenericSettings::bShowTrasparentPanel_Quest, 0, 1},
        {QT_TRANSLATE_NOOP("SettingsDlg", "Тоническая составляющая КГР"), &GenericSettings::bShowTrasparentPanel_GSR, 0, 2},
        {QT_TRANSLATE_NOOP("SettingsDlg", "Структура теста"), &GenericSettings::bShowTrasparentPanel_Inspection, 1, 1},
        {QT_TRANSLATE_NOOP("SettingsDlg", "Давление в манжете"), &GenericSettings::bShowTrasparentPanel_Pressure, 1, 2},
        {QT_TRANSLATE_NOOP("SettingsDlg", "Пульс"), &GenericSettings::bShowTrasparentPanel_Pulse, 2, 1},
        {QT_TRANSLATE_NOOP("SettingsDlg", "Микрофон"), &GenericSettings::bShowTrasparentPanel_MicrophoneLavel, 2, 2},
        {QT_TRANSLATE_NOOP("SettingsDlg", "Фото материал (второй монитор)"), &GenericSettings::bShowTrasparentPanel_SecondMonitor, 3, 1},
    };
    auto *grid = new QGridLayout(group);
    for (const Panel &panel : panels)
        grid->addWidget(flagBox(SettingsDlg::tr(panel.text), panel.field, loaded, group), panel.row, panel.column,
                        Qt::AlignTop);

    m_secMonPanelSize =
        SettingsFields::realField(loaded.dSecMonPanelSize, GenericSettings::kSecMonPanelMin,
                                  GenericSettings::kSecMonPanelMax, QDoubleValidator::ScientificNotation, group);
    m_secMonPanelSize->setFixedWidth(80);
    auto *secondMonitor = new QHBoxLayout;
    secondMonitor->addWidget(new QLabel(SettingsDlg::tr("Масштаб изображения (1.0 = max):"), group));
    secondMonitor->addWidget(m_secMonPanelSize);
    secondMonitor->addStretch();
    grid->addLayout(secondMonitor, 4, 1);
    return group;
}

QCheckBox *SettingsRecordPage::flagBox(const QString &text, bool GenericSettings::*field,
                                       const GenericSettings &loaded, QWidget *parent)
{
    QCheckBox *box = SettingsFields::checkBox(text, loaded.*field, parent);
    m_flags.append({field, box});
    return box;
}

QCheckBox *SettingsRecordPage::checkBoxFor(bool GenericSettings::*field) const
{
    for (const FlagBox &flag : m_flags) {
        if (flag.field == field)
            return flag.box;
    }
    return nullptr;
}

void SettingsRecordPage::apply(GenericSettings &settings, SettingsFields &fields) const
{
    for (const FlagBox &flag : m_flags)
        settings.*flag.field = flag.box->isChecked();
    fields.read(m_timeBefore, settings.iTimeBeforeForRecord);
    fields.read(m_timeAfter, settings.iTimeAfterForRecod);
    readCurrentText(m_microphones, settings.sAudioDeviceName);
    readCurrentText(m_cameras, settings.sVideoDeviceName);
    fields.read(m_videoPanelSize, settings.dVideoPanelSize);
    fields.read(m_secMonPanelSize, settings.dSecMonPanelSize);
    readChoice(m_interval, settings.iIA);
    readChoice(m_quality, settings.iQualityVideo);
}

void SettingsRecordPage::fillCameraList(QComboBox *combo, const MediaDevices &devices, const QString &stored)
{
    const MediaDevices::Camera standard = devices.defaultCamera();
    // Without any camera an empty entry would overwrite the stored name on OK.
    if (standard.deviceName.isEmpty() && standard.description.isEmpty())
        return;
    combo->addItem(standard.description);
    combo->setCurrentIndex(0);
    const QVector<MediaDevices::Camera> cameras = devices.cameras();
    for (const MediaDevices::Camera &camera : cameras) {
        if (camera.deviceName == standard.deviceName)
            continue;
        combo->addItem(camera.description);
        setCurrentWhenMatching(combo, stored);
    }
}

void SettingsRecordPage::fillAudioInputList(QComboBox *combo, const MediaDevices &devices, const QString &stored)
{
    const QVector<MediaDevices::AudioInput> inputs = devices.audioInputs();
    for (const MediaDevices::AudioInput &input : inputs) {
        if (input.codecs != QStringList{QStringLiteral("audio/pcm")})
            continue;
        combo->addItem(input.name);
        setCurrentWhenMatching(combo, stored);
    }
}
