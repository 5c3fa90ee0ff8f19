#include "app/DiagnisticsDlg.h"
#include "app/FreeMemory.h"
#include "app/_QImageGroupBox.h"
#include "data/GenericSettings.h"
#include "app/RasterFillChoice.h"
#include "polygram/RenderPath.h"
#include "sensors/serial/EmulatedUnit.h"
#include "tests/app/FakeMediaDevices.h"
#include "tests/sensors/SensorFiles.h"
#include "tests/support/TestHome.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QSysInfo>

namespace {

const QString green = QStringLiteral("QLabel {color : green; }");
const QString red = QStringLiteral("QLabel {color : red; }");
const QString gray = QStringLiteral("QLabel {color : gray; }");

void configure(const QString &plugin, const QString &camera = QStringLiteral("USB Camera"),
               const QString &microphone = QStringLiteral("Built-in Mic"))
{
    GenericSettings settings;
    settings.load();
    settings.sNameDriverDll = plugin;
    settings.sVideoDeviceName = camera;
    settings.sAudioDeviceName = microphone;
    settings.save();
}

QAbstractButton *copyButton(const DiagnisticsDlg &dialog)
{
    for (QAbstractButton *button : dialog.findChild<QDialogButtonBox *>()->buttons())
        if (button->text() == QStringLiteral("Скопировать в системный буфер"))
            return button;
    return nullptr;
}

// The value label of the row whose caption is given, in any group.
QLabel *valueOf(const DiagnisticsDlg &dialog, const QString &caption)
{
    for (QFormLayout *rows : dialog.findChildren<QFormLayout *>()) {
        for (int row = 0; row < rows->rowCount(); ++row) {
            QLayoutItem *labelItem = rows->itemAt(row, QFormLayout::LabelRole);
            auto *label = labelItem ? qobject_cast<QLabel *>(labelItem->widget()) : nullptr;
            if (label && label->text() == caption)
                return qobject_cast<QLabel *>(rows->itemAt(row, QFormLayout::FieldRole)->widget());
        }
    }
    return nullptr;
}

void waitForUnit(const DiagnisticsDlg &dialog)
{
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isCheckingUnit(), 20000);
}

QString copied(DiagnisticsDlg &dialog)
{
    QApplication::clipboard()->clear();
    dialog.onCopyClipboard();
    return QApplication::clipboard()->text();
}

} // namespace

class TestDiagnostics : public QObject
{
    Q_OBJECT

private:
    FakeMediaDevices m_devices;

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QStringLiteral("ru_RU")));
        m_devices.all = {{QStringLiteral("/dev/video0"), QStringLiteral("usb camera")}};
        m_devices.inputs = {{QStringLiteral("Other Mic"), {}}};
    }

    void demonstrationDeviceAndDevices()
    {
        configure(QStringLiteral("vugSensorDemo.so"));
        DiagnisticsDlg dialog(nullptr, m_devices, binFolder());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Диагностика системы"));
        QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));

        // Checking until the unit's thread reports back through the event loop.
        const QString unitCaption = QStringLiteral("Тестирование сенсорного блока (Эмулятор сенсорного блока):");
        QLabel *unit = valueOf(dialog, unitCaption);
        QVERIFY(unit);
        QVERIFY(dialog.isCheckingUnit());
        QVERIFY(unit->text() != QStringLiteral("Ok"));
        QCOMPARE(unit->styleSheet(), gray);
        QAbstractButton *copy = copyButton(dialog);
        QVERIFY(copy && !copy->isEnabled());
        waitForUnit(dialog);
        QVERIFY(copy->isEnabled());
        QCOMPARE(unit->text(), QStringLiteral("Ok"));
        QCOMPARE(unit->styleSheet(), green);

        // The camera differs only in case; the microphone is not there.
        QLabel *camera = valueOf(dialog, QStringLiteral("Камера (USB Camera):"));
        QLabel *microphone = valueOf(dialog, QStringLiteral("Микрофон (Built-in Mic):"));
        QVERIFY(camera && microphone);
        QCOMPARE(camera->text(), QStringLiteral("Ok"));
        QCOMPARE(camera->styleSheet(), green);
        QCOMPARE(microphone->text(), QStringLiteral("Нет"));
        QCOMPARE(microphone->styleSheet(), red);

        QLabel *system = valueOf(dialog, QStringLiteral("Операционнная система:"));
        QLabel *architecture = valueOf(dialog, QStringLiteral("Архитектура ЦП:"));
        QLabel *memory = valueOf(dialog, QStringLiteral("Свободно ОЗУ (%):"));
        QVERIFY(system && architecture && memory);
        QCOMPARE(system->text(), QSysInfo::prettyProductName());
        QCOMPARE(architecture->text(), QSysInfo::currentCpuArchitecture());
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d/\\d+\\.\\d GB \\(\\d+\\.\\d%\\)$"))
                    .match(memory->text())
                    .hasMatch());
        for (QLabel *label : {system, architecture, memory})
            QCOMPARE(label->styleSheet(), gray);
    }

    void groupBoxesWithPictures()
    {
        configure(QStringLiteral("vugSensorDemo.so"));
        DiagnisticsDlg dialog(nullptr, m_devices, binFolder());
        waitForUnit(dialog);
        QStringList titles;
        for (_QImageGroupBox *box : dialog.findChildren<_QImageGroupBox *>()) {
            titles << box->title();
            QVERIFY(!box->picture().isNull());
        }
        QCOMPARE(titles, QStringList({"Мультимедиа", "Сенсорный блок", "Параметры компьютера"}));
    }

    void pictureIsPaintedBeforeTheTitle()
    {
        QPixmap picture(16, 16);
        picture.fill(Qt::blue);
        _QImageGroupBox box(picture, QStringLiteral("Title"));
        box.resize(200, 80);
        const QImage image = box.grab().toImage();
        const QRgb window = box.palette().window().color().rgb();
        // Block from x = 10 to 10 + 2 + 16 + 2 - 1, the picture centred in it.
        QCOMPARE(image.pixel(10, 8), window);
        QCOMPARE(image.pixel(11, 8), window);
        QCOMPARE(image.pixel(12, 8), QColor(Qt::blue).rgb());
        QCOMPARE(image.pixel(27, 8), QColor(Qt::blue).rgb());
        QCOMPARE(image.pixel(28, 8), window);
    }

    // The system's own list: without a sound server it offers a null entry, not a device.
    void systemWithoutMicrophoneSaysSo()
    {
        configure(QStringLiteral("vugSensorDemo.so"), QString(), QString());
        DiagnisticsDlg dialog(nullptr);
        waitForUnit(dialog);
        QLabel *microphone = valueOf(dialog, QStringLiteral("Микрофон ():"));
        QVERIFY(microphone);
        QCOMPARE(microphone->text(), QStringLiteral("Нет"));
    }

    void missingPlugin()
    {
        configure(QStringLiteral("vugSensorMissing.so"));
        DiagnisticsDlg dialog(nullptr, m_devices, binFolder());
        waitForUnit(dialog);
        const QString caption =
            QStringLiteral("Тестирование сенсорного блока (Не удалось загрузить модуль сенсорного блока «vugSensorMissing.so»):");
        QLabel *unit = valueOf(dialog, caption);
        QVERIFY(unit);
        QCOMPARE(unit->text(), QStringLiteral("Нет"));
        QCOMPARE(unit->styleSheet(), red);
        QVERIFY(copied(dialog).contains(QStringLiteral("\n\t") + caption + QStringLiteral("\t-Нет\n")));
    }

    void unitThatDoesNotOpen()
    {
        // Its name is a literal of the library, which is unloaded before the name is shown.
        configure(QStringLiteral("vugSensorFakeA.so"));
        DiagnisticsDlg dialog(nullptr, m_devices, QStringLiteral(VUG_FAKE_SENSORS));
        waitForUnit(dialog);
        QLabel *unit = valueOf(dialog, QStringLiteral("Тестирование сенсорного блока (Блок A):"));
        QVERIFY(unit);
        QCOMPARE(unit->text(), QStringLiteral("Нет"));
        QVERIFY(copied(dialog).contains(QStringLiteral("\n\tТестирование сенсорного блока (Блок A):\t-Нет\n")));
    }

    void unitThatDoesNotAnswer()
    {
        EmulatedUnit silent;
        configure(QStringLiteral("vugSensorVorkel16.so"));
        {
            DiagnisticsDlg dialog(nullptr, m_devices, binFolder());
            QLabel *unit = valueOf(dialog, QStringLiteral("Тестирование сенсорного блока (Воркел16 (16 бит)):"));
            QVERIFY(unit);
            waitForUnit(dialog);
            QCOMPARE(unit->text(), QStringLiteral("Нет"));
            QCOMPARE(unit->styleSheet(), red);
        }
        // Closed while the test still runs: the dialog waits for it.
        delete new DiagnisticsDlg(nullptr, m_devices, binFolder());
        // Whatever the failed opens took, the unit is free again.
        QVERIFY(!silent.isOpen());
        const QStringList calls = silent.calls();
        const int opened = calls.lastIndexOf(QStringLiteral("open 0"));
        if (opened >= 0)
            QVERIFY(calls.indexOf(QStringLiteral("close"), opened) > opened);
    }

    void memoryText_data()
    {
        QTest::addColumn<quint64>("available");
        QTest::addColumn<quint64>("total");
        QTest::addColumn<QString>("text");
        const quint64 gib = quint64(1) << 30;
        QTest::newRow("2 of 8") << 2 * gib << 8 * gib << "2.0/8.0 GB (25.0%)";
        QTest::newRow("a third") << gib << 3 * gib << "1.0/3.0 GB (33.3%)";
        QTest::newRow("rounded") << gib * 3 / 4 << 16 * gib << "0.8/16.0 GB (4.7%)";
        QTest::newRow("no total") << 2 * gib << quint64(0) << "0";
        QTest::newRow("nothing available") << quint64(0) << 8 * gib << "0";
    }

    void memoryText()
    {
        QFETCH(quint64, available);
        QFETCH(quint64, total);
        QFETCH(QString, text);
        QCOMPARE(FreeMemory::text(available, total), text);
    }

    void availableMemoryIsTheKernelsAvailableFigure_data()
    {
        QTest::addColumn<QByteArray>("meminfo");
        QTest::addColumn<quint64>("bytes");
        QTest::newRow("available after free") << QByteArray("MemTotal:       24641420 kB\nMemFree:        16987432 kB\n"
                                                            "MemAvailable:   23697612 kB\nBuffers: 1 kB\n")
                                              << quint64(23697612) * 1024;
        QTest::newRow("no such line") << QByteArray("MemTotal: 8 kB\nMemFree: 4 kB\n") << quint64(0);
        QTest::newRow("a longer name") << QByteArray("MemAvailableX: 9 kB\n") << quint64(0);
    }

    void availableMemoryIsTheKernelsAvailableFigure()
    {
        QFETCH(QByteArray, meminfo);
        QFETCH(quint64, bytes);
        QCOMPARE(FreeMemory::availableBytes(meminfo), bytes);
        // This machine's file is read, not passed over.
        QVERIFY(FreeMemory::currentAvailableBytes() > 0);
    }

    void copiedReportTwiceTheSame()
    {
        configure(QStringLiteral("vugSensorDemo.so"));
        DiagnisticsDlg dialog(nullptr, m_devices, binFolder());
        waitForUnit(dialog);
        const QString memory = valueOf(dialog, QStringLiteral("Свободно ОЗУ (%):"))->text();
        const QString expected = QStringLiteral("Мультимедиа"
                                                "\n\tКамера (USB Camera)\t-Ok"
                                                "\n\tМикрофон (Built-in Mic)\t-Нет"
                                                "\nСенсорный блок"
                                                "\n\tТестирование сенсорного блока (Эмулятор сенсорного блока):\t-Ok"
                                                "\nПараметры компьютера"
                                                "\n\tОперационнная система:\t-")
                                 + QSysInfo::prettyProductName() + QStringLiteral("\n\tАрхитектура ЦП:\t-")
                                 + QSysInfo::currentCpuArchitecture() + QStringLiteral("\n\tСвободно ОЗУ (%):\t-")
                                 + memory + QStringLiteral("\n\tОтрисовка полиграммы:\t-")
                                 + RenderPath::description() + QStringLiteral(", ")
                                 + RasterFillChoice::description();
        QCOMPARE(copied(dialog), expected);
        QCOMPARE(copied(dialog), expected);

        // The button copies too, once the unit's result is in.
        QApplication::clipboard()->clear();
        QAbstractButton *copy = copyButton(dialog);
        QVERIFY(copy && copy->isEnabled());
        QTest::mouseClick(copy, Qt::LeftButton);
        QCOMPARE(QApplication::clipboard()->text(), expected);
    }
};

VUG_TEST_MAIN(TestDiagnostics, QApplication)
#include "tst_diagnostics.moc"
