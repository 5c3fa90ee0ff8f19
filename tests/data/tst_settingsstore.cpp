#include "data/SettingsStore.h"
#include "tests/data/SettingsFile.h"
#include "tests/support/TestHome.h"

#include <QStandardPaths>

class TestSettingsStore : public QObject
{
    Q_OBJECT
private slots:
    void init() { removeSettingsFiles(); }
    void rootAndSubKeysLiveInTheirOwnFiles();
    void nonAsciiTextIsStoredReadable();
    void configFolderCanBeRedirected();
    void typedReadsKeepTheFallbackForDamagedValues();
};

void TestSettingsStore::rootAndSubKeysLiveInTheirOwnFiles()
{
    const QString config = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    QCOMPARE(SettingsStore::filePath(), config + QStringLiteral("/Vorkel/2.0.conf"));
    QCOMPARE(SettingsStore::filePath(QStringLiteral("ChannelsUI")), config + QStringLiteral("/Vorkel/2.0/ChannelsUI.conf"));

    SettingsStore::open()->setValue(QStringLiteral("Generic/iIA"), 12);
    SettingsStore::open(QStringLiteral("ChannelsUI"))->setValue(QStringLiteral("Channels-0/nPenWidth"), 4);
    QVERIFY(readSettingsFile(QString()).contains("iIA=12"));
    QVERIFY(!readSettingsFile(QString()).contains("nPenWidth"));
    QVERIFY(readSettingsFile(QStringLiteral("ChannelsUI")).contains("nPenWidth=4"));
    QCOMPARE(SettingsStore::open()->value(QStringLiteral("Generic/iIA")).toInt(), 12);
}

void TestSettingsStore::nonAsciiTextIsStoredReadable()
{
    const QString folder = QStringLiteral("/home/эксперт/Данные");
    SettingsStore::open()->setValue(QStringLiteral("Generic/sRootFolder"), folder);
    QVERIFY(readSettingsFile(QString()).contains(folder.toUtf8()));
    QCOMPARE(SettingsStore::open()->value(QStringLiteral("Generic/sRootFolder")).toString(), folder);
}

void TestSettingsStore::configFolderCanBeRedirected()
{
    QTemporaryDir elsewhere;
    SettingsStore::setConfigFolder(elsewhere.path());
    SettingsStore::open()->setValue(QStringLiteral("k"), 1);
    const bool written = QFile::exists(elsewhere.path() + QStringLiteral("/Vorkel/2.0.conf"));
    SettingsStore::setConfigFolder(QString());
    QVERIFY(written);
    QCOMPARE(SettingsStore::configFolder(), QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    QVERIFY(!QFile::exists(SettingsStore::filePath()));
}

void TestSettingsStore::typedReadsKeepTheFallbackForDamagedValues()
{
    writeSettingsFile(QString(),
                      "[g]\nb1=true\nb2=false\nb3=1\nb4=0\nbBad=maybe\n"
                      "i=42\niBad=abc\niReal=2.5\nd=2.5\ndWhole=300\ndBad=x\ns=text\n");
    const auto settings = SettingsStore::open();
    settings->beginGroup(QStringLiteral("g"));
    QCOMPARE(SettingsStore::read(*settings, QStringLiteral("b1"), false), true);
    QCOMPARE(SettingsStore::read(*settings, QStringLiteral("b2"), true), false);
    QCOMPARE(SettingsStore::read(*settings, QStringLiteral("b3"), false), true);
    QCOMPARE(SettingsStore::read(*settings, QStringLiteral("b4"), true), false);
    QCOMPARE(SettingsStore::read(*settings, QStringLiteral("bBad"), true), true);
    QCOMPARE(SettingsStore::read(*settings, QStringLiteral("bBad"), false), false);
    QCOMPARE(SettingsStore::read(*settings, QStringLiteral("bMissing"), true), true);
    QCOMPARE(SettingsStore::read(*settings, QStringLiteral("i"), 7), 42);
    QCOMPARE(SettingsStore::read(*settings, QStringLiteral("iBad"), 7), 7);
    QCOMPARE(SettingsStore::read(*settings, QStringLiteral("iReal"), 7), 7);
    QCOMPARE(SettingsStore::read(*settings, QStringLiteral("iMissing"), 7), 7);
    QCOMPARE(SettingsStore::read(*settings, QStringLiteral("d"), 1.0), 2.5);
    QCOMPARE(SettingsStore::read(*settings, QStringLiteral("dWhole"), 1.0), 300.0);
    QCOMPARE(SettingsStore::read(*settings, QStringLiteral("dBad"), 1.0), 1.0);
    QCOMPARE(SettingsStore::read(*settings, QStringLiteral("s"), QString()), QStringLiteral("text"));
    QCOMPARE(SettingsStore::read(*settings, QStringLiteral("sMissing"), QStringLiteral("x")), QStringLiteral("x"));
}

VUG_TEST_MAIN(TestSettingsStore, QCoreApplication)
#include "tst_settingsstore.moc"
