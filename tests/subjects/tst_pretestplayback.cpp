#include "PreTestFolder.h"
#include "recording/media/SoundOutput.h"
#include "subjects/PreTestConversationDlg.h"
#include "tests/support/BadVideos.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QTimer>
#include <QAudioDeviceInfo>
#include <QLabel>
#include <QListView>
#include <QMediaPlaylist>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QVideoWidget>

// Real playback of the dialog on the virtual X server, sound into a fake sink.
class TestPreTestPlayback : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void recordingsPlayOneAfterAnother();
    void previousNextAndSeek();
    void unplayableFileIsToldOnce_data();
    void unplayableFileIsToldOnce();
    void playsWithoutASoundOutput();

private:
    int seconds() const { return int(dialog->player->position() / 1000); }

    std::unique_ptr<PreTestFolder> folder;
    std::unique_ptr<PreTestConversationDlg> dialog;
};

void TestPreTestPlayback::init()
{
    folder = std::make_unique<PreTestFolder>();
    folder->put(QStringLiteral("Иван.07122026143005.avi"), VUG_SHORT_VIDEO);
    folder->put(QStringLiteral("Иван.08122026100000.avi"), VUG_LONG_VIDEO);
}

void TestPreTestPlayback::cleanup() { dialog.reset(); }

void TestPreTestPlayback::recordingsPlayOneAfterAnother()
{
    dialog = std::make_unique<PreTestConversationDlg>(&folder->inspection, nullptr);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    QVERIFY(dialog->placeholder->isVisible());
    dialog->jump(dialog->playlistView->model()->index(0, 0));
    QTRY_COMPARE(dialog->player->state(), QMediaPlayer::PlayingState);
    QVERIFY(dialog->videoWidget->isVisible());
    QVERIFY(!dialog->placeholder->isVisible());
    QVERIFY(!dialog->deleteButton->isEnabled());
    QTRY_VERIFY(dialog->statusLabel->text().startsWith(QStringLiteral("Время (сек.): ")));
    QVERIFY(dialog->player->notifyInterval() <= 250);  // the seconds keep up with the picture
    // The short one ends and the next follows on its own.
    QTRY_COMPARE_WITH_TIMEOUT(dialog->playlist->currentIndex(), 1, 10000);
    QCOMPARE(dialog->playlistView->currentIndex().row(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(seconds() >= 1, 5000);
    QVERIFY(dialog->positionSlider->maximum() >= 7);

    // Paused, so the position holds still while the status line is compared.
    dialog->play();
    QTRY_COMPARE(dialog->player->state(), QMediaPlayer::PausedState);
    // The tests' sound goes into a fake sink, as on a machine without a sound output: the status line says so.
    QTRY_COMPARE(dialog->statusLabel->text(),
                 QStringLiteral("Время (сек.): %1   (%2)").arg(seconds()).arg(SoundOutput::silentNote()));
    QVERIFY(dialog->stopButton->isEnabled());
    dialog->stopButton->click();
    QTRY_COMPARE(dialog->player->state(), QMediaPlayer::StoppedState);
    QVERIFY(dialog->deleteButton->isEnabled());
    QVERIFY(dialog->placeholder->isVisible());
}

void TestPreTestPlayback::previousNextAndSeek()
{
    dialog = std::make_unique<PreTestConversationDlg>(&folder->inspection, nullptr);
    dialog->show();
    dialog->jump(dialog->playlistView->model()->index(1, 0));
    QTRY_COMPARE(dialog->player->state(), QMediaPlayer::PlayingState);
    QTRY_VERIFY(dialog->player->isSeekable());

    // Seeking by the slider, then previous beyond 5 s restarts the item.
    dialog->positionSlider->setSliderPosition(6);
    emit dialog->positionSlider->sliderMoved(6);
    QTRY_VERIFY(dialog->player->position() >= 6000);
    dialog->previousButton->click();
    QTRY_VERIFY(dialog->player->position() < 2000);
    QCOMPARE(dialog->playlist->currentIndex(), 1);

    // Within 5 s it goes back to the item before.
    dialog->previousButton->click();
    QTRY_COMPARE(dialog->playlist->currentIndex(), 0);
    dialog->nextButton->click();
    QTRY_COMPARE(dialog->playlist->currentIndex(), 1);
    QTRY_COMPARE(dialog->player->state(), QMediaPlayer::PlayingState);
}

void TestPreTestPlayback::unplayableFileIsToldOnce_data()
{
    QTest::addColumn<QString>("kind");
    // A FIFO is no file the list shows: it never reaches the player.
    for (const char *kind : {"link to a device", "empty", "sparse 2 GB", "other format", "absurd header", "truncated"})
        QTest::newRow(kind) << kind;
}

void TestPreTestPlayback::unplayableFileIsToldOnce()
{
    QFETCH(QString, kind);
    PreTestFolder damaged;
    QVERIFY(makeBadVideo(kind, damaged.media("Иван.09122026100000.avi"), VUG_LONG_VIDEO));
    dialog = std::make_unique<PreTestConversationDlg>(&damaged.inspection, nullptr);
    dialog->show();
    QStringList told;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
        const QString text = dialog->statusLabel->text();
        if (text.startsWith("Видеозапись теста не воспроизводится: ") && !told.contains(text))
            told << text;
    });
    watch.start(10);
    dialog->playButton->click();
    if (kind == "truncated")
        QTRY_VERIFY_WITH_TIMEOUT(seconds() >= 1, 10000);
    else
        QTRY_COMPARE_WITH_TIMEOUT(told.size(), 1, 10000);
    QTest::qWait(1000);
    QCOMPARE(told.size(), kind == "truncated" ? 0 : 1);
}

// No sink chosen and no output device: the player picks a silent sink that
// keeps the system clock, plays the video and says so.
void TestPreTestPlayback::playsWithoutASoundOutput()
{
    if (!QAudioDeviceInfo::defaultOutputDevice().isNull())
        QSKIP("This machine has a sound output.");
    const QByteArray chosen = qgetenv("QT_GSTREAMER_PLAYBIN_AUDIOSINK");
    qunsetenv("QT_GSTREAMER_PLAYBIN_AUDIOSINK");
    dialog = std::make_unique<PreTestConversationDlg>(&folder->inspection, nullptr);
    qputenv("QT_GSTREAMER_PLAYBIN_AUDIOSINK", chosen);
    dialog->show();
    dialog->jump(dialog->playlistView->model()->index(1, 0));
    QTRY_VERIFY_WITH_TIMEOUT(seconds() >= 1, 5000);
    QVERIFY(dialog->statusLabel->text().endsWith(SoundOutput::silentNote() + QLatin1Char(')')));
}

VUG_TEST_MAIN(TestPreTestPlayback, QApplication)
#include "tst_pretestplayback.moc"
