#pragma once

#include <QTimer>
#include <QVideoWidget>

class QMediaPlayer;

// The short video shown on top while the program starts. It closes at the end
// of the video, on any playback error, or after MaxShowMs at the latest, and
// never keeps the program running once the main window has closed.
class SplashPlayer : public QVideoWidget
{
    Q_OBJECT

public:
    static constexpr int MaxShowMs = 15000;

    // Made before any other media object of the program: keeps GStreamer's
    // display-device probe out of the process.
    explicit SplashPlayer(QWidget *parent = nullptr);
    ~SplashPlayer() override;

    // Plays the video beside the program; without it nothing is shown.
    void play();
    void play(const QString &path);

    static QString videoPath();
    // 16:9, a quarter of the screen width high.
    static QSize sizeForScreen(const QSize &screen);

public slots:
    void positionChanged(qlonglong progress);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    void finish();

    QMediaPlayer *m_player = nullptr;
    QTimer m_limit;
};
