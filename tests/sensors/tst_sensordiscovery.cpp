#include "SensorFiles.h"
#include "sensors/interface/SensorPlugin.h"
#include "tests/support/TestHome.h"

#include <QFile>
#include <QTemporaryDir>

// Discovery lists the plug-ins of a folder that really load, with their display names.
class TestSensorDiscovery : public QObject
{
    Q_OBJECT

private:
    static QStringList fileNames(const QVector<SensorPlugin::Entry> &entries)
    {
        QStringList names;
        for (const SensorPlugin::Entry &entry : entries)
            names << entry.fileName;
        return names;
    }

    static bool copyFromBin(const QString &from, const QString &folder, const QString &to)
    {
        return QFile::copy(binFolder() + "/" + from, folder + "/" + to);
    }

private slots:
    // Runs first, before anything from bin/ is loaded: the serial plug-in copied
    // here has to find the serial layer beside itself.
    void skipsWhatDoesNotLoad()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path = folder.path();
        QVERIFY(copyFromBin("vugSensorDemo.so", path, "vugSensorDemo.so"));
        QVERIFY(copyFromBin("vugSensorSentak.so", path, "vugSensorSentak.so"));
        QVERIFY(copyFromBin("libvugSerial.so", path, "libvugSerial.so"));
        // a library without the factory export
        QVERIFY(copyFromBin("libvugSerial.so", path, "vugSensorBroken.so"));
        // a plug-in under a name the pattern does not match
        QVERIFY(copyFromBin("vugSensorDemo.so", path, "otherSensor.so"));
        QFile text(path + "/vugSensorFake.so");
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a library\n");
        text.close();

        const QVector<SensorPlugin::Entry> found = SensorPlugin::discover("ru", path);
        QCOMPARE(fileNames(found), QStringList({"vugSensorDemo.so", "vugSensorSentak.so"}));
        QCOMPARE(found[0].displayName, QString("Эмулятор сенсорного блока"));
        QCOMPARE(found[1].displayName, QString("Сентак (12 бит)"));
    }

    void listsEveryBuiltPlugin()
    {
        const QVector<SensorPlugin::Entry> found = SensorPlugin::discover("en", binFolder());
        QCOMPARE(fileNames(found), builtPluginFiles());
        QCOMPARE(found[0].displayName, QString("Emulator"));
    }

    void emptyWhenFolderIsMissing()
    {
        QVERIFY(SensorPlugin::discover("ru", binFolder() + "/no-such-folder").isEmpty());
    }
};

VUG_TEST_MAIN(TestSensorDiscovery, QCoreApplication)
#include "tst_sensordiscovery.moc"
