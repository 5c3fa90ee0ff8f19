#include "app/SettingsChannelsPage.h"
#include "app/SettingsSensorPage.h"
#include "data/GenericSettings.h"
#include "sensors/interface/SensorPlugin.h"
#include "tests/app/SettingsDlgTesting.h"
#include "tests/sensors/SensorFiles.h"
#include "tests/support/TestHome.h"

#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QStandardItemModel>
#include <QTreeView>

namespace {

QStringList rowsOf(const QListView *list)
{
    QStringList rows;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        rows << list->model()->index(row, 0).data().toString();
    return rows;
}

void storeDriver(const QString &fileName)
{
    GenericSettings settings;
    settings.load();
    settings.sNameDriverDll = fileName;
    settings.save();
}

QString storedDriver()
{
    GenericSettings settings;
    settings.load();
    return settings.sNameDriverDll;
}

}  // namespace

class TestSettingsSensor : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        for (const char *name : {"vugSensorFakeA.so", "vugSensorFakeB.so"})
            QVERIFY(QFile::copy(QStringLiteral(VUG_FAKE_SENSORS "/") + QLatin1String(name),
                                m_plugins.filePath(QLatin1String(name))));
        // Matches the pattern but is no library; sorts between the two.
        QFile broken(m_plugins.filePath(QStringLiteral("vugSensorFakeAB.so")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a library");
        QVERIFY(QDir(m_plugins.path()).mkdir(QStringLiteral("vugSensorFolder.so")));
    }
    void init() { startFromEmptyStore(); }

    void offersTheLoadablePluginsAndListsTheirChannels();
    void storedNameDifferingInCaseSelectsItsPlugin();
    void okStoresTheChosenFileName();
    void channelsFollowTheNewOrder();
    void missingPluginStaysChosenUntilAnotherIs_data();
    void missingPluginStaysChosenUntilAnotherIs();
    void pluginOutsideTheFolderIsRefusedAndTheDemoOffered_data();
    void pluginOutsideTheFolderIsRefusedAndTheDemoOffered();

private:
    QTemporaryDir m_plugins;
    FakeMediaDevices m_noDevices;
};

void TestSettingsSensor::offersTheLoadablePluginsAndListsTheirChannels()
{
    storeDriver(QStringLiteral("vugSensorFakeA.so"));
    SettingsDlg dialog(nullptr, m_noDevices, m_plugins.path());
    QComboBox *sensors = dialog.sensorPage()->sensorList();
    QCOMPARE(sensors->count(), 2);
    QCOMPARE(sensors->itemData(0).toString(), QStringLiteral("vugSensorFakeA.so"));
    QCOMPARE(sensors->itemData(1).toString(), QStringLiteral("vugSensorFakeB.so"));
    QVERIFY(sensors->itemText(0).endsWith(QLatin1String(" A")));
    // Its channels numbered by row.
    QCOMPARE(sensors->currentIndex(), 0);
    QCOMPARE(rowsOf(dialog.sensorPage()->channelList()),
             (QStringList{QStringLiteral("1. ВДХ (Дыхание верхнее)"), QStringLiteral("2. КГР (Кожно-гальваническая реакция)"),
                          QStringLiteral("3. ПГ (Плетизмограмма)")}));
}

void TestSettingsSensor::storedNameDifferingInCaseSelectsItsPlugin()
{
    storeDriver(QStringLiteral("VUGSENSORFAKEB.SO"));
    SettingsDlg dialog(nullptr, m_noDevices, m_plugins.path());
    QCOMPARE(dialog.sensorPage()->sensorList()->currentIndex(), 1);
    QCOMPARE(rowsOf(dialog.sensorPage()->channelList()),
             (QStringList{QStringLiteral("1. НДХ (Дыхание нижнее)"), QStringLiteral("2. Тремор (Двигательная активность)")}));
    QCOMPARE(runAndPress(dialog, QDialogButtonBox::Ok), int(QDialog::Accepted));
    QCOMPARE(storedDriver(), QStringLiteral("vugSensorFakeB.so"));
}

void TestSettingsSensor::okStoresTheChosenFileName()
{
    storeDriver(QStringLiteral("vugSensorFakeB.so"));
    SettingsDlg dialog(nullptr, m_noDevices, m_plugins.path());
    dialog.sensorPage()->sensorList()->setCurrentIndex(0);
    QCOMPARE(rowsOf(dialog.sensorPage()->channelList()).size(), 3);
    QCOMPARE(runAndPress(dialog, QDialogButtonBox::Ok), int(QDialog::Accepted));
    QCOMPARE(storedDriver(), QStringLiteral("vugSensorFakeA.so"));
}

void TestSettingsSensor::channelsFollowTheNewOrder()
{
    SettingsDlg dialog(nullptr, m_noDevices, m_plugins.path());
    SettingsChannelsPage *channels = dialog.channelsPage();
    channels->channelList()->setCurrentIndex(channels->channelModel()->index(2, 0));
    channels->action_Up();
    channels->action_Up();
    dialog.sensorPage()->onSelectSensor(0);
    QCOMPARE(rowsOf(dialog.sensorPage()->channelList()),
             (QStringList{QStringLiteral("1. КГР (Кожно-гальваническая реакция)"), QStringLiteral("2. ВДХ (Дыхание верхнее)"),
                          QStringLiteral("3. ПГ (Плетизмограмма)")}));
}

void TestSettingsSensor::missingPluginStaysChosenUntilAnotherIs_data()
{
    QTest::addColumn<bool>("pluginsFound");
    QTest::newRow("others found") << true;
    QTest::newRow("none found") << false;
}

// A unit the examiner chose is never swapped for another by an OK pressed for any other reason.
void TestSettingsSensor::missingPluginStaysChosenUntilAnotherIs()
{
    QFETCH(bool, pluginsFound);
    storeDriver(QStringLiteral("vugSensorGone.so"));
    QTemporaryDir empty;
    SettingsDlg dialog(nullptr, m_noDevices, pluginsFound ? m_plugins.path() : empty.path());
    QComboBox *sensors = dialog.sensorPage()->sensorList();
    QCOMPARE(sensors->count(), pluginsFound ? 3 : 1);
    QCOMPARE(sensors->currentData().toString(), QStringLiteral("vugSensorGone.so"));
    QVERIFY(sensors->currentText().contains(QStringLiteral("не найден")));
    QCOMPARE(dialog.sensorPage()->channelList()->model()->rowCount(), 0);
    const QList<QLabel *> labels = dialog.sensorPage()->findChildren<QLabel *>();
    QVERIFY(std::any_of(labels.begin(), labels.end(), [](QLabel *label) {
        return label->text().contains(QStringLiteral("Не удалось загрузить модуль сенсорного блока «vugSensorGone.so»"));
    }));
    QCOMPARE(runAndPress(dialog, QDialogButtonBox::Ok), int(QDialog::Accepted));
    QCOMPARE(storedDriver(), QStringLiteral("vugSensorGone.so"));
}

void TestSettingsSensor::pluginOutsideTheFolderIsRefusedAndTheDemoOffered_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("relative") << "../" + QFileInfo(m_plugins.path()).fileName() + "/vugSensorFakeB.so";
    QTest::newRow("Windows separator") << "..\\vugSensorFakeB.so";
}

void TestSettingsSensor::pluginOutsideTheFolderIsRefusedAndTheDemoOffered()
{
    QFETCH(QString, stored);
    QTemporaryDir program;
    QVERIFY(QFile::copy(binFolder() + "/vugSensorDemo.so", program.filePath("vugSensorDemo.so")));
    SensorPlugin outside;
    QVERIFY(!outside.bind(SensorPlugin::pathInFolder(program.path(), stored)));
    storeDriver(stored);
    SettingsDlg dialog(nullptr, m_noDevices, program.path());
    QCOMPARE(dialog.sensorPage()->sensorList()->currentData().toString(), QStringLiteral("vugSensorDemo.so"));
    const QList<QLabel *> labels = dialog.sensorPage()->findChildren<QLabel *>();
    QVERIFY(std::any_of(labels.begin(), labels.end(), [&](QLabel *label) { return label->text().contains(stored); }));
}

VUG_TEST_MAIN(TestSettingsSensor, QApplication)
#include "tst_settingssensor.moc"
