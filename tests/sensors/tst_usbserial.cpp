#include "sensors/serial/EmulatedUnit.h"
#include "sensors/serial/SerialLink.h"
#include "sensors/serial/SerialSensor.h"
#include "sensors/serial/UsbSerial.h"
#include "tests/support/TestHome.h"

#include <QElapsedTimer>
#include <QThread>

#include <memory>

using namespace UsbSerial;

namespace {

// A unit whose handshake never succeeds: open takes a handle and reports failure.
class SilentSensor : public SerialSensor
{
public:
    SilentSensor()
        : SerialSensor({"тест", "test", QUuid(), 0}, AdditionalInput::None, 0)
    {
    }
    bool open(const QString &) override
    {
        m_link.open();
        return false;
    }
};

}  // namespace

// The USB-serial layer against the emulated unit: the blocking read, the handles, the log.
class TestUsbSerial : public QObject
{
    Q_OBJECT

private:
    static QByteArray frameReply() { return QByteArray("ok") + QByteArray(18, '\x5a'); }

    // Opens device 0 with the given read time-out.
    static Handle openWithTimeout(quint32 readTimeoutMs)
    {
        Handle handle = nullptr;
        if (openByIndex(0, &handle) == Ok)
            setTimeouts(handle, readTimeoutMs, 100);
        return handle;
    }

    struct ReadResult
    {
        Status status;
        QByteArray bytes;
        qint64 elapsedMs;
    };

    static ReadResult requestFrame(Handle handle, quint32 count)
    {
        quint32 written = 0;
        write(handle, "go__", 4, &written);
        QByteArray buffer(int(count), '\0');
        quint32 received = 0;
        QElapsedTimer clock;
        clock.start();
        const Status status = read(handle, buffer.data(), count, &received);
        return {status, buffer.left(int(received)), clock.elapsed()};
    }

private slots:
    // What one blocking read of a 20-byte frame gets, and when it returns.
    void blockingRead_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<quint32>("timeoutMs");
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<int>("atLeastMs");
        QTest::addColumn<int>("underMs");

        const QByteArray frame = frameReply();
        QTest::newRow("full reply at once") << frame << 0 << 2000u << frame << 0 << 1000;
        QTest::newRow("reply within the time-out") << frame << 150 << 2000u << frame << 140 << 1500;
        QTest::newRow("short reply") << frame.left(12) << 0 << 250u << frame.left(12) << 240 << 2000;
        QTest::newRow("silence") << QByteArray() << 0 << 250u << QByteArray() << 240 << 2000;
        QTest::newRow("no time-out takes what is there") << frame << 500 << 0u << QByteArray() << 0 << 400;
    }

    void blockingRead()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, delayMs);
        QFETCH(quint32, timeoutMs);
        QFETCH(QByteArray, received);
        QFETCH(int, atLeastMs);
        QFETCH(int, underMs);

        EmulatedUnit unit;
        unit.answer("go__", reply, delayMs);
        const Handle handle = openWithTimeout(timeoutMs);
        QVERIFY(handle);
        const ReadResult result = requestFrame(handle, 20);
        QCOMPARE(result.status, Ok);
        QCOMPARE(result.bytes, received);
        QVERIFY2(result.elapsedMs >= atLeastMs && result.elapsedMs < underMs,
                 qPrintable(QString::number(result.elapsedMs)));
        QCOMPARE(unit.calls().last(), QString("read 20 -> %1").arg(received.size()));
        close(handle);
    }

    // A reply that stalls past the time-out is still on its way: the next read gets it, a purge drops it.
    void stalledReplyArrivesLate()
    {
        EmulatedUnit unit;
        unit.answer("go__", frameReply(), 400);
        const Handle handle = openWithTimeout(100);
        QVERIFY(requestFrame(handle, 20).bytes.isEmpty());
        QThread::msleep(400);
        QByteArray late(20, '\0');
        quint32 received = 0;
        QCOMPARE(read(handle, late.data(), 20, &received), Ok);
        QCOMPARE(received, 20u);
        QCOMPARE(late, frameReply());

        QVERIFY(requestFrame(handle, 20).bytes.isEmpty());
        QThread::msleep(400);
        QCOMPARE(purge(handle, PurgeRx | PurgeTx), Ok);
        QCOMPARE(read(handle, late.data(), 20, &received), Ok);
        QCOMPARE(received, 0u);
        close(handle);
    }

    void repliesAreUsedInOrderAndTheLastRepeats()
    {
        EmulatedUnit unit;
        unit.answer("vers", "first");
        unit.answer("vers", "again");
        unit.answerOthers("ack!");
        const Handle handle = openWithTimeout(100);
        QByteArray replies;
        for (const char *command : {"vers", "vers", "vers", "u0\x30\xff"}) {
            quint32 written = 0;
            write(handle, command, 4, &written);
            QByteArray buffer(5, '\0');
            quint32 received = 0;
            read(handle, buffer.data(), 5, &received);
            replies += buffer.left(int(received)) + '|';
        }
        QCOMPARE(replies, QByteArray("first|again|again|ack!|"));
        close(handle);
    }

    void logsEveryCallAndEveryByte()
    {
        EmulatedUnit unit;
        quint32 count = 9;
        QCOMPARE(countDevices(&count, nullptr, ListNumberOnly), Ok);
        QCOMPARE(count, 1u);
        Handle handle = nullptr;
        QCOMPARE(openByIndex(0, &handle), Ok);
        resetDevice(handle);
        furtherCall(handle);
        setTimeouts(handle, 100, 100);
        setBaudRate(handle, 115200);
        setDataCharacteristics(handle, Bits8, StopBits1, ParityNone);
        purge(handle, PurgeRx | PurgeTx);
        const char gain[] = {'u', '2', '0', char(0xff)};
        quint32 written = 0;
        QCOMPARE(write(handle, gain, 4, &written), Ok);
        QCOMPARE(written, 4u);
        const char sentakFrame[] = {char(0xaa), 0x10};
        write(handle, sentakFrame, 2, &written);
        QCOMPARE(written, 2u);
        char buffer[4];
        quint32 received = 0;
        read(handle, buffer, 4, &received);
        close(handle);

        QCOMPARE(unit.calls(),
                 QStringList({"countDevices", "open 0", "resetDevice", "furtherCall", "setTimeouts 100 100",
                              "setBaudRate 115200", "setDataCharacteristics 8 0 0", "purge 3", "write 753230ff",
                              "write aa10", "read 4 -> 0", "close"}));
        QCOMPARE(unit.commands(), QList<QByteArray>({QByteArray(gain, 4), QByteArray(sentakFrame, 2)}));
        QCOMPARE(unit.written(), QByteArray(gain, 4) + QByteArray(sentakFrame, 2));
        unit.clearLog();
        QVERIFY(unit.calls().isEmpty());
        QVERIFY(unit.written().isEmpty());
    }

    void oneHandleAtATimeAndStaleHandlesAreRefused()
    {
        EmulatedUnit unit;
        Handle first = nullptr;
        QCOMPARE(openByIndex(0, &first), Ok);
        QVERIFY(unit.isOpen());
        Handle second = reinterpret_cast<Handle>(0x1);
        QCOMPARE(openByIndex(0, &second), DeviceNotOpened);
        QVERIFY(!second);
        QCOMPARE(close(first), Ok);
        QVERIFY(!unit.isOpen());

        char byte = 0;
        quint32 count = 7;
        QCOMPARE(close(first), InvalidHandle);
        QCOMPARE(read(first, &byte, 1, &count), InvalidHandle);
        QCOMPARE(count, 0u);
        count = 7;
        QCOMPARE(write(first, &byte, 1, &count), InvalidHandle);
        QCOMPARE(count, 0u);
        QCOMPARE(setTimeouts(nullptr, 1, 1), InvalidHandle);
        QCOMPARE(setBaudRate(&byte, 9600), InvalidHandle);
        QCOMPARE(openByIndex(0, nullptr), InvalidParameter);

        Handle again = nullptr;
        QCOMPARE(openByIndex(0, &again), Ok);
        close(again);
    }

    void absentUnitAndOtherIndexAreNotFound()
    {
        EmulatedUnit unit;
        Handle handle = nullptr;
        QCOMPARE(openByIndex(1, &handle), DeviceNotFound);
        QVERIFY(!handle);
        unit.setPresent(false);
        QCOMPARE(openByIndex(0, &handle), DeviceNotFound);
        QVERIFY(!handle);
        quint32 count = 5;
        QCOMPARE(countDevices(&count, nullptr, ListNumberOnly), Ok);
        QCOMPARE(count, 0u);
        QCOMPARE(countDevices(&count, nullptr, 0), InvalidParameter);
    }

    void failingWriteSendsNothing()
    {
        EmulatedUnit unit;
        unit.answer("go__", frameReply());
        unit.setWritesFail(true);
        const Handle handle = openWithTimeout(50);
        const ReadResult result = requestFrame(handle, 20);
        QVERIFY(result.bytes.isEmpty());
        QVERIFY(unit.written().isEmpty());
        quint32 written = 9;
        QCOMPARE(write(handle, "go__", 4, &written), IoError);
        QCOMPARE(written, 0u);
        close(handle);
    }

    // A device that failed its handshake and is destroyed, or opened again, leaves no handle behind.
    void linkNeverLeavesAHandleBehind()
    {
        EmulatedUnit unit;
        {
            SerialLink abandoned;
            QVERIFY(abandoned.open());
        }
        QVERIFY(!unit.isOpen());

        SerialLink link;
        QVERIFY(link.open());
        unit.clearLog();
        QVERIFY(link.open());
        QCOMPARE(unit.calls(), QStringList({"close", "open 0"}));
        link.close();
        QVERIFY(!link.isOpen());
        QVERIFY(!unit.isOpen());

        unit.setPresent(false);
        QVERIFY(!link.open());
        QVERIFY(!link.handle());
    }

    // The next user can open the unit although the device before failed its open and was never closed.
    void failedDeviceLeavesNoHandle()
    {
        EmulatedUnit unit;
        auto device = std::make_unique<SilentSensor>();
        QVERIFY(!device->open(QString()));
        QVERIFY(!device->open(QString()));
        QVERIFY(unit.isOpen());
        QCOMPARE(unit.calls(), QStringList({"open 0", "close", "open 0"}));
        device.reset();
        QVERIFY(!unit.isOpen());
        SilentSensor next;
        next.open(QString());
        QVERIFY(unit.isOpen());
        QVERIFY(next.close());
        QVERIFY(!unit.isOpen());
    }

    // With no emulated unit the real backend answers at once, never hangs.
    void realBackendWithoutUnitCannotOpen()
    {
        quint32 count = 0;
        countDevices(&count, nullptr, ListNumberOnly);
        if (count > 0)
            QSKIP("an FTDI unit is attached to this machine");
        Handle handle = nullptr;
        QVERIFY(openByIndex(0, &handle) != Ok);
        QVERIFY(!handle);
    }
};

VUG_TEST_MAIN(TestUsbSerial, QCoreApplication)
#include "tst_usbserial.moc"
