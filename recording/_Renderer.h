#pragma once

#include "AlignmentSession.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QObject>

#include <atomic>

class AlignmentPlot;
class QPainter;
class QStandardItemModel;
class drawG;

// The channel alignment's worker: on its own thread it reads the unit every
// 50 ms and draws the current channel's baseline and deviation into a picture
// for the plot area, which shows it on the dialog's thread.
class _Renderer : public QObject
{
    Q_OBJECT
public:
    static constexpr int FrameLimit = 72000;  // one hour of frames
    static constexpr int FrameMs = 50;

    // pluginFolder empty: the program folder.
    explicit _Renderer(const AlignmentPlot *plot, int frameLimit = FrameLimit, const QString &pluginFolder = QString());

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
    // thread_execute has returned.
    bool hasEnded() const { return m_ended; }

signals:
    void finished();
    void error(QString sErr);
    void updatelist(QStandardItemModel *model);
    void frameDrawn(const QImage &picture);

public slots:
    void thread_execute();

private:
    QString pluginPath() const;
    void announceChannels();
    void runFrames(drawG &painter);
    void drawFrame(drawG &painter, int code, int n);
    void drawHalf(QPainter &painter, drawG &draw, const QRect &area, int code, int n, bool deviation);
    void waitUntil(const QDeadlineTimer &deadline);

    const AlignmentPlot *m_plot;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_framesRead{0};
    std::atomic<bool> m_ended{false};
    QString m_pluginFolder;
    std::atomic<QStandardItemModel *> m_model{nullptr};
    AlignmentSession m_session;
};
