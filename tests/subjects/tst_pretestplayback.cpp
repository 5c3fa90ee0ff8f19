#include "PreTestFolder.h"
#include "recording/media/SoundOutput.h"
#include "subjects/PreTestConversationDlg.h"
#include "tests/support/TestHome.h"

#include <QApplication>
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
    void damagedFileReportsAnError();
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

void TestPreTestPlayback::damagedFileReportsAnError()
{
    PreTestFolder damaged;
    damaged.put(QStringLiteral("Иван.09122026100000.avi"));
    dialog = std::make_unique<PreTestConversationDlg>(&damaged.inspection, nullptr);
    dialog->show();
    dialog->playButton->click();
    QTRY_VERIFY2_WITH_TIMEOUT(dialog->statusLabel->text().startsWith(QStringLiteral("Error: ")),
                              qPrintable(QStringLiteral("status %1, state %2")
                                             .arg(dialog->player->mediaStatus())
                                             .arg(dialog->player->state())),
                              10000);
    QTest::qWait(500);  // whatever the player reports next leaves the error in view
    QVERIFY(dialog->statusLabel->text().startsWith(QStringLiteral("Error: ")));
    QVERIFY(QFile::exists(damaged.media("Иван.09122026100000.avi")));
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
