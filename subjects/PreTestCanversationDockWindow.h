#pragma once

#include <QDateTime>
#include <QDockWidget>
#include <QImage>
#include <QVector>

#include <functional>
#include <memory>

class Inspection;
class QLabel;
class QMenu;
class QTimer;
class TemporaryVideo;
class VideoRecorder;

// "Предтестовая беседа": the subject's photos, or while the pre-test
// conversation is recorded the live picture with its clock. F12 and Ctrl+F12
// start and end speech files while a recording runs.
class PreTestCanversationDockWindow : public QDockWidget
{
    Q_OBJECT
public:
    static constexpr int FrameBufferBytes = 10485760;
    using Clock = std::function<QDateTime()>;

    explicit PreTestCanversationDockWindow(QWidget *parent = nullptr);
    ~PreTestCanversationDockWindow() override;

    void startRecordSpeech();
    void stopRecordSpeech();
    // Ends the recording and names its video from its start.
    void stopRecord();
    // The recording's subject file, or a folder holding it, was renamed from
    // oldPath to newPath: the recording goes on and its video is named after
    // the new place. Other renames change nothing.
    void followRename(const QString &oldPath, const QString &newPath);
    void showPhoto();
    bool isRecording() const { return m_recorder != nullptr; }
    // A speech file is open.
    bool isRecordingSpeech() const;

    // The context menu as it stands now, actions parented to the menu.
    QMenu *createContextMenu();
    // Where the names' times come from; tests set their own.
    void setClock(Clock clock);  // for tests
    QLabel *picture() const { return m_picture; }

public slots:
    void onChangedPersone(QString path, Inspection *inspection);
    void onContextMenu(const QPoint &pos);
    void onStartRecord();
    void onStopRecord();
    void onUpdateImage();
    void onComments();
    void onMMPlayer();
    void onStartRecordSpeech();
    void onStopRecordSpeech();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void showBackground();
    // Stops the recorder and names its video; what went wrong, if anything.
    QString finishRecording();
    // The video under its time-stamped name beside the subject; what went
    // wrong, if anything, naming where it stayed.
    QString placeVideo(TemporaryVideo &video);
    // The subject the running recording belongs to, for its file names.
    std::unique_ptr<Inspection> recordingSubject() const;
    void drawClock(QPixmap &pixmap) const;
    void loadPhotos();

    QLabel *m_picture;
    QTimer *m_timer;
    std::unique_ptr<VideoRecorder> m_recorder;
    std::unique_ptr<TemporaryVideo> m_video;
    qint64 m_videoStartMs = 0;
    qint64 m_speechStartMs = 0;
    QString m_path;
    Inspection *m_inspection = nullptr;
    QDateTime m_recordStart;
    QString m_recordingPath;
    QVector<QImage> m_photos;
    Clock m_clock;
};
