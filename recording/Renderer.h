#pragma once

#include "LivePicture.h"
#include "RenderSurface.h"
#include "data/GenericSettings.h"
#include "data/Inspection.h"

#include <QImage>
#include <QMutex>
#include <QObject>
#include <QPicture>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>
#include <QWaitCondition>

#include <atomic>
#include <functional>
#include <memory>

class DefChannel;
class QOpenGLContext;
class QOpenGLPaintDevice;
class QPainter;
class QPixmap;
class SensorReader;
class _QSecondMonitor;
class drawG;
class drawPanelG;

// Draws the live polygram of a recording or playback on its surface (the
// record window) from its own thread, one round per new position of the
// sensor reader, showing only what changed, and
// turns the examiner's keys (on the GUI thread) into marks and channel
// adjustments.
class Renderer : public QObject
{
    Q_OBJECT
public:
    static constexpr int UpdateInterval = 50;
    static constexpr int FirstDrawnPosition = 2;
    static constexpr int LeastWidth = 100;
    static constexpr int LeastMarkLength = 10;
    static constexpr int PulseEvery = 11;

    // What the panels see of the mouse and keyboard during one round.
    struct FrameInput {
        QPoint cursor;
        bool pressed = false;
        Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    };

    // markLock guards the test's mark lists and channel records; null: the renderer's own.
    Renderer(RenderSurface *surface, Inspection *inspection, Inspection::_Test *test, SensorReader *reader,
             QMutex *markLock = nullptr);
    ~Renderer() override;

    // Ends the loop at its next check; the caller releases the reader's wait.
    void requestStop();
    // Set on the GUI thread, read by the render thread once a round.
    int sweep() const { return sweepMs; }
    void setSweep(int ms) { sweepMs = ms; }
    void setVerticalPosition(int value) { verticalPosition = value; }
    int selectedChannel() const { return m_selectedChannel; }
    void setSelectedChannel(int code) { m_selectedChannel = code; }
    // Non-zero while the examiner adjusts the selected channel.
    int channelSelected() const { return m_channelSelected; }
    void setChannelSelected(int on) { m_channelSelected = on; }
    // While the scroll bar's slider is held the view stays where it was put.
    void setSliderPressed(bool pressed) { sliderPressed = pressed; }
    QMutex &markLock() { return *mutex; }
    // Every sub-frame draws the polygram afresh and shows the whole frame.
    void setWholeFrames(bool on) { wholeFrames = on; }  // tests
    GenericSettings &viewSettings() { return settings; }  // tests
    // The examinee's screen; null when the test shows nothing there.
    _QSecondMonitor *secondMonitorView() const { return secondMonitor; }
    // Called after each sub-frame with the drawn position and the sub-frame's index; before the loop starts.
    void setSubFrameDrawn(const std::function<void(int position, int subFrame)> &drawn)  // tests
    {
        subFrameDrawn = drawn;
    }

    void keyPress(int key);
    void keyRelease(int key);
    int channelAtPoint(QPoint p);
    // The window's area between the caption strips, where the curves are drawn.
    QRect plotArea() const;
    void setViewPosition(int position) { viewPosition = position; }
    // The live view gives the magnifier no picture.
    void drawZoom(QPoint, QPixmap &) {}

    // The text panel's question at drawn position d; the caller holds the mark lock.
    QString updateCurrentQuestion(int d);

    // Makes and drops the painters the frame content draws with.
    void prepareDrawing();
    void finishDrawing();
    // Copies the sweep and the vertical position into the painter, once a round.
    void takeViewSettings();
    // Draws and shows what changed of one sub-frame on the surface: through
    // the context on the OpenGL path, handed to the surface's raster
    // presentation without one. False when the context cannot be made current there.
    bool drawSubFrame(QOpenGLContext *context, int d, float offset, const FrameInput &input);
    // One sub-frame's content over any painter, the area being size.
    void drawFrame(QPainter &painter, const QSize &size, int d, float offset, const FrameInput &input);

    // The pulse readout's last values, shared by every recording of the run.
    static QVector<int> &pulseHistory();

signals:
    void finished();
    void updateUI(int ipos);
    // A key of the examiner's did nothing; why, for the recording screen to tell.
    void refused(const QString &reason);
    // A mark was made or removed by a key, on the GUI thread.
    void labelsChanged();
    // A playback's position held by the slider: the reader is moved there,
    // within the recorded length, on the GUI thread.
    void seekRequested(int position);

public slots:
    void onExecute();
    void onQuit() {}

private:
    std::function<void(int position, int subFrame)> subFrameDrawn;
    RenderSurface *surface;
    Inspection *inspection;
    Inspection::_Test *test;
    SensorReader *reader;
    std::atomic<bool> stopRequested{false};
    std::atomic<int> sweepMs{1000};
    std::atomic<int> m_selectedChannel{-1};
    std::atomic<int> m_channelSelected{0};
    std::atomic<int> verticalPosition{0};
    std::atomic<bool> sliderPressed{false};
    std::atomic<int> viewPosition{0};
    // The benchmark's baseline.
    std::atomic<bool> wholeFrames{false};
    GenericSettings settings;
    QMutex ownMarkLock;
    QMutex *mutex;
    _QSecondMonitor *secondMonitor = nullptr;

    void presentNextQuestion();
    void openAnswerMark(const InspectionLabel &latest, int p);
    void showOnSecondMonitor(const InspectionOrder &entry);
    void closeMark(int p);
    void adjustChannel(int key, Qt::KeyboardModifiers modifiers);
    bool holdsTest() const;
    QString questionText(int planIndex) const;

    int drawnPosition();
    void drawRound(QOpenGLContext *context, int d, const FrameInput &input);
    void sleepUntil(int deadlineMs);
    FrameInput readInput() const;

    // The camera panel of one position: the frame it shows, where and how.
    struct CameraShot {
        QByteArray pixels;
        quint64 serial = 0;
        QRect rect;
        // What it paints over.
        QRect bounds;
        bool hot = false;
        int level = 0;
        bool looksAs(const CameraShot &other) const
        {
            return serial == other.serial && rect == other.rect && hot == other.hot && level == other.level;
        }
    };

    // One panel as a recorded drawing, to be compared with the one shown
    // last, and as an image once it is needed.
    struct Layer {
        QPicture drawing;
        QRect bounds;
        QImage image;
    };
    struct Layers {
        QVector<Layer> layers;
        // The camera picture and the screen grab come before this layer.
        int belowImages = 0;
        // The screen grab changes every round: the frame is shown whole.
        bool images = false;
        CameraShot camera;
        // The position and pause they were drawn at.
        int position = -1;
        bool paused = false;
        // Where the polygram's content lay, and the frame's size.
        qint64 origin = 0;
        QSize size;
        bool valid = false;
    };

    FrameChange drawChanges(const QSize &size, int d, float offset, const FrameInput &input, bool inPieces);
    Layers recordLayers(const QRect &area, int d, const FrameInput &input);
    void composeFrame(QPainter &frame, const QRect &area, const QRect &piece, float offset, const FrameInput &input,
                      Layers &layers);
    void drawPolygram(QPainter &painter, const QRect &area, int d, float offset);
    // The panels below the pictures, or the error banner; each step draws one.
    void drawOverlay(QPainter &painter, const QRect &area, int d, const FrameInput &input);
    QVector<std::function<void(QPainter &)>> overlaySteps(const QRect &area, int d, const FrameInput &input);
    bool showsSecondMonitor() const;
    // Places the camera panel; a null rect without a frame.
    CameraShot takeCamera(const FrameInput &input);
    void drawImagePanels(QPainter &painter, const FrameInput &input, const CameraShot &camera);
    bool drawsPanels() const;
    void drawReadouts(QPainter &painter, int d, const FrameInput &input);
    void drawCountdown(QPainter &painter, const QRect &area, int d, const FrameInput &input);
    void drawErrorBanner(QPainter &painter, const QSize &size);
    void drawAdjustment(QPainter &painter, QRect area, int d, float offset, const FrameInput &input);
    int sampleBefore(int code, int d) const;

    std::unique_ptr<QOpenGLPaintDevice> paintDevice;
    LivePicture picture;
    Layers m_shown;
    std::unique_ptr<drawG> painter;
    std::unique_ptr<drawPanelG> panels;
    // Built when the adjustment display opens, dropped when it closes.
    std::unique_ptr<DefChannel> setupTable;
    int blinkCounter = 0;
    QMutex pacingMutex;
    QWaitCondition pacing;
};
