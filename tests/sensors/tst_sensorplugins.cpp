#include "SensorFiles.h"
#include "sensors/interface/SensorExports.h"
#include "sensors/interface/SensorPlugin.h"
#include "tests/support/TestHome.h"

#include <QLibrary>
#include <QProcess>

#include <cstring>

// Binds every built plug-in from the bin folder and checks what it tells about itself.
class TestSensorPlugins : public QObject
{
    Q_OBJECT

private:
    static QString pluginPath(const QString &fileName) { return binFolder() + "/" + fileName; }

    // Frames read by two devices one after the other, in a process that loads the library anew.
    static QVector<QVector<int>> demoFrames(const QStringList &probeArguments)
    {
        QProcess probe;
        probe.start(QCoreApplication::applicationDirPath() + "/sensorprobe",
                    QStringList(pluginPath("vugSensorDemo.so")) + probeArguments);
        if (!probe.waitForFinished(30000) || probe.exitCode() != 0)
            return {};
        QVector<QVector<int>> frames;
        const QList<QByteArray> lines = probe.readAllStandardOutput().split('\n');
        for (const QByteArray &line : lines) {
            if (line.trimmed().isEmpty())
                continue;
            QVector<int> frame;
            for (const QByteArray &value : line.simplified().split(' '))
                frame << value.toInt();
            frames << frame;
        }
        return frames;
    }

    // Entries 5, 1, 4, 3, 2, 0, 7, 8 as worked out by hand from the signal formula.
    static void compareDemoFrame(const QVector<int> &frame, const QVector<int> &expected)
    {
        const int codes[] = {5, 1, 4, 3, 2, 0, 7, 8};
        QCOMPARE(frame.size(), 13);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(frame[codes[i]], expected[i]);
    }

    // The codes the demonstration device never writes keep the probe's marker.
    static void checkUntouched(const QVector<int> &frame)
    {
        QCOMPARE(frame.size(), 13);
        for (int code : {6, 9, 10, 11, 12})
            QCOMPARE(frame[code], 12345);
    }

private slots:
    void identity_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("russian");
        QTest::addColumn<QString>("latin");
        QTest::addColumn<QString>("typeId");
        QTest::addColumn<int>("mask");
        QTest::addColumn<QStringList>("extraNames");
        QTest::addColumn<int>("extraFlag");

        const QStringList extra{"PG+", "GSR+"};
        QTest::newRow("demo") << "vugSensorDemo.so" << "Эмулятор сенсорного блока" << "Emulator"
                              << "{954b01e1-f249-4b67-abf7-839b8b6fb8a0}" << 0x15BF << QStringList() << 0;
        QTest::newRow("mirel") << "vugSensorMirel.so" << "Мирел 1,2,3,4 (12 бит)" << "Mirel 1,2,3,4 (12 bit)"
                               << "{22cb2660-21f2-4c55-9d5e-6a65c172f127}" << 0x1FBF << extra << 0;
        QTest::newRow("mirel14") << "vugSensorMirel14.so" << "Мирел 5,7 (12 бит)" << "Mirel 5,7 (12 bit)"
                                 << "{c583e7e6-fb07-423e-b4b3-9126439a6b5e}" << 0x1FBF << extra << 0;
        QTest::newRow("mirel16") << "vugSensorMirel16.so" << "Мирел 5,7 (16 бит)" << "Mirel 5,7 (16 bit)"
                                 << "{a34f63ff-ac7a-46e1-bd4e-49fabaa572da}" << 0x1FBF << extra << 0;
        QTest::newRow("kvz2") << "vugSensorKVZ2.so" << "КВЗ (12 бит)" << "KVZ2 (12 bit)"
                              << "{fb4ed8c1-4ddc-488b-b653-557c6e67db3f}" << 0x1FBF << extra << 0;
        QTest::newRow("vorkel") << "vugSensorVorkel.so" << "Воркел12 (12 бит)" << "Vorkel12 (12 bit)"
                                << "{11111111-f249-4b67-abf7-839b8b6fb8a0}" << 0x1FFF << extra << 0;
        QTest::newRow("vorkel16") << "vugSensorVorkel16.so" << "Воркел16 (16 бит)" << "Vorkel16 (16 bit)"
                                  << "{05209770-fcc0-4ebd-99c3-0a64cafb2b1e}" << 0x1FFF << extra << 1;
        QTest::newRow("sentak") << "vugSensorSentak.so" << "Сентак (12 бит)" << "Sentak (12 bit)"
                                << "{22222222-f249-4b67-abf7-839b8b6fb8a0}" << 0x15FF << QStringList() << 0;
    }

    void identity()
    {
        QFETCH(QString, file);
        QFETCH(QString, russian);
        QFETCH(QString, latin);
        QFETCH(QString, typeId);
        QFETCH(int, mask);
        QFETCH(QStringList, extraNames);
        QFETCH(int, extraFlag);

        SensorPlugin plugin;
        QVERIFY(plugin.bind(pluginPath(file)));
        ISensorBase *device = plugin.device();
        QVERIFY(device);
        QCOMPARE(device->name("ru"), russian);
        QCOMPARE(device->name("RU"), latin);
        QCOMPARE(device->name("en"), latin);
        QCOMPARE(device->typeId(), QUuid(typeId));
        int answered = 0;
        for (int code = -1; code <= 13; ++code) {
            const int answer = device->channelSupported(code);
            QVERIFY2(answer == 1 || answer == -1, qPrintable(QString::number(code)));
            if (answer == 1) {
                QVERIFY2(code >= 0 && code <= 12, qPrintable(QString::number(code)));
                answered |= 1 << code;
            }
        }
        QCOMPARE(answered, mask);
        QCOMPARE(device->extraChannelNames("en"), extraNames);
        QCOMPARE(device->extraFlag(), extraFlag);
        QCOMPARE(device->mode(), false);
        QCOMPARE(device->reserved(), 0);
        QCOMPARE(device->setExtraMode(2), false);
        QCOMPARE(device->setExtraMode(-1), false);
        QVERIFY(plugin.release());
        QVERIFY(!plugin.device());
    }

    void extraNamesInRussian()
    {
        SensorPlugin plugin;
        QVERIFY(plugin.bind(pluginPath("vugSensorVorkel16.so")));
        QCOMPARE(plugin.device()->extraChannelNames("ru"), QStringList({"ПГ+", "КГР+"}));
        QCOMPARE(plugin.device()->extraChannelNames("RU"), QStringList({"PG+", "GSR+"}));
    }

    void deleteObjectIgnoresNull_data()
    {
        QTest::addColumn<QString>("file");
        for (const QString &file : builtPluginFiles())
            QTest::newRow(qPrintable(file)) << file;
    }

    void deleteObjectIgnoresNull()
    {
        QFETCH(QString, file);
        QLibrary library(pluginPath(file));
        QVERIFY2(library.load(), qPrintable(library.errorString()));
        const auto destroy = reinterpret_cast<DeleteObjectFunction>(library.resolve("_deleteObject"));
        QVERIFY(destroy);
        destroy(1, nullptr);
        library.unload();
    }

    void releaseOfLibraryThatNeverLoaded()
    {
        SensorPlugin plugin;
        QVERIFY(plugin.release());
        QVERIFY(!plugin.bind(binFolder() + "/vugSensorMissing.so"));
        QVERIFY(!plugin.device());
        QVERIFY(plugin.release());
        QVERIFY(!plugin.device());
    }

    void bindRefusesLibraryWithoutFactory()
    {
        SensorPlugin plugin;
        QVERIFY(!plugin.bind(binFolder() + "/libvugSerial.so"));
        QVERIFY(!plugin.device());
    }

    void rebindReleasesTheFormerDevice()
    {
        SensorPlugin plugin;
        QVERIFY(plugin.bind(pluginPath("vugSensorMirel.so")));
        QVERIFY(plugin.bind(pluginPath("vugSensorDemo.so")));
        QCOMPARE(plugin.device()->name("en"), QString("Emulator"));
    }

    void demoVersionRespectsBufferSize()
    {
        SensorPlugin plugin;
        QVERIFY(plugin.bind(pluginPath("vugSensorDemo.so")));
        char out[ISensorBase::VersionSize];
        std::memset(out, 'x', sizeof out);
        QVERIFY(!plugin.device()->version(out, 7));
        QCOMPARE(out[0], 'x');
        QVERIFY(plugin.device()->version(out, 8));
        QCOMPARE(QByteArray(out), QByteArray("1.0.0.0"));
        QCOMPARE(out[8], 'x');
        QVERIFY(!plugin.device()->version(nullptr, 32));
    }

    void silentSerialUnitsClaimNoVersion()
    {
        SensorPlugin plugin;
        QVERIFY(plugin.bind(pluginPath("vugSensorVorkel16.so")));
        char out[ISensorBase::VersionSize] = {};
        QVERIFY(!plugin.device()->version(out, sizeof out));
        QCOMPARE(out[0], '\0');
    }

    // The counter starts at 0 when the library is loaded; a second device continues it.
    void demoFramesFromAFreshLibrary()
    {
        const QVector<QVector<int>> frames = demoFrames({"126"});
        QCOMPARE(frames.size(), 252);
        compareDemoFrame(frames[0], {-400, -331, -409, -858, -504, -620, -666, -693});
        compareDemoFrame(frames[1], {-257, -199, -265, -760, -535, -496, -567, -627});
        compareDemoFrame(frames[249], {-675, -924, -1014, -698, -696, -1091, -634, -623});
        // Step 250 is the first of the slower form; this frame comes from the second device.
        compareDemoFrame(frames[250], {-501, -1006, -934, -645, -682, -1051, -561, -712});
        for (const QVector<int> &frame : frames)
            checkUntouched(frame);
    }

    // Four threads read 10000 frames each at once; not one step of the counter is lost.
    void demoCounterCountsEveryThread()
    {
        const QVector<QVector<int>> frames = demoFrames({"10000", "4"});
        QCOMPARE(frames.size(), 1);
        compareDemoFrame(frames[0], {-226, -174, -234, -736, -547, -461, -536, -601});
    }
};

VUG_TEST_MAIN(TestSensorPlugins, QCoreApplication)
#include "tst_sensorplugins.moc"
