#include "Renderer.h"

#include "RenderSurface.h"
#include "SensorReader.h"
#include "SweepPacing.h"
#include "_QSecondMonitor.h"
#include "data/ChannelBindings.h"
#include "data/ChannelCode.h"
#include "data/DefChannel.h"
#include "data/SignalAnalysis.h"
#include "polygram/InputState.h"
#include "polygram/drawG.h"
#include "polygram/drawPanelG.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLPaintDevice>
#include <QPainter>
#include <QWindow>

#include <climits>
#include <cstring>
#include <numeric>

namespace {
constexpr int PulseEntries = 10;
constexpr int BlinkPeriod = 20;
constexpr int BlinkShown = 10;
constexpr int LastCountedSeconds = 9;
// Antialiased strokes and text reach this far beyond a recorded drawing's bounds.
constexpr int LayerMargin = 3;

bool sameDrawing(const QPicture &a, const QPicture &b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0;
}

QRegion boundsOf(const QPicture &picture)
{
    return picture.isNull() ? QRegion() : QRegion(picture.boundingRect().adjusted(-LayerMargin, -LayerMargin,
                                                                                  LayerMargin, LayerMargin));
}

// Where the drawing changed between what was shown and what is to be shown.
QRegion changeOf(const QPicture &shown, const QPicture &next)
{
    return sameDrawing(shown, next) ? QRegion() : boundsOf(shown) | boundsOf(next);
}
}  // namespace

Renderer::Renderer(RenderSurface *surface, Inspection *inspection, Inspection::_Test *test,
                   SensorReader *reader)
    : surface(surface)
    , inspection(inspection)
    , test(test)
    , reader(reader)
{
    settings.load();
    drawPanelG::setCameraScale(settings.dVideoPanelSize);
    drawPanelG::setSecondMonitorScale(settings.dSecMonPanelSize);
    if (test && (test->countPictureThemes() > 0 || test->ShowAllQuestSecondMonitor))
        secondMonitor = new _QSecondMonitor(nullptr, test, !test->recorded);
}

Renderer::~Renderer()
{
    stopRequested = true;
    delete secondMonitor;
}

QVector<int> &Renderer::pulseHistory()
{
    static QVector<int> history(PulseEntries, 0);
    return history;
}

void Renderer::prepareDrawing()
{
    painter = std::make_unique<drawG>(test, sweepMs);
    if (!settings.bEnableShowTextLabelForRecord)
        painter->options &= ~drawG::Marks;
    panels = std::make_unique<drawPanelG>(test);
    blinkCounter = 0;
    m_shown = Layers();
}

void Renderer::finishDrawing()
{
    setupTable.reset();
    panels.reset();
    painter.reset();
}

void Renderer::onExecute()
{
    // Without a hardware GL the surface presents the frames with the raster engine.
    QWindow *glWindow = surface->glWindow();
    std::unique_ptr<QOpenGLContext> context;
    if (glWindow) {
        context = std::make_unique<QOpenGLContext>();
        context->setFormat(glWindow->requestedFormat());
        context->create();
    }
    prepareDrawing();
    emit updateUI(0);
    while (!stopRequested) {
        // A reader that stopped has no more data: its wait returns at once.
        if (!reader->waitForData() || stopRequested)
            break;
        const int d = drawnPosition();
        if (d < 0)
            continue;
        if (d % UpdateInterval == 0)
            emit updateUI(d);
        if (test && selectedChannel < 0)
            selectedChannel = nextEnabledChannel(*test, -1, 1);
        takeViewSettings();
        drawRound(context.get(), d, readInput());
    }
    if (context && context->makeCurrent(glWindow)) {
        paintDevice.reset();
        context->doneCurrent();
    }
    emit finished();
    finishDrawing();
}

int Renderer::drawnPosition()
{
    int p = reader->position;
    int d = p;
    if (!reader->recordMode && sliderPressed) {
        // The reader keeps the position within the recorded length and moves the video there.
        reader->seek(viewPosition);
        d = p = reader->position;
    } else if (reader->recordMode) {
        if (sliderPressed)
            d = viewPosition;
        else
            viewPosition = p;
    }
    return p < FirstDrawnPosition ? -1 : d;
}

Renderer::FrameInput Renderer::readInput() const
{
    const InputState state = InputState::current();
    FrameInput input;
    input.cursor = surface->fromGlobal(state.cursor);
    input.modifiers = state.modifiers;
    input.pressed = (state.buttons & Qt::LeftButton) && (state.modifiers & Qt::ControlModifier);
    return input;
}

void Renderer::takeViewSettings()
{
    painter->timeScale = sweepMs;
    painter->verticalShift = verticalPosition;
}

void Renderer::drawRound(QOpenGLContext *context, int d, const FrameInput &input)
{
    const SweepPacing row = SweepPacing::of(sweepMs);
    if (row.subFrames == 0 || stopRequested)
        return;
    float offset = 0.0f;
    for (int k = 0; k < row.subFrames && !stopRequested; ++k) {
        const QDeadlineTimer deadline(row.deadlineMs, Qt::PreciseTimer);
        if (!drawSubFrame(context, d, offset, input))
            return;
        offset += row.step;
        if (subFrameDrawn)
            subFrameDrawn(d, k);
        QMutexLocker lock(&pacingMutex);
        while (!stopRequested && !deadline.hasExpired())
            pacing.wait(&pacingMutex, deadline);
    }
}

bool Renderer::drawSubFrame(QOpenGLContext *context, int d, float offset, const FrameInput &input)
{
    const QSize size = surface->surfaceSize();
    // The raster engine paints antialiased curves several times faster than
    // the OpenGL one; the frame goes to the surface as one image.
    const QRegion changed = drawChanges(size, d, offset, input);
    if (changed.isEmpty())
        return true;
    ++m_shownFrames;
    if (!context) {
        surface->present(frameImage, changed);
        return true;
    }
    QWindow *glWindow = surface->glWindow();
    if (!context->makeCurrent(glWindow))
        return false;
    if (!paintDevice || paintDevice->size() != size)
        paintDevice = std::make_unique<QOpenGLPaintDevice>(size);
    {
        QPainter upload(paintDevice.get());
        upload.drawImage(0, 0, frameImage);
    }
    context->swapBuffers(glWindow);
    return true;
}

// The frame is kept between sub-frames: what changed is drawn into it and
// returned. The polygram moving changes all of it; otherwise only panels
// whose drawing differs from what was shown are drawn again.
QRegion Renderer::drawChanges(const QSize &size, int d, float offset, const FrameInput &input)
{
    const QRect area(QPoint(0, 0), QPoint(size.width() - 1, size.height() - 1));
    const bool fresh = frameImage.size() != size;
    if (fresh)
        frameImage = QImage(size, QImage::Format_RGB32);
    if (wholeFrames || !test || size.width() < LeastWidth || channelSelected != 0) {
        m_shown = Layers();
        QPainter frame(&frameImage);
        drawFrame(frame, size, d, offset, input);
        return area;
    }
    setupTable.reset();
    bool moved = false;
    {
        QMutexLocker lock(&mutex);
        const SweepPacing row = SweepPacing::of(painter->timeScale);
        moved = picture.update(*painter, area.size(), d, (row.subFrames - 1) * row.step, true);
    }
    Layers next = recordLayers(area, d, input);
    next.shift = picture.drawnRect(offset).x();
    next.valid = true;
    QRegion changed;
    if (fresh || moved || !m_shown.valid || next.shift != m_shown.shift || next.images || m_shown.images)
        changed = area;
    else
        changed = (changeOf(m_shown.over, next.over) | changeOf(m_shown.countdown, next.countdown)) & area;
    m_shown = next;
    if (changed.isEmpty())
        return changed;
    QPainter frame(&frameImage);
    frame.setClipRegion(changed);
    composeFrame(frame, area, offset, input, next);
    return changed;
}

Renderer::Layers Renderer::recordLayers(const QRect &area, int d, const FrameInput &input)
{
    Layers layers;
    if (!drawsPanels())
        return layers;
    {
        QPainter over(&layers.over);
        over.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        drawOverlay(over, area, d, input);
    }
    layers.images = reader->readError == 0 && drawsImagePanels();
    if (reader->readError == 0) {
        QPainter countdown(&layers.countdown);
        countdown.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        drawCountdown(countdown, area, d, input);
    }
    return layers;
}

void Renderer::composeFrame(QPainter &frame, const QRect &area, float offset, const FrameInput &input,
                            const Layers &layers)
{
    frame.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    frame.fillRect(QRegion(area).subtracted(picture.drawnRect(offset)).boundingRect(), Qt::white);
    picture.draw(frame, offset);
    frame.drawPicture(0, 0, layers.over);
    if (layers.images)
        drawImagePanels(frame, input);
    frame.drawPicture(0, 0, layers.countdown);
}

void Renderer::drawFrame(QPainter &frame, const QSize &size, int d, float offset, const FrameInput &input)
{
    frame.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const QRect area(QPoint(0, 0), QPoint(size.width() - 1, size.height() - 1));
    frame.fillRect(area, Qt::white);
    if (!test || size.width() < LeastWidth)
        return;
    if (channelSelected != 0) {
        drawAdjustment(frame, area, d, offset, input);
        return;
    }
    setupTable.reset();
    {
        QMutexLocker lock(&mutex);
        drawPolygram(frame, area, d, offset);
    }
    if (!drawsPanels())
        return;
    drawOverlay(frame, area, d, input);
    if (reader->readError != 0)
        return;
    drawImagePanels(frame, input);
    drawCountdown(frame, area, d, input);
}

bool Renderer::drawsPanels() const { return !reader->paused; }

void Renderer::drawPolygram(QPainter &frame, const QRect &area, int d, float offset)
{
    if (wholeFrames) {
        painter->drawPolygram(frame, area, d, offset);
        return;
    }
    const SweepPacing row = SweepPacing::of(painter->timeScale);
    picture.update(*painter, area.size(), d, (row.subFrames - 1) * row.step);
    picture.draw(frame, offset);
}

void Renderer::drawOverlay(QPainter &frame, const QRect &area, int d, const FrameInput &input)
{
    if (reader->readError != 0) {
        drawErrorBanner(frame, area.size());
        return;
    }
    drawPanelG::resetHitRects();
    drawReadouts(frame, d, input);
    if (settings.bShowTrasparentPanel_Inspection) {
        QMutexLocker lock(&mutex);
        panels->drawInspectionPanel(&frame, input.cursor, input.pressed, true, d);
    }
    if (settings.bShowTrasparentPanel_Quest) {
        QMutexLocker lock(&mutex);
        const QString text = updateCurrentQuestion(d);
        panels->drawTextPanel(&frame, input.cursor, !text.isEmpty(), area, text);
    }
}

bool Renderer::drawsImagePanels()
{
    if (settings.bShowTrasparentPanel_SecondMonitor && secondMonitor && !secondMonitor->latestGrab().isNull())
        return true;
    QByteArray pixels;
    return reader->takeVideoFrame(pixels) && pixels.size() >= 640 * 480 * 4;
}

void Renderer::drawImagePanels(QPainter &frame, const FrameInput &input)
{
    if (settings.bShowTrasparentPanel_SecondMonitor && secondMonitor) {
        const QImage seen = secondMonitor->latestGrab();
        if (!seen.isNull())
            panels->drawPixmapPanel(&frame, input.cursor, input.pressed, seen);
    }
    QByteArray pixels;
    QSize frameSize;
    if (reader->takeVideoFrame(pixels, &frameSize) && pixels.size() >= 640 * 480 * 4) {
        const int level = settings.bShowTrasparentPanel_MicrophoneLavel ? int(reader->sumValues()) : 0;
        panels->drawVideoPanel(&frame, input.cursor, input.pressed, reinterpret_cast<uchar *>(pixels.data()), level, 0);
    }
}

int Renderer::sampleBefore(int code, int d) const
{
    const QVector<qint16> *samples = test->samples(code);
    if (!samples || samples->isEmpty() || d < 1 || d - 1 >= samples->size())
        return INT_MIN;
    return samples->at(d - 1);
}

void Renderer::drawReadouts(QPainter &frame, int d, const FrameInput &input)
{
    const int gsrSample = sampleBefore(ChannelCode::GSR_C, d);
    const int cuffSample = sampleBefore(ChannelCode::AD2, d);
    const int gsr = gsrSample == INT_MIN ? -1 : gsrSample + 2047;
    const int cuff = cuffSample == INT_MIN ? -1 : cuffSample;
    QVector<int> &history = pulseHistory();
    const int beat = sampleBefore(ChannelCode::TGM, d);
    if (d > 0 && d % PulseEvery == 0 && beat != INT_MIN)
        history[d % PulseEntries] = toPerMinute(qint16(beat));
    const int pulse = std::accumulate(history.begin(), history.end(), 0) / PulseEntries;
    panels->drawReadoutsPanel(&frame, input.cursor, input.pressed, gsr, pulse, cuff, d, settings);
}

void Renderer::drawCountdown(QPainter &frame, const QRect &area, int d, const FrameInput &input)
{
    int seconds = reader->countdown;
    if (seconds < 0) {
        const QVector<qint16> *first = test->samples(ChannelCode::GSR);
        seconds = (first->size() - d) / SensorReader::TicksPerSecond;
        if (seconds < 0 || seconds > LastCountedSeconds)
            return;
    }
    panels->drawCountdown(&frame, input.cursor, area, seconds);
}

void Renderer::drawErrorBanner(QPainter &frame, const QSize &size)
{
    if (++blinkCounter % BlinkPeriod >= BlinkShown)
        return;
    const QRect banner(size.width() / 2 - 199, size.height() / 2 - 49, 400, 100);
    frame.fillRect(banner, QColor(255, 0, 0, 150));
    frame.setFont(QGuiApplication::font());
    frame.setPen(QColor(64, 64, 64, 150));
    frame.drawText(banner, Qt::AlignCenter | Qt::TextWordWrap, tr("Ошибка чтения сенсорного блока"));
}

void Renderer::drawAdjustment(QPainter &frame, QRect area, int d, float offset, const FrameInput &input)
{
    const int strip = drawG::captionStripHeight();
    area.adjust(0, strip, 0, -strip);
    const int selected = selectedChannel;
    const bool shiftCtrl = (input.modifiers & Qt::ShiftModifier) && (input.modifiers & Qt::ControlModifier);
    if (reader->sixteenBit && shiftCtrl) {
        painter->drawGuideLines(frame, area);
        painter->drawChannelCurve(frame, area, d, offset, selected, false, true);
    } else {
        painter->drawChannelBand(frame, area, selected, reader->sixteenBit, reader->sixteenBit);
        painter->drawTimeGrid(frame, area, d, offset);
        for (int code = 0; code < ChannelCode::Count; ++code) {
            const InspectionChannel &record = test->channel(code);
            if (record.Enable && *record.Enable && record.KodDrv >= 0)
                painter->drawChannelCurve(frame, area, d, offset, code, code != selected, false);
        }
    }
    // Two settings files read once per opening, not on every sub-frame.
    if (!setupTable) {
        setupTable = std::make_unique<DefChannel>();
        setupTable->loadCalibration(test->idsensor);
        setupTable->loadCalibration(SavedSetupId);
    }
    drawPanelG::resetHitRects();
    panels->drawChannelStatusPanel(&frame, input.cursor, input.pressed, selected, area.size(), *setupTable, true);
}

int Renderer::channelAtPoint(QPoint p)
{
    if (!reader || reader->position <= 9)
        return -1;
    const QRect area = plotArea();
    if (!area.contains(p))
        return -1;
    const QRect box(QPoint(p.x() - 5, p.y() - 5), QPoint(p.x() + 4, p.y() + 4));
    for (int code = 0; code < ChannelCode::Count; ++code) {
        const InspectionChannel &record = test->channel(code);
        if (record.KodDrv < 0 || !record.Enable || !*record.Enable)
            continue;
        const QVector<QPointF> points =
            drawG::buildCurvePoints(test, area, reader->position, 0.0f, code, sweepMs, verticalPosition);
        for (const QPointF &point : points) {
            if (box.contains(QPoint(int(point.x()), int(point.y()))))
                return code;
        }
    }
    return -1;
}

QRect Renderer::plotArea() const
{
    const QSize size = surface->surfaceSize();
    const int strip = drawG::captionStripHeight();
    return QRect(QPoint(0, 0), QPoint(size.width() - 1, size.height() - 1)).adjusted(0, strip, 0, -strip);
}
