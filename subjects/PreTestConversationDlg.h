#pragma once

#include <QDialog>
#include <QMediaPlayer>
#include <QStyle>

class Inspection;
class QComboBox;
class QLabel;
class QListView;
class QMediaPlaylist;
class QPushButton;
class QSlider;
class QToolButton;
class QVBoxLayout;
class QVideoWidget;
class VideoTrouble;
class _PlaylistModel_PreTestCanversationDockWindow;

// Plays a subject's pre-test conversation videos one after another and
// deletes a recording after a question.
class PreTestConversationDlg : public QDialog
{
    Q_OBJECT
    // Decided before the player is made: it takes its sound sink then.
    const bool m_silent;

public:
    PreTestConversationDlg(Inspection *inspection, QWidget *parent);
    ~PreTestConversationDlg() override;

    void loadPlaylist();
    void updateVideoVisibility();

    QMediaPlayer *player;
    QMediaPlaylist *playlist;
    QVideoWidget *videoWidget;
    QLabel *placeholder;
    QPushButton *playButton;
    QToolButton *stopButton;
    QToolButton *previousButton;
    QToolButton *nextButton;
    QToolButton *muteButton;
    QSlider *volumeSlider;
    QComboBox *speedCombo;
    QSlider *positionSlider;
    QLabel *statusLabel;
    QListView *playlistView;
    QPushButton *deleteButton;

public slots:
    void previousClicked();
    void mediaStateChanged(QMediaPlayer::State state);
    void positionChanged(qint64 position);
    void durationChanged(qint64 duration);
    void handleError(const QString &text);
    void playlistPositionChanged(int row);
    void seek(int seconds);
    void jump(const QModelIndex &index);
    void stopRecord(bool bRefresh);
    void onPlayList_Delete();
    void muteClicked();
    void updateRate();
    void accept() override;
    void reject() override;
    void setState(QMediaPlayer::State state);
    void setMuted(bool muted);
    void play();

private:
    QLayout *buildVideoRow();
    QLayout *buildControlRow();
    QToolButton *mediaButton(QStyle::StandardPixmap icon);
    void connectPlayer();
    // Gives the player the playlist's current file once it is checked; a
    // player that was playing goes on with it.
    void loadCurrent();
    void playNextAtEnd(QMediaPlayer::MediaStatus status);

    Inspection *m_inspection;
    _PlaylistModel_PreTestCanversationDockWindow *m_model;
    VideoTrouble *m_trouble;
    QVBoxLayout *m_videoArea = nullptr;
    int m_lastState = QMediaPlayer::StoppedState;
    bool m_muted = false;
    qint64 m_duration = 0;
    bool m_errorShown = false;
};
