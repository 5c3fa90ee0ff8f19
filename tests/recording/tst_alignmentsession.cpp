#include "AlignmentUnits.h"
#include "recording/AlignmentSession.h"
#include "sensors/serial/UnitCommand.h"
#include "tests/support/TestHome.h"

#include <QtTest>

using namespace AlignmentUnits;
using namespace CommandUnits;

// The alignment against emulated units behind the real plug-ins, frame by frame.
class TestAlignmentSession : public QObject
{
    Q_OBJECT

private:
    static QByteArray bytes(const UnitCommand &command) { return QByteArray(command.data(), UnitCommand::Size); }

    static QList<QByteArray> adjustments(const EmulatedUnit &unit)
    {
        QList<QByteArray> found;
        for (const QByteArray &command : unit.commands()) {
            if (command.startsWith('u') || command.startsWith('b'))
                found << command;
        }
        return found;
    }

    static void storeCalibration(const QUuid &type, int code, int gain, int shift, bool inverse)
    {
        DefChannel definitions;
        definitions.loadCalibration(type);
        Inspection::_Channel *record = definitions.findByCode(code);
        record->ADT = gain;
        record->ShiftADT = shift;
        *record->Inverse = inverse;
        definitions.saveCalibration(type);
    }

    static int storedGain(const QUuid &type, int code)
    {
        DefChannel definitions;
        definitions.loadCalibration(type);
        return int(definitions.findByCode(code)->ADT);
    }

private slots:
    // The unit receives the stored shift as a recording sends it, inverted or not.
    void oneSignRuleForTheShift()
    {
        storeCalibration(vorkel16, 0, 5, 300, true);
        EmulatedUnit unit;
        answerFrames(unit, "vugSensorVorkel16.so");
        AlignmentSession session(100);
        QCOMPARE(session.start(pluginPath("vugSensorVorkel16.so")), QString());
        QCOMPARE(session.unitType(), vorkel16);
        const char gsr = UnitCommand::channelLetter(UnitCommand::Letters::Vorkel, 0);
        const QList<QByteArray> setUp = adjustments(unit);
        QVERIFY(setUp.contains(bytes(UnitCommand::shift(gsr, 300))));
        QVERIFY(setUp.contains(bytes(UnitCommand::gain(gsr, 5))));
        QVERIFY(!setUp.contains(bytes(UnitCommand::shift(gsr, -300))));

        const QVector<int> listed = session.listedCodes();
        QVERIFY(listed.contains(0));
        for (int code : listed)
            QVERIFY(QVector<int>({0, 2, 3, 4, 7, 9}).contains(code));

        int gain = 0, shift = 0;
        bool inverse = false;
        session.setCurrentChannel(0, &gain, &shift, &inverse);
        QCOMPARE(gain, 5);
        QCOMPARE(shift, 300);
        QVERIFY(inverse);

        unit.clearLog();
        session.setInverse(false);
        session.setInverse(true);
        QVERIFY(session.readFrame(0));
        session.sendChanges(0);
        QCOMPARE(adjustments(unit), QList<QByteArray>());

        session.setShift(-200);
        session.setGain(7);
        QVERIFY(session.readFrame(1));
        session.sendChanges(0);
        QCOMPARE(adjustments(unit), (QList<QByteArray>{bytes(UnitCommand::gain(gsr, 7)),
                                                       bytes(UnitCommand::shift(gsr, -200))}));
        DefChannel display;
        QVERIFY(!*display.findByCode(0)->Amp2);
        QVERIFY(*display.findByCode(0)->Inverse);

        session.saveChannels();
        QCOMPARE(storedShift(vorkel16, 0), -200);
        QCOMPARE(storedGain(vorkel16, 0), 7);
        session.finish();
        QVERIFY(!unit.isOpen());
    }

    void calibrationBelongsToTheAttachedUnit()
    {
        const int vorkelBefore = storedShift(vorkel16, 2);
        storeCalibration(mirel16, 2, 3, 111, false);
        EmulatedUnit unit;
        answerFrames(unit, "vugSensorMirel16.so");
        AlignmentSession session(100);
        QCOMPARE(session.start(pluginPath("vugSensorMirel16.so")), QString());
        int gain = 0, shift = 0;
        bool inverse = true;
        session.setCurrentChannel(2, &gain, &shift, &inverse);
        QCOMPARE(shift, 111);
        session.setShift(222);
        session.saveChannels();
        QCOMPARE(storedShift(mirel16, 2), 222);
        QCOMPARE(storedGain(mirel16, 2), 3);
        QCOMPARE(storedShift(vorkel16, 2), vorkelBefore);
    }

    void defaultsOfTheUnitsFamilyUnnegated()
    {
        Inspection::_Channel record;
        record.Kod = 2;
        const int defaultShift = applyChannelDefaults(mirel16, &record);
        int gain = -1, shift = -1;
        AlignmentSession::defaultsFor(mirel16, 2, &gain, &shift);
        QCOMPARE(shift, defaultShift);
        QCOMPARE(gain, int(record.ADT));
    }

    void unitsThatCannotBeAligned()
    {
        {
            AlignmentSession session(10);
            QCOMPARE(session.start(pluginPath("vugSensorNone.so")), QStringLiteral("Error create device"));
        }
        {
            EmulatedUnit unit;
            unit.setPresent(false);
            AlignmentSession session(10);
            QCOMPARE(session.start(pluginPath("vugSensorVorkel16.so")), QStringLiteral("Error open device"));
        }
        EmulatedUnit unit;
        answerFrames(unit, "vugSensorVorkel.so");
        AlignmentSession session(10);
        QCOMPARE(session.start(pluginPath("vugSensorVorkel.so")),
                 QStringLiteral("Поддерживается только для приборов от 14 бит и выше"));
        QVERIFY(!unit.isOpen());
        QVERIFY(session.listedCodes().isEmpty());
        QVERIFY(!session.readFrame(0));
        SensorPlugin again;
        QVERIFY(again.bind(pluginPath("vugSensorVorkel.so")));
        QVERIFY(again.device()->open(QString()));
        again.device()->close();
    }

    void silentUnitEndsTheReading()
    {
        EmulatedUnit unit;
        unit.answerOthers("ack!");
        unit.answer("go__", centreFrame("vugSensorVorkel16.so"));
        AlignmentSession session(10);
        QCOMPARE(session.start(pluginPath("vugSensorVorkel16.so")), QString());
        QVERIFY(session.readFrame(0));
        unit.answer("go__", QByteArray());
        unit.clearLog();
        bool read = true;
        for (int n = 1; n < 4 && read; ++n)
            read = session.readFrame(n);
        QVERIFY(!read);
    }
};

VUG_TEST_MAIN(TestAlignmentSession, QCoreApplication)
#include "tst_alignmentsession.moc"
