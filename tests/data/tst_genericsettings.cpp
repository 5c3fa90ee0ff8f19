#include "data/GenericSettings.h"
#include "tests/data/SettingsFile.h"
#include "tests/support/TestHome.h"

#include <QRegularExpression>
#include <QStandardPaths>

namespace {

QString documents() { return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation); }

GenericSettings loaded()
{
    GenericSettings settings;
    settings.load();
    return settings;
}

}  // namespace

class TestGenericSettings : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        removeSettingsFiles();
        QDir(documents()).removeRecursively();
    }
    void nothingStoredGivesEveryDefault();
    void missingRootFolderIsNotCreated();
    void saveAndLoadReturnTheSameValues();
    void fileKeepsTheKeysAsSpelled();
    void fontFactorReadsWholeAndRealNumbers();
    void pluginNameOfTheOriginalPlatformIsReadAsOurs_data();
    void pluginNameOfTheOriginalPlatformIsReadAsOurs();
    void damagedValuesKeepTheirDefaults();
    void valuesOutsideThePagesAreBroughtWithin_data();
    void valuesOutsideThePagesAreBroughtWithin();
    void loadForgetsEarlierValues();
};

void TestGenericSettings::nothingStoredGivesEveryDefault()
{
    const GenericSettings s = loaded();
    QVERIFY(s.bEnableShowTextLabelForPrint && s.bEnableShowTextLabelForView && s.bEnableShowTextLabelYasNoForView
            && s.bEnableShowTextLabelForRecord && s.bEnableShowGridForPrint);
    QCOMPARE(s.iZoomH, 200);
    QCOMPARE(s.iZoomV, 200);
    QCOMPARE(s.fontK, 1.0);
    QVERIFY(!s.bShowQuestionsUSA);
    QVERIFY(s.bShowQuestionsRUS);
    QCOMPARE(s.sRootFolder, documents() + QStringLiteral("/.VorkelData"));
    QCOMPARE(s.sPathFileSprav, documents() + QStringLiteral("/.VorkelData/svorkel.sqmz"));
    QCOMPARE(s.iIA, 10);
    QCOMPARE(s.iTimeBeforeForRecord, 10);
    QCOMPARE(s.iTimeAfterForRecod, 10);
    QVERIFY(!s.bEnableVideoForRecord);
    QCOMPARE(s.sNameDriverDll, QStringLiteral("vugSensorVorkel16.so"));
    QVERIFY(s.sAudioDeviceName.isEmpty());
    QVERIFY(s.sVideoDeviceName.isEmpty());
    QCOMPARE(s.dVideoPanelSize, 0.75);
    QCOMPARE(s.dSecMonPanelSize, 0.14);
    QVERIFY(s.bEnableLabelAnswere);
    QVERIFY(s.bShowTrasparentPanel_Quest && s.bShowTrasparentPanel_Inspection && s.bShowTrasparentPanel_Pulse
            && s.bShowTrasparentPanel_GSR && s.bShowTrasparentPanel_Pressure
            && s.bShowTrasparentPanel_MicrophoneLavel && s.bShowTrasparentPanel_SecondMonitor);
    QCOMPARE(s.iQualityVideo, 0);
    QVERIFY(!documents().endsWith(QLatin1Char('/')));
}

void TestGenericSettings::missingRootFolderIsNotCreated()
{
    QTemporaryDir base;
    GenericSettings s = loaded();
    s.sRootFolder = base.path() + QStringLiteral("/нет/такой/папки");
    s.save();
    const GenericSettings again = loaded();
    QCOMPARE(again.sRootFolder, s.sRootFolder);
    QVERIFY(!QFileInfo::exists(base.path() + QStringLiteral("/нет")));
    QCOMPARE(again.sPathFileSprav, documents() + QStringLiteral("/.VorkelData/svorkel.sqmz"));
}

void TestGenericSettings::saveAndLoadReturnTheSameValues()
{
    GenericSettings s = loaded();
    s.bEnableShowTextLabelYasNoForView = false;
    s.iZoomV = 123;
    s.sRootFolder = documents() + QStringLiteral("/Данные, обследования");
    s.iTimeAfterForRecod = 4;
    s.sNameDriverDll = QStringLiteral("vugSensorDemo.so");
    s.sAudioDeviceName = QStringLiteral("Микрофон (USB)");
    s.dSecMonPanelSize = 0.33;
    s.bShowTrasparentPanel_MicrophoneLavel = false;
    s.fontK = 1.25;
    s.bShowQuestionsUSA = true;
    s.iQualityVideo = 2;
    s.save();
    const QByteArray saved = readSettingsFile(QString());

    // Saving what was loaded writes the same file only when every field came back.
    const GenericSettings r = loaded();
    r.save();
    QCOMPARE(readSettingsFile(QString()), saved);
    QCOMPARE(r.sRootFolder, s.sRootFolder);
    QCOMPARE(r.sAudioDeviceName, s.sAudioDeviceName);
    QCOMPARE(r.dSecMonPanelSize, 0.33);
    QCOMPARE(r.iQualityVideo, 2);
    QVERIFY(!r.bShowTrasparentPanel_MicrophoneLavel);
}

void TestGenericSettings::fileKeepsTheKeysAsSpelled()
{
    writeSettingsFile(QString(), "[Generic]\nLocale=en\n");
    loaded().save();
    const auto store = SettingsStore::open();
    store->beginGroup(QStringLiteral("Generic"));
    QCOMPARE(store->childKeys().size(), 31);
    QCOMPARE(store->value(QStringLiteral("Locale")).toString(), QStringLiteral("en"));
    for (const char *key : {"iTimeAfterForRecod", "bEnableLabelAnswere", "bShowTrasparentPanel_MicrophoneLavel",
                            "bEnableShowTextLabelYasNoForView", "sNameDriverDll"})
        QVERIFY2(store->contains(QLatin1String(key)), key);
}

void TestGenericSettings::fontFactorReadsWholeAndRealNumbers()
{
    writeSettingsFile(QString(), "[Generic]\nfontK=2\n");
    QCOMPARE(loaded().fontK, 2.0);
    writeSettingsFile(QString(), "[Generic]\nfontK=1.5\n");
    GenericSettings s = loaded();
    QCOMPARE(s.fontK, 1.5);
    s.fontK = 0.35;
    s.save();
    QVERIFY(readSettingsFile(QString()).contains("fontK=0.35"));
    QCOMPARE(loaded().fontK, 0.35);
}

void TestGenericSettings::pluginNameOfTheOriginalPlatformIsReadAsOurs_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("expected");
    QTest::newRow("dll") << QByteArray("vugSensorMirel16.dll") << QStringLiteral("vugSensorMirel16.so");
    QTest::newRow("DLL") << QByteArray("vugSensorDemo.DLL") << QStringLiteral("vugSensorDemo.so");
    QTest::newRow("so") << QByteArray("vugSensorSentak.so") << QStringLiteral("vugSensorSentak.so");
    QTest::newRow("dll inside") << QByteArray("my.dll.so") << QStringLiteral("my.dll.so");
}

void TestGenericSettings::pluginNameOfTheOriginalPlatformIsReadAsOurs()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, expected);
    writeSettingsFile(QString(), "[Generic]\nsNameDriverDll=" + stored + "\n");
    QCOMPARE(loaded().sNameDriverDll, expected);
}

void TestGenericSettings::damagedValuesKeepTheirDefaults()
{
    writeSettingsFile(QString(), "[Other]\niZoomH=5\n[Generic]\niZoomH=wide\nfontK=big\nbEnableLabelAnswere=perhaps\n"
                                 "iIA=12\n");
    const GenericSettings s = loaded();
    QCOMPARE(s.iZoomH, 200);
    QCOMPARE(s.fontK, 1.0);
    QVERIFY(s.bEnableLabelAnswere);
    QCOMPARE(s.iIA, 12);
}

void TestGenericSettings::valuesOutsideThePagesAreBroughtWithin_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<double>("fontK");
    QTest::addColumn<int>("zoomH");
    QTest::addColumn<double>("videoPanel");
    QTest::addColumn<int>("quality");
    QTest::addColumn<int>("timeBefore");
    QTest::newRow("not a number") << QByteArray("fontK=nan\ndVideoPanelSize=NaN\n") << 1.0 << 200 << 0.75 << 0 << 10;
    QTest::newRow("infinities") << QByteArray("fontK=inf\ndVideoPanelSize=-inf\n") << 1.0 << 200 << 0.75 << 0 << 10;
    QTest::newRow("far below") << QByteArray("fontK=-1e308\niZoomH=-2147483648\ndVideoPanelSize=0\n"
                                             "iQualityVideo=-2147483648\niTimeBeforeForRecord=-2147483648\n")
                               << 0.1 << 100 << 0.1 << 0 << GenericSettings::kSecondsMin;
    QTest::newRow("far above") << QByteArray("fontK=1e308\niZoomH=2147483647\ndVideoPanelSize=1e+300\n"
                                             "iQualityVideo=2147483647\niTimeBeforeForRecord=2147483647\n")
                               << 5.0 << 500 << 1.5 << 2 << GenericSettings::kSecondsMax;
}

// A font factor of NaN left the main window without any text.
void TestGenericSettings::valuesOutsideThePagesAreBroughtWithin()
{
    QFETCH(QByteArray, stored);
    writeSettingsFile(QString(), "[Generic]\n" + stored);
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression("outside their pages' ranges"));
    const GenericSettings s = loaded();
    QTEST(s.fontK, "fontK");
    QTEST(s.iZoomH, "zoomH");
    QTEST(s.dVideoPanelSize, "videoPanel");
    QTEST(s.iQualityVideo, "quality");
    QTEST(s.iTimeBeforeForRecord, "timeBefore");
}

void TestGenericSettings::loadForgetsEarlierValues()
{
    GenericSettings s;
    s.iZoomH = 5;
    s.sAudioDeviceName = QStringLiteral("old");
    s.load();
    QCOMPARE(s.iZoomH, 200);
    QVERIFY(s.sAudioDeviceName.isEmpty());
}

VUG_TEST_MAIN(TestGenericSettings, QCoreApplication)
#include "tst_genericsettings.moc"
