#include "app/SettingsGeneralPage.h"
#include "app/services/SettingsFields.h"
#include "app/SettingsRecordPage.h"
#include "app/SettingsSensorPage.h"
#include "app/SettingsViewPage.h"
#include "data/GenericSettings.h"
#include "tests/app/SettingsDlgTesting.h"
#include "tests/support/TestHome.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QScreen>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTabWidget>

namespace {

GenericSettings loaded()
{
    GenericSettings settings;
    settings.load();
    return settings;
}

// Every field away from its default, with choices the dialog offers.
GenericSettings storedOddities()
{
    GenericSettings s = loaded();
    s.bEnableShowTextLabelForPrint = false;
    s.bEnableShowTextLabelForView = false;
    s.bEnableShowTextLabelYasNoForView = false;
    s.bEnableShowTextLabelForRecord = false;
    s.bEnableShowGridForPrint = true;
    s.iZoomH = 300;
    s.iZoomV = 400;
    s.sRootFolder = QDir::tempPath() + QStringLiteral("/корень");
    s.sPathFileSprav = QStringLiteral("/нет/справочника.sqmz");
    s.iIA = 25;
    s.iTimeBeforeForRecord = 5;
    s.iTimeAfterForRecod = 7;
    s.bEnableVideoForRecord = true;
    s.sNameDriverDll = QStringLiteral("vugSensorAbsent.so");
    s.sAudioDeviceName = QStringLiteral("Mic stored");
    s.sVideoDeviceName = QStringLiteral("Cam stored");
    s.dVideoPanelSize = 1.25;
    s.dSecMonPanelSize = 0.5;
    s.bEnableLabelAnswere = false;
    s.bShowTrasparentPanel_Pulse = false;
    s.bShowTrasparentPanel_SecondMonitor = false;
    s.fontK = 1.5;
    s.bShowQuestionsRUS = false;
    s.bShowQuestionsUSA = true;
    s.iQualityVideo = 2;
    return s;
}

bool GenericSettings::*const kRecordFlags[] = {
    &GenericSettings::bEnableShowTextLabelForRecord, &GenericSettings::bEnableLabelAnswere,
    &GenericSettings::bEnableVideoForRecord,         &GenericSettings::bShowTrasparentPanel_Quest,
    &GenericSettings::bShowTrasparentPanel_Inspection, &GenericSettings::bShowTrasparentPanel_Pulse,
    &GenericSettings::bShowTrasparentPanel_GSR,      &GenericSettings::bShowTrasparentPanel_Pressure,
    &GenericSettings::bShowTrasparentPanel_MicrophoneLavel, &GenericSettings::bShowTrasparentPanel_SecondMonitor,
};

}  // namespace

class TestSettingsDlg : public QObject
{
    Q_OBJECT
private slots:
    void init() { startFromEmptyStore(); }

    void frameAndPagesInOrder();
    void okWritesEveryFieldFromItsControl();
    void okKeepsThePrintPreferencesAsLoaded();
    void cancelAndClosingWriteNothing();
    void storedValuesOutsideTheChoicesAreKept();
    void unacceptableFieldIsRefusedAndMarked_data();
    void unacceptableFieldIsRefusedAndMarked();
    void okShowsTheFirstPageHoldingARefusedField();
    void largestFontFitsTheScreen();
    void emptyDeviceListsKeepTheStoredNames();
    void cameraAndMicrophoneLists();
    void folderChooserStartsAtTheLoadedFolder();

private:
    FakeMediaDevices m_noDevices;
    QTemporaryDir m_noPlugins;
};

void TestSettingsDlg::frameAndPagesInOrder()
{
    SettingsDlg dialog(nullptr, m_noDevices, m_noPlugins.path());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Настройки"));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
    QVERIFY(!QApplication::overrideCursor());
    QStringList titles;
    for (int i = 0; i < dialog.tabs()->count(); ++i)
        titles << dialog.tabs()->tabText(i);
    QCOMPARE(titles, (QStringList{QStringLiteral("Общие"), QStringLiteral("Просмотр полиграмм"),
                                  QStringLiteral("Запись полиграмм"), QStringLiteral("Сенсорный блок"),
                                  QStringLiteral("Каналы")}));
    // Numbers show as the record holds them.
    GenericSettings defaults = loaded();
    QCOMPARE(dialog.recordPage()->videoPanelSizeField()->text(), QStringLiteral("0.75"));
    QCOMPARE(dialog.generalPage()->fontFactorField()->text(), QStringLiteral("1"));
    QCOMPARE(dialog.generalPage()->rootFolderField()->text(), defaults.sRootFolder);
    QCOMPARE(dialog.recordPage()->intervalButtons()->checkedId(), 10);
    QCOMPARE(dialog.recordPage()->qualityButtons()->checkedId(), 0);
}

void TestSettingsDlg::okWritesEveryFieldFromItsControl()
{
    const GenericSettings stored = storedOddities();
    stored.save();
    FakeMediaDevices devices;
    devices.standard = {QStringLiteral("/dev/video0"), QStringLiteral("Built-in")};
    devices.all = {devices.standard, {QStringLiteral("/dev/video1"), QStringLiteral("USB Camera")}};
    devices.inputs = {{QStringLiteral("Line"), {QStringLiteral("audio/pcm")}},
                      {QStringLiteral("Headset"), {QStringLiteral("audio/pcm")}}};

    SettingsDlg dialog(nullptr, devices, m_noPlugins.path());
    SettingsGeneralPage *general = dialog.generalPage();
    SettingsRecordPage *record = dialog.recordPage();
    general->zoomWidthField()->setText(QStringLiteral("150"));
    general->zoomHeightField()->setText(QStringLiteral("500"));
    general->fontFactorField()->setText(QStringLiteral("2.25"));
    general->rootFolderField()->setText(QStringLiteral(" /другая папка "));
    general->fileSpravField()->setText(QStringLiteral("/s.sqmz"));
    dialog.viewPage()->labelsBox()->setChecked(true);
    dialog.viewPage()->answersBox()->setChecked(true);
    record->intervalButtons()->button(13)->setChecked(true);
    record->qualityButtons()->button(1)->setChecked(true);
    record->timeBeforeField()->setText(QStringLiteral("30"));
    record->timeAfterField()->setText(QStringLiteral("1"));
    record->videoPanelSizeField()->setText(QStringLiteral("1e-1"));
    record->secondMonitorSizeField()->setText(QStringLiteral("1.0"));
    record->cameraList()->setCurrentIndex(1);
    record->microphoneList()->setCurrentIndex(1);
    for (bool GenericSettings::*flag : kRecordFlags)
        record->checkBoxFor(flag)->setChecked(!(stored.*flag));

    QCOMPARE(runAndPress(dialog, QDialogButtonBox::Ok), int(QDialog::Accepted));
    const GenericSettings s = loaded();
    QCOMPARE(s.iZoomH, 150);
    QCOMPARE(s.iZoomV, 500);
    QCOMPARE(s.fontK, 2.25);
    QCOMPARE(s.sRootFolder, QStringLiteral(" /другая папка "));
    QCOMPARE(s.sPathFileSprav, QStringLiteral("/s.sqmz"));
    QVERIFY(s.bEnableShowTextLabelForView && s.bEnableShowTextLabelYasNoForView);
    QCOMPARE(s.iIA, 13);
    QCOMPARE(s.iQualityVideo, 1);
    QCOMPARE(s.iTimeBeforeForRecord, 30);
    QCOMPARE(s.iTimeAfterForRecod, 1);
    QCOMPARE(s.dVideoPanelSize, 0.1);
    QCOMPARE(s.dSecMonPanelSize, 1.0);
    QCOMPARE(s.sVideoDeviceName, QStringLiteral("USB Camera"));
    QCOMPARE(s.sAudioDeviceName, QStringLiteral("Headset"));
    for (bool GenericSettings::*flag : kRecordFlags)
        QCOMPARE(s.*flag, !(stored.*flag));
    // No control edits these: they go back as they were loaded.
    QCOMPARE(s.bShowQuestionsRUS, false);
    QCOMPARE(s.bShowQuestionsUSA, true);
    QCOMPARE(s.sNameDriverDll, stored.sNameDriverDll);
}

void TestSettingsDlg::okKeepsThePrintPreferencesAsLoaded()
{
    for (const bool stored : {false, true}) {
        GenericSettings s = loaded();
        s.bEnableShowTextLabelForPrint = stored;
        s.bEnableShowGridForPrint = !stored;
        s.save();
        SettingsDlg dialog(nullptr, m_noDevices, m_noPlugins.path());
        QCOMPARE(runAndPress(dialog, QDialogButtonBox::Ok), int(QDialog::Accepted));
        const GenericSettings after = loaded();
        QCOMPARE(after.bEnableShowTextLabelForPrint, stored);
        QCOMPARE(after.bEnableShowGridForPrint, !stored);
    }
}

void TestSettingsDlg::cancelAndClosingWriteNothing()
{
    storedOddities().save();
    const QByteArray before = readSettingsFile(QString());
    for (const bool byClosing : {false, true}) {
        SettingsDlg dialog(nullptr, m_noDevices, m_noPlugins.path());
        dialog.generalPage()->zoomWidthField()->setText(QStringLiteral("111"));
        dialog.recordPage()->intervalButtons()->button(30)->setChecked(true);
        dialog.viewPage()->labelsBox()->setChecked(true);
        if (byClosing) {
            QTimer::singleShot(0, &dialog, &QWidget::close);
            QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        } else {
            QCOMPARE(runAndPress(dialog, QDialogButtonBox::Cancel), int(QDialog::Rejected));
        }
        QCOMPARE(readSettingsFile(QString()), before);
    }
}

void TestSettingsDlg::storedValuesOutsideTheChoicesAreKept()
{
    GenericSettings s = loaded();
    s.iIA = 17;
    s.save();
    SettingsDlg dialog(nullptr, m_noDevices, m_noPlugins.path());
    QVERIFY(!dialog.recordPage()->intervalButtons()->checkedButton());
    QCOMPARE(runAndPress(dialog, QDialogButtonBox::Ok), int(QDialog::Accepted));
    // Within the page's range, yet no choice: shown untouched, no input of the examiner's to refuse.
    QCOMPARE(loaded().iIA, 17);
}

void TestSettingsDlg::unacceptableFieldIsRefusedAndMarked_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("corrected");
    QTest::addColumn<QString>("range");  // as the refused field's tool tip says it
    QTest::newRow("emptied zoom") << "zoomH" << "" << "123" << "от 100 до 500";
    QTest::newRow("zoom typed toward its range") << "zoomH" << "99" << "123" << "от 100 до 500";
    QTest::newRow("font factor above the range") << "fontK" << "5.5" << "2" << "от 0.1 до 5";
    QTest::newRow("font factor in scientific notation") << "fontK" << "1e0" << "2" << "от 0.1 до 5";
    QTest::newRow("font factor with a comma") << "fontK" << "1,5" << "2" << "от 0.1 до 5";
    QTest::newRow("lead-in time of zero") << "before" << "0" << "2" << "от 1 до 30";
    QTest::newRow("video panel too large") << "video" << "1.6" << "1" << "от 0.1 до 1.5";
    QTest::newRow("emptied second monitor scale") << "secmon" << "" << "1" << "от 0.1 до 1";
}

void TestSettingsDlg::unacceptableFieldIsRefusedAndMarked()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, corrected);
    QFETCH(QString, range);
    loaded().save();
    const QByteArray before = readSettingsFile(QString());
    SettingsDlg dialog(nullptr, m_noDevices, m_noPlugins.path());
    const QMap<QString, QLineEdit *> fields = {{QStringLiteral("zoomH"), dialog.generalPage()->zoomWidthField()},
                                               {QStringLiteral("fontK"), dialog.generalPage()->fontFactorField()},
                                               {QStringLiteral("before"), dialog.recordPage()->timeBeforeField()},
                                               {QStringLiteral("video"), dialog.recordPage()->videoPanelSizeField()},
                                               {QStringLiteral("secmon"), dialog.recordPage()->secondMonitorSizeField()}};
    QLineEdit *edit = fields.value(field);
    edit->setText(text);
    dialog.tabs()->setCurrentIndex(4);
    dialog.show();
    dialog.accept();
    QVERIFY(dialog.isVisible());
    QCOMPARE(readSettingsFile(QString()), before);
    QVERIFY(SettingsFields::isMarked(edit));
    QVERIFY2(edit->toolTip().contains(range), qPrintable(edit->toolTip()));
    QVERIFY(dialog.tabs()->currentWidget()->isAncestorOf(edit));

    // The examiner corrects it: the mark goes and OK takes the value.
    edit->clear();
    QTest::keyClicks(edit, corrected);
    QVERIFY(!SettingsFields::isMarked(edit));
    QVERIFY(edit->toolTip().isEmpty());
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(readSettingsFile(QString()) != before);
}

// Fields refused on two pages: OK shows the earlier page.
void TestSettingsDlg::okShowsTheFirstPageHoldingARefusedField()
{
    SettingsDlg dialog(nullptr, m_noDevices, m_noPlugins.path());
    dialog.recordPage()->videoPanelSizeField()->setText(QStringLiteral("9"));
    dialog.generalPage()->fontFactorField()->setText(QStringLiteral("9"));
    dialog.tabs()->setCurrentIndex(4);
    dialog.show();
    dialog.accept();
    QCOMPARE(dialog.tabs()->currentIndex(), 0);
}

// At the largest font factor the pages scroll and OK and Cancel stay on the screen.
void TestSettingsDlg::largestFontFitsTheScreen()
{
    const QFont before = QApplication::font();
    QFont large = before;
    large.setPointSizeF(before.pointSizeF() * 5.0);
    QApplication::setFont(large);
    {
        SettingsDlg dialog(nullptr, m_noDevices, m_noPlugins.path());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(dialog.tabs()->sizeHint().height() > screen.height());  // the case the scrolling is for
        QVERIFY(dialog.height() <= screen.height());
        for (QAbstractButton *button : dialog.findChild<QDialogButtonBox *>()->buttons()) {
            const QRect place(button->mapToGlobal(QPoint(0, 0)), button->size());
            QVERIFY2(screen.contains(place), qPrintable(button->text()));
        }
    }
    QApplication::setFont(before);
}

void TestSettingsDlg::emptyDeviceListsKeepTheStoredNames()
{
    storedOddities().save();
    SettingsDlg dialog(nullptr, m_noDevices, m_noPlugins.path());
    QCOMPARE(dialog.recordPage()->cameraList()->count(), 0);
    QCOMPARE(dialog.recordPage()->microphoneList()->count(), 0);
    QCOMPARE(runAndPress(dialog, QDialogButtonBox::Ok), int(QDialog::Accepted));
    const GenericSettings after = loaded();
    QCOMPARE(after.sVideoDeviceName, QStringLiteral("Cam stored"));
    QCOMPARE(after.sAudioDeviceName, QStringLiteral("Mic stored"));
    QCOMPARE(after.sNameDriverDll, QStringLiteral("vugSensorAbsent.so"));
}

void TestSettingsDlg::cameraAndMicrophoneLists()
{
    FakeMediaDevices devices;
    devices.standard = {QStringLiteral("/dev/video1"), QStringLiteral("Built-in")};
    devices.all = {{QStringLiteral("/dev/video0"), QStringLiteral("USB Camera")},
                   devices.standard,
                   {QStringLiteral("/dev/video2"), QStringLiteral("Capture")}};
    devices.inputs = {{QStringLiteral("Two codecs"), {QStringLiteral("audio/pcm"), QStringLiteral("audio/x-raw")}},
                      {QStringLiteral("Line"), {QStringLiteral("audio/pcm")}},
                      {QStringLiteral("Other codec"), {QStringLiteral("audio/x-raw")}},
                      {QStringLiteral("Upper"), {QStringLiteral("AUDIO/PCM")}},
                      {QStringLiteral("Headset"), {QStringLiteral("audio/pcm")}}};
    const auto texts = [](const QComboBox *combo) {
        QStringList all;
        for (int i = 0; i < combo->count(); ++i)
            all << combo->itemText(i);
        return all;
    };

    QComboBox cameras;
    QComboBox microphones;
    SettingsRecordPage::fillCameraList(&cameras, devices, QStringLiteral("capture"));
    SettingsRecordPage::fillAudioInputList(&microphones, devices, QStringLiteral("HEADSET"));
    QCOMPARE(texts(&cameras), (QStringList{QStringLiteral("Built-in"), QStringLiteral("USB Camera"),
                                           QStringLiteral("Capture")}));
    QCOMPARE(cameras.currentText(), QStringLiteral("Capture"));
    QCOMPARE(texts(&microphones), (QStringList{QStringLiteral("Line"), QStringLiteral("Headset")}));
    QCOMPARE(microphones.currentText(), QStringLiteral("Headset"));

    // Nothing stored matches: the default camera and the first microphone.
    QComboBox otherCameras;
    QComboBox otherMicrophones;
    SettingsRecordPage::fillCameraList(&otherCameras, devices, QStringLiteral("built-in"));
    SettingsRecordPage::fillAudioInputList(&otherMicrophones, devices, QStringLiteral("Gone"));
    QCOMPARE(otherCameras.currentIndex(), 0);
    QCOMPARE(otherMicrophones.currentText(), QStringLiteral("Line"));
}

void TestSettingsDlg::folderChooserStartsAtTheLoadedFolder()
{
    GenericSettings s = loaded();
    QVERIFY(QDir().mkpath(s.sRootFolder));  // the start made it
    SettingsDlg dialog(nullptr, m_noDevices, m_noPlugins.path());
    QLineEdit *root = dialog.generalPage()->rootFolderField();
    root->setText(QStringLiteral("/tmp"));
    QString startedAt;
    answerNextModal<QFileDialog>([&startedAt](QFileDialog *chooser) {
        startedAt = chooser->directory().absolutePath();
        chooser->reject();
    });
    QMetaObject::invokeMethod(dialog.generalPage(), "onSelectRootFolder");
    QCOMPARE(startedAt, QDir(s.sRootFolder).absolutePath());
    QCOMPARE(root->text(), QStringLiteral("/tmp"));
}

VUG_TEST_MAIN(TestSettingsDlg, QApplication)
#include "tst_settingsdlg.moc"
