#include "app/SplashPlayer.h"

#include "tests/support/TestHome.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QTemporaryFile>

namespace {

QString video(const char *name)
{
    return QStringLiteral(VUG_TEST_MEDIA "/%1.avi").arg(QLatin1String(name));
}

} // namespace

class TestSplashPlayer : public QObject
{
    Q_OBJECT

private slots:
    void sizeIsAQuarterOfTheScreenWidthHigh()
    {
        QCOMPARE(SplashPlayer::sizeForScreen(QSize(1920, 1080)), QSize(853, 480));
        QCOMPARE(SplashPlayer::sizeForScreen(QSize(1366, 768)), QSize(606, 341));
        SplashPlayer splash;
        QCOMPARE(splash.size(), SplashPlayer::sizeForScreen(QGuiApplication::primaryScreen()->geometry().size()));
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void withoutTheFileNothingIsShown()
    {
        SplashPlayer splash;
        splash.play(video("missing"));
        QTest::qWait(200);
        QVERIFY(!splash.isVisible());
    }

    void closesAtTheEndOfTheVideoAndIgnoresClicks()
    {
        // Four seconds played at twice the speed.
        SplashPlayer splash;
        splash.play(video("short"));
        QVERIFY(splash.isVisible());
        QTest::qWait(500);
        QTest::mouseClick(&splash, Qt::LeftButton);
        QVERIFY(splash.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!splash.isVisible(), 10000);
    }

    void closesOnAPlaybackError()
    {
        QTemporaryFile notVideo(QDir::tempPath() + QStringLiteral("/XXXXXX.avi"));
        QVERIFY(notVideo.open());
        notVideo.write(QByteArray(4096, 'x'));
        notVideo.flush();
        SplashPlayer splash;
        splash.play(notVideo.fileName());
        QVERIFY(splash.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!splash.isVisible(), 5000);
    }

    void closesAfterTheTimeLimitWhenTheVideoRunsOn()
    {
        // Forty seconds, twenty at twice the speed: longer than the limit.
        SplashPlayer splash;
        QElapsedTimer clock;
        clock.start();
        splash.play(video("long"));
        QTest::qWait(1000);
        QVERIFY(splash.isVisible());
        // Closed by the limit, before the video's own end at twenty seconds.
        QTRY_VERIFY_WITH_TIMEOUT(!splash.isVisible(), SplashPlayer::MaxShowMs + 3000);
        QVERIFY(clock.elapsed() >= SplashPlayer::MaxShowMs - 50);
    }

    void doesNotKeepTheProgramAliveAfterTheMainWindow()
    {
        QWidget mainWindow;
        mainWindow.show();
        SplashPlayer splash;
        splash.play(video("long"));
        QVERIFY(splash.isVisible());
        // The program quits from its event loop when its last window closes.
        QTimer::singleShot(200, &mainWindow, &QWidget::close);
        bool keptAlive = false;
        QTimer::singleShot(5000, qApp, [&keptAlive] {
            keptAlive = true;
            QCoreApplication::exit(1);
        });
        QCoreApplication::exec();
        QVERIFY(!keptAlive);
    }
};

VUG_TEST_MAIN(TestSplashPlayer, QApplication)
#include "tst_splashplayer.moc"
