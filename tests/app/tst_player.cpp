#include "recording/media/Player.h"

#include "tests/support/BadVideos.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/TestHome.h"

#include <QColor>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <vector>

namespace {

QString video(const char *name)
{
    return QStringLiteral(VUG_TEST_MEDIA "/%1.avi").arg(QLatin1String(name));
}

int frameBytes(const Player &player)
{
    return player.takeFrame(nullptr, nullptr, nullptr, 0, nullptr);
}

double frameSeconds(const Player &player)
{
    double seconds = -1;
    player.takeFrame(nullptr, nullptr, nullptr, 0, &seconds);
    return seconds;
}

// Whether the position stood still over half a second, from held on: a pause
// reaches the player's thread however late that thread runs, so it is retried.
bool standsStill(const Player &player, qint64 &held)
{
    held = player.position();
    QTest::qWait(500);
    return qAbs(player.position() - held) < 40;
}

// Qt's complaints about objects used from a thread they do not live on, such
// as "Cannot send events to objects owned by a different thread".
QStringList g_warnings;
void recordWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg && message.contains(QLatin1String("thread"), Qt::CaseInsensitive))
        g_warnings << message;
}

} // namespace

class TestPlayer : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        g_warnings.clear();
        qInstallMessageHandler(recordWarnings);
    }
    void cleanup() { qInstallMessageHandler(nullptr); }

    void noFrameBeforePlayback()
    {
        Player player;
        int width = -1;
        int height = -1;
        double seconds = -1;
        quint32 pixel = 0xabababab;
        QCOMPARE(player.takeFrame(&width, &height, &pixel, sizeof pixel, &seconds), 0);
        QCOMPARE(width, 0);
        QCOMPARE(height, 0);
        QCOMPARE(seconds, 0.0);
        QCOMPARE(pixel, 0xababababu);
    }

    void framesArriveWithTheirPicture()
    {
        Player player;
        player.open(video("short"), 0, {});
        QTRY_VERIFY_WITH_TIMEOUT(frameBytes(player) > 0, 10000);
        std::vector<quint32> pixels(320 * 240);
        int width = 0;
        int height = 0;
        const int bytes = player.takeFrame(&width, &height, pixels.data(), int(pixels.size() * 4), nullptr);
        QCOMPARE(bytes, 320 * 240 * 4);
        QCOMPARE(width, 320);
        QCOMPARE(height, 240);
        // Near the left edge the drawn gradient starts at (20, 40, 140).
        const QColor left = QColor::fromRgb(pixels[20 * 320 + 4]);
        QVERIFY2(qAbs(left.red() - 20) < 30 && qAbs(left.green() - 40) < 30 && qAbs(left.blue() - 140) < 30,
                 qPrintable(left.name()));
        QTRY_VERIFY_WITH_TIMEOUT(frameSeconds(player) > 0.5, 10000);
        QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join('\n')));
    }

    void pauseHoldsAndPlayResumes()
    {
        Player player;
        player.open(video("short"), 0, {});
        QTRY_VERIFY_WITH_TIMEOUT(player.position() > 300, 10000);
        player.setPaused(true);
        qint64 held = 0;
        QTRY_VERIFY_WITH_TIMEOUT(standsStill(player, held), 10000);
        player.setPaused(false);
        QTRY_VERIFY_WITH_TIMEOUT(player.position() > held + 300, 5000);
    }

    void seekMovesPlaybackAndRestartsAStoppedPlayer()
    {
        Player player;
        player.open(video("short"), 0, {});
        QTRY_VERIFY_WITH_TIMEOUT(frameBytes(player) > 0, 10000);
        player.seek(2500);
        QTRY_VERIFY_WITH_TIMEOUT(frameSeconds(player) >= 2.4, 5000);
        QVERIFY(player.position() >= 2400);

        player.stop();
        QTRY_COMPARE_WITH_TIMEOUT(player.position(), qint64(0), 5000);
        player.seek(1000);
        QTRY_VERIFY_WITH_TIMEOUT(player.position() > 1300, 5000);
        QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join('\n')));
    }

    void startPositionPullsTheFirstFramesForward()
    {
        Player player;
        player.open(video("short"), 2000, {});
        // Until playback reaches the start, frames carry time 0.
        QElapsedTimer clock;
        clock.start();
        double seconds = 0;
        while (seconds == 0 && clock.elapsed() < 10000) {
            QTest::qWait(5);
            seconds = frameSeconds(player);
            QVERIFY2(seconds == 0 || seconds >= 1.95, qPrintable(QString::number(seconds)));
        }
        QVERIFY(seconds >= 1.95);
        QVERIFY(player.position() >= 1950);
    }

    void fullHdFrameNeverOverrunsASmallBuffer()
    {
        Player player;
        player.open(video("hd"), 0, {});
        QTRY_VERIFY_WITH_TIMEOUT(frameBytes(player) > 0, 10000);
        const int bytes = 1920 * 1080 * 4;
        std::vector<uchar> buffer(bytes + 64, 0xab);
        int width = 0;
        int height = 0;
        QCOMPARE(player.takeFrame(&width, &height, buffer.data(), bytes - 4, nullptr), bytes);
        QCOMPARE(width, 1920);
        QCOMPARE(height, 1080);
        QVERIFY(std::all_of(buffer.begin(), buffer.end(), [](uchar b) { return b == 0xab; }));

        QCOMPARE(player.takeFrame(&width, &height, buffer.data(), bytes, nullptr), bytes);
        QVERIFY(std::any_of(buffer.begin(), buffer.begin() + bytes, [](uchar b) { return b != 0xab; }));
        QVERIFY(std::all_of(buffer.begin() + bytes, buffer.end(), [](uchar b) { return b == 0xab; }));
    }

    void unplayableVideoIsToldOnceWithoutStoppingTheLoop_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char *kind : {"fifo", "link to a device", "folder", "empty", "sparse 2 GB", "other format",
                                 "absurd header", "truncated"})
            QTest::newRow(kind) << kind;
    }

    void unplayableVideoIsToldOnceWithoutStoppingTheLoop()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath("video.avi");
        QVERIFY(makeBadVideo(kind, path, video("short")));
        const PeakMemory memory;
        // The longest the event loop went unanswered: a blocking open shows here.
        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        QTimer ticks;
        connect(&ticks, &QTimer::timeout, [&] { longestGap = qMax(longestGap, sinceTick.restart()); });
        ticks.start(10);
        sinceTick.start();
        QStringList told;
        Player player;
        player.open(path, 0, [&told](const QString &text) { told << text; });
        if (kind == "truncated")
            QTRY_VERIFY_WITH_TIMEOUT(frameBytes(player) > 0, 10000);
        else
            QTRY_COMPARE_WITH_TIMEOUT(told.size(), 1, 10000);
        QTest::qWait(1000);
        QCOMPARE(told.size(), kind == "truncated" ? 0 : 1);
        QVERIFY(told.isEmpty() || told.first().startsWith("Видеозапись теста не воспроизводится: "));
        QVERIFY2(longestGap < 1000, qPrintable(QString::number(longestGap)));
        QVERIFY(memory.growthBytes() < 64 << 20);
    }

    void otherThreadsSteerThroughThePlayersThread()
    {
        Player player;
        player.open(video("short"), 0, {});
        QTRY_VERIFY_WITH_TIMEOUT(frameBytes(player) > 0, 10000);
        qint64 seenThere = -1;
        QThread *worker = QThread::create([&player, &seenThere] {
            player.seek(2000);
            player.setPaused(true);
            seenThere = player.position();
        });
        worker->start();
        // This thread handles no events meanwhile, so nothing may have reached the player yet.
        QVERIFY(worker->wait(5000));
        delete worker;
        QVERIFY(seenThere >= 0 && seenThere < 1500);
        QVERIFY(player.position() < 1500);
        QTRY_VERIFY_WITH_TIMEOUT(player.position() >= 2000, 5000);
        qint64 held = 0;
        QTRY_VERIFY_WITH_TIMEOUT(standsStill(player, held), 10000);
        QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join('\n')));
    }
};

VUG_TEST_MAIN(TestPlayer, QGuiApplication)
#include "tst_player.moc"
