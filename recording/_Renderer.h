#pragma once

#include "AlignmentSession.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QOpenGLFunctions>

#include <atomic>

class QOpenGLContext;
class QStandardItemModel;
class QWindow;
class drawG;

// The channel alignment's worker: on its own thread and OpenGL context it reads
// the unit every 50 ms and draws the current channel's baseline and deviation.
class _Renderer : public QObject, protected QOpenGLFunctions
{
    Q_OBJECT
public:
    static constexpr int FrameLimit = 72000;  // one hour of frames
    static constexpr int FrameMs = 50;

    // pluginFolder empty: the program folder.
    explicit _Renderer(QWindow *surface, int frameLimit = FrameLimit, const QString &pluginFolder = QString());

    // Called from the dialog's thread.
    void setCurrentChannel(int code, int *gain, int *shift, bool *inverse);
    void setGain(int value) { m_session.setGain(value); }
    void setShift(int value) { m_session.setShift(value); }
    void setInverse(bool inverse) { m_session.setInverse(inverse); }
    void requestStop() { m_stop = true; }
    void saveChannels() { m_session.saveChannels(); }
    // Valid once the channel list was announced.
    QUuid unitType() const { return m_session.unitType(); }
    // The channel list this worker announced; null before.
    QStandardItemModel *channelModel() const { return m_model; }
    // Frames read so far in this run.
    int framesRead() const { return m_framesRead; }

signals:
    void finished();
    void error(QString sErr);
    void updatelist(QStandardItemModel *model);

public slots:
    void thread_execute();

private:
    QString pluginPath() const;
    void announceChannels();
    void runFrames(QOpenGLContext *context, drawG &painter);
    void drawFrame(QOpenGLContext *context, drawG &painter, int code, int n);
    void drawHalf(QPainter &painter, drawG &draw, const QRect &area, int code, int n, bool deviation);
    void waitUntil(const QDeadlineTimer &deadline);

    QWindow *m_surface;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_framesRead{0};
    QString m_pluginFolder;
    std::atomic<QStandardItemModel *> m_model{nullptr};
    AlignmentSession m_session;
};
