#pragma once

#include <QDialog>
#include <QImage>

#include <memory>

class QLabel;
class QTimer;
class VideoRecorder;

// "Фото": the live camera picture; on OK the latest frame is the photo.
class PhotoPreViewDlg : public QDialog
{
    Q_OBJECT
public:
    // Frames up to this size are fetched; a larger one is not shown.
    static constexpr int FrameBufferBytes = 10485760;

    explicit PhotoPreViewDlg(QWidget *parent = nullptr);
    ~PhotoPreViewDlg() override;

    // The latest camera frame in RGB32; null until one came.
    QImage image;

public slots:
    void accept() override;
    void onUpdateImage();

private:
    std::unique_ptr<VideoRecorder> m_recorder;
    QLabel *m_preview;
    QTimer *m_timer;
};
