#include "app/DiagnisticsDlg.h"

#include "app/FreeMemory.h"
#include "recording/media/MediaDevices.h"
#include "app/_QImageGroupBox.h"
#include "data/GenericSettings.h"
#include "data/WaitCursor.h"
#include "app/RasterFillChoice.h"
#include "polygram/RenderPath.h"
#include "resources/VugResources.h"
#include "sensors/interface/SensorPlugin.h"
#include "sensors/interface/SensorTypeIds.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSysInfo>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

const QString passedStyle = QStringLiteral("QLabel {color : green; }");
const QString failedStyle = QStringLiteral("QLabel {color : red; }");
const QString pendingStyle = QStringLiteral("QLabel {color : gray; }");

// The unit as the examiner must know it: a missing plug-in by its file, the
// demonstration unit as such in any language.
QString unitDisplayName(const QString &pluginPath, const QString &fileName)
{
    SensorPlugin plugin;
    if (!plugin.bind(pluginPath))
        return SensorPlugin::loadFailure(fileName);
    if (plugin.device()->typeId() == SensorTypeIds::demo)
        return DiagnisticsDlg::tr("Эмулятор сенсорного блока");
    return SensorPlugin::copiedOutOfLibrary(plugin.device()->name(SensorPlugin::userLanguage()));
}

// Runs on the unit test's thread: the binding is made, used and released there.
bool unitAnswers(const QString &pluginPath)
{
    SensorPlugin plugin;
    if (!plugin.bind(pluginPath))
        return false;
    ISensorBase *device = plugin.device();
    if (device->typeId() == SensorTypeIds::demo)
        return true;
    bool passed = false;
    if (device->open(QString())) {
        std::array<qint16, 100> frame{};
        passed = device->readFrame(frame.data());
    }
    // Also after a failed open: the unit may have got as far as taking the port.
    device->close();
    plugin.release();
    return passed;
}

bool cameraPresent(const MediaDevices &devices, const QString &name)
{
    const QVector<MediaDevices::Camera> cameras = devices.cameras();
    return std::any_of(cameras.begin(), cameras.end(), [&name](const MediaDevices::Camera &camera) {
        return camera.description.compare(name, Qt::CaseInsensitive) == 0;
    });
}

bool microphonePresent(const MediaDevices &devices, const QString &name)
{
    const QVector<MediaDevices::AudioInput> inputs = devices.audioInputs();
    return std::any_of(inputs.begin(), inputs.end(), [&name](const MediaDevices::AudioInput &input) {
        return input.name.compare(name, Qt::CaseInsensitive) == 0;
    });
}

QString resultText(bool passed)
{
    return passed ? QStringLiteral("Ok") : DiagnisticsDlg::tr("Нет");
}

void showResult(QLabel *label, bool passed)
{
    label->setText(resultText(passed));
    label->setStyleSheet(passed ? passedStyle : failedStyle);
}

QLabel *resultLabel(bool passed)
{
    auto *label = new QLabel;
    showResult(label, passed);
    return label;
}

QLabel *pendingLabel(const QString &text)
{
    auto *label = new QLabel(text);
    label->setStyleSheet(pendingStyle);
    return label;
}

_QImageGroupBox *imageGroupBox(const QString &picture, const QString &title, QFormLayout *rows)
{
    auto *box = new _QImageGroupBox(QPixmap(picture), title);
    box->setLayout(rows);
    // The picture stands higher than the title; the rows begin below it.
    QMargins margins = rows->contentsMargins();
    margins.setTop(std::max(margins.top(), box->picture().height() - box->fontMetrics().height()));
    rows->setContentsMargins(margins);
    return box;
}

} // namespace

DiagnisticsDlg::DiagnisticsDlg(QWidget *parent)
    : DiagnisticsDlg(parent, MediaDevices::system(), SensorPlugin::programFolder())
{
}

DiagnisticsDlg::DiagnisticsDlg(QWidget *parent, const MediaDevices &devices, const QString &pluginFolder)
    : QDialog(parent)
{
    const WaitCursor wait;
    initVugResources();
    setWindowTitle(tr("Диагностика системы"));
    setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowContextHelpButtonHint);

    GenericSettings settings;
    settings.load();
    const QString pluginPath = SensorPlugin::pathInFolder(pluginFolder, settings.sNameDriverDll);
    const QString displayName = unitDisplayName(pluginPath, settings.sNameDriverDll);

    auto *groups = new QFormLayout;
    groups->addRow(buildMultimediaGroup(devices, settings.sVideoDeviceName, settings.sAudioDeviceName));
    groups->addRow(buildUnitGroup(displayName));
    groups->addRow(buildComputerGroup());

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    m_copyButton = new QPushButton(tr("Скопировать в системный буфер"));
    buttons->addButton(m_copyButton, QDialogButtonBox::ActionRole);
    connect(m_copyButton, &QPushButton::released, this, &DiagnisticsDlg::onCopyClipboard);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(groups);
    layout->addWidget(buttons);

    m_systemLabel->setText(QSysInfo::prettyProductName());
    m_architectureLabel->setText(QSysInfo::currentCpuArchitecture());
    m_memoryLabel->setText(FreeMemory::currentText());

    startUnitTest(pluginPath, displayName);
}

DiagnisticsDlg::~DiagnisticsDlg()
{
    if (m_unitTest)
        m_unitTest->wait();
}

bool DiagnisticsDlg::isCheckingUnit() const
{
    return !m_copyButton->isEnabled();
}

QWidget *DiagnisticsDlg::buildMultimediaGroup(const MediaDevices &devices, const QString &cameraName,
                                              const QString &microphoneName)
{
    const bool camera = cameraPresent(devices, cameraName);
    const bool microphone = microphonePresent(devices, microphoneName);
    auto *rows = new QFormLayout;
    rows->addRow(tr("Камера (%1):").arg(cameraName), resultLabel(camera));
    rows->addRow(tr("Микрофон (%1):").arg(microphoneName), resultLabel(microphone));

    m_report += tr("Мультимедиа");
    m_report += tr("\n\tКамера (%1)\t-%2").arg(cameraName, resultText(camera));
    m_report += tr("\n\tМикрофон (%1)\t-%2").arg(microphoneName, resultText(microphone));
    return imageGroupBox(VugImages::path(QStringLiteral("video-call-cam-icon.png")), tr("Мультимедиа"), rows);
}

QWidget *DiagnisticsDlg::buildUnitGroup(const QString &displayName)
{
    m_unitResult = pendingLabel(tr("Проверка..."));
    auto *rows = new QFormLayout;
    rows->addRow(tr("Тестирование сенсорного блока (%1):").arg(displayName), m_unitResult);

    m_report += tr("\nСенсорный блок");
    return imageGroupBox(VugImages::path(QStringLiteral("usb-hub-icon.png")), QStringLiteral("Сенсорный блок"), rows);
}

QWidget *DiagnisticsDlg::buildComputerGroup()
{
    m_systemLabel = pendingLabel(QString());
    m_architectureLabel = pendingLabel(QStringLiteral("0"));
    m_memoryLabel = pendingLabel(QStringLiteral("0"));
    auto *rows = new QFormLayout;
    rows->addRow(tr("Операционнная система:"), m_systemLabel);
    rows->addRow(tr("Архитектура ЦП:"), m_architectureLabel);
    rows->addRow(tr("Свободно ОЗУ (%):"), m_memoryLabel);
    return imageGroupBox(VugImages::path(QStringLiteral("resource-usage-icon.png")), tr("Параметры компьютера"), rows);
}

void DiagnisticsDlg::startUnitTest(const QString &pluginPath, const QString &displayName)
{
    m_copyButton->setEnabled(false);
    setCursor(Qt::BusyCursor);
    m_unitTest.reset(QThread::create([this, pluginPath] { m_unitPassed = unitAnswers(pluginPath); }));
    // Delivered on the GUI thread after the test's thread has written its result.
    connect(m_unitTest.get(), &QThread::finished, this,
            [this, displayName] { showUnitResult(m_unitPassed, displayName); });
    m_unitTest->start();
}

void DiagnisticsDlg::showUnitResult(bool passed, const QString &displayName)
{
    showResult(m_unitResult, passed);
    m_report += tr("\n\tТестирование сенсорного блока (%1):\t-%2").arg(displayName, resultText(passed));
    unsetCursor();
    m_copyButton->setEnabled(true);
}

void DiagnisticsDlg::onCopyClipboard()
{
    m_computerReport = tr("\nПараметры компьютера");
    m_computerReport += tr("\n\tОперационнная система:\t-") + m_systemLabel->text();
    m_computerReport += tr("\n\tАрхитектура ЦП:\t-") + m_architectureLabel->text();
    m_computerReport += tr("\n\tСвободно ОЗУ (%):\t-") + m_memoryLabel->text();
    m_computerReport += tr("\n\tОтрисовка полиграммы:\t-") + RenderPath::description() + QStringLiteral(", ") + RasterFillChoice::description();
    QGuiApplication::clipboard()->setText(m_report + m_computerReport, QClipboard::Clipboard);
}
