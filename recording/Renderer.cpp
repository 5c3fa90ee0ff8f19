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
#include <QRegion>
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

// The rects within the area, those that overlap so much that their union
// covers little more than they do drawn as one.
QVector<QRect> mergedPieces(const QVector<QRect> &rects, const QRect &area)
{
    const auto size = [](const QRect &rect) { return qint64(rect.width()) * rect.height(); };
    QVector<QRect> pieces;
    for (const QRect &wanted : rects) {
        QRect rect = wanted & area;
        if (rect.isEmpty())
            continue;
        for (int i = 0; i < pieces.size();) {
            const QRect united = pieces[i] | rect;
            if (size(united) > size(pieces[i]) + size(rect)) {
                ++i;
                continue;
            }
            rect = united;
            pieces.removeAt(i);
            i = 0;
        }
        pieces << rect;
    }
    return pieces;
}

QRect boundsOf(const QPicture &picture)
{
    const QRect bounds = picture.boundingRect();
    return bounds.isEmpty() ? QRect() : bounds.adjusted(-LayerMargin, -LayerMargin, LayerMargin, LayerMargin);
}
}  // namespace

Renderer::Renderer(RenderSurface *surface, Inspection *inspection, Inspection::_Test *test,
                   SensorReader *reader, QMutex *markLock)
    : surface(surface)
    , inspection(inspection)
    , test(test)
    , reader(reader)
    , mutex(markLock ? markLock : &ownMarkLock)
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

void Renderer::requestStop()
{
    stopRequested = true;
    QMutexLocker lock(&pacingMutex);
    pacing.wakeAll();
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
    int lastRound = -1;
    while (!stopRequested) {
        // A reader that stopped has no more data: its wait returns at once.
        if (!reader->waitForData() || stopRequested)
            break;
        const int d = drawnPosition();
        if (d < 0)
            continue;
        if (d % UpdateInterval == 0)
            emit updateUI(d);
        if (test && m_selectedChannel < 0)
            m_selectedChannel = nextEnabledChannel(*test, -1, 1);
        takeViewSettings();
        drawRound(context.get(), d, readInput());
        lastRound = d;
    }
    // A reader that ended leaves its last frame on the screen: shown whole, the
    // raster window's store holds all of it again for a box that opens over it.
    if (!context && lastRound >= 0 && !stopRequested) {
        const SweepPacing row = SweepPacing::of(sweepMs);
        m_shown = Layers();
        drawSubFrame(nullptr, lastRound, qMax(0, row.subFrames - 1) * row.step, readInput());
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
    int p = reader->currentPosition();
    int d = p;
    if (!reader->isRecording() && sliderPressed) {
        // Drawn where the reader is moved to: the video follows it there.
        d = p = reader->clampedPosition(viewPosition);
        emit seekRequested(p);
    } else if (reader->isRecording()) {
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
    if (!context && surface->takeLoss())
        m_shown = Layers();
    // The raster engine paints antialiased curves several times faster than
    // the OpenGL one; the OpenGL path takes the frame as one image.
    const FrameChange change = drawChanges(size, d, offset, input, !context);
    if (change.isEmpty())
        return true;
    if (!context) {
        surface->present(change);
        return true;
    }
    QWindow *glWindow = surface->glWindow();
    if (!context->makeCurrent(glWindow))
        return false;
    if (!paintDevice || paintDevice->size() != size)
        paintDevice = std::make_unique<QOpenGLPaintDevice>(size);
    {
        QPainter upload(paintDevice.get());
        upload.drawImage(0, 0, change.pieces.first().image);
    }
    context->swapBuffers(glWindow);
    return true;
}

// What is shown is remembered between sub-frames: the polygram moving is a
// sideways move of the shown frame and its newest columns drawn; panels are
// drawn again where they were and are after a move, or where their drawing
// differs from what was shown. inPieces false: any change comes whole.
FrameChange Renderer::drawChanges(const QSize &size, int d, float offset, const FrameInput &input, bool inPieces)
{
    const QRect area(QPoint(0, 0), QPoint(size.width() - 1, size.height() - 1));
    FrameChange change;
    if (wholeFrames || !test || size.width() < LeastWidth || m_channelSelected != 0) {
        m_shown = Layers();
        QImage whole(size, QImage::Format_RGB32);
        {
            QPainter frame(&whole);
            drawFrame(frame, size, d, offset, input);
        }
        change.pieces.append({QPoint(0, 0), whole});
        return change;
    }
    setupTable.reset();
    bool moved = false;
    {
        QMutexLocker lock(mutex);
        const SweepPacing row = SweepPacing::of(painter->timeScale);
        moved = picture.update(*painter, area.size(), d, (row.subFrames - 1) * row.step, true);
    }
    // The panels are drawn once a position; the sub-frames between only move the polygram.
    const bool samePosition = m_shown.valid && m_shown.position == d && m_shown.paused == reader->isPaused()
                              && !reader->readFailed();
    Layers next = samePosition ? m_shown : recordLayers(area, d, input);
    // The camera goes on while the view stays where the slider holds it.
    if (samePosition && drawsPanels())
        next.camera = takeCamera(input);
    next.position = d;
    next.paused = reader->isPaused();
    next.origin = picture.origin(offset);
    next.size = size;
    next.valid = true;
    QVector<QRect> drawn;
    if (!inPieces || !m_shown.valid || m_shown.size != size || picture.drewWhole() || next.images || m_shown.images) {
        drawn << area;
    } else {
        change.scroll = int(next.origin - m_shown.origin);
        if (change.scroll != 0) {
            drawn << (change.scroll < 0 ? QRect(QPoint(area.right() + 1 + change.scroll, 0), area.bottomRight())
                                        : QRect(QPoint(0, 0), QPoint(change.scroll - 1, area.bottom())));
            for (const Layer &shown : m_shown.layers)
                drawn << shown.bounds.translated(change.scroll, 0);
            for (const Layer &layer : next.layers)
                drawn << layer.bounds;
            drawn << m_shown.camera.bounds.translated(change.scroll, 0) << next.camera.bounds;
        } else {
            if (!next.camera.looksAs(m_shown.camera))
                drawn << m_shown.camera.bounds << next.camera.bounds;
            for (int i = 0; i < qMax(m_shown.layers.size(), next.layers.size()); ++i) {
                const Layer shown = m_shown.layers.value(i);
                const Layer layer = next.layers.value(i);
                if (!sameDrawing(shown.drawing, layer.drawing))
                    drawn << shown.bounds << layer.bounds;
            }
        }
        if (moved) {
            const QRect placed = picture.drawnRect(offset);
            drawn << QRect(QPoint(placed.right() + 1 - picture.drawnColumns(), 0), area.bottomRight());
        }
    }
    const QVector<QRect> pieces = mergedPieces(drawn, area);
    // A panel drawn as before keeps its image.
    for (int i = 0; i < qMin(m_shown.layers.size(), next.layers.size()); ++i) {
        if (sameDrawing(m_shown.layers[i].drawing, next.layers[i].drawing))
            next.layers[i].image = m_shown.layers[i].image;
    }
    for (const QRect &rect : pieces) {
        QImage image(rect.size(), QImage::Format_RGB32);
        {
            QPainter piece(&image);
            piece.translate(-rect.topLeft());
            composeFrame(piece, area, rect, offset, input, next);
        }
        change.pieces.append({rect.topLeft(), image});
    }
    m_shown = next;
    return change;
}

Renderer::Layers Renderer::recordLayers(const QRect &area, int d, const FrameInput &input)
{
    Layers layers;
    if (!drawsPanels())
        return layers;
    const auto record = [&layers](const std::function<void(QPainter &)> &draw) {
        Layer layer;
        {
            QPainter painter(&layer.drawing);
            painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
            draw(painter);
        }
        layer.bounds = boundsOf(layer.drawing);
        layers.layers.append(layer);
    };
    for (const auto &draw : overlaySteps(area, d, input))
        record(draw);
    layers.belowImages = layers.layers.size();
    if (!reader->readFailed()) {
        layers.images = showsSecondMonitor();
        // Placed before the countdown, which keeps clear of it.
        layers.camera = takeCamera(input);
        record([&](QPainter &painter) { drawCountdown(painter, area, d, input); });
    }
    return layers;
}

// The piece of the frame at piece; a panel over it is drawn as its image,
// made once for as long as its drawing stays.
void Renderer::composeFrame(QPainter &frame, const QRect &area, const QRect &piece, float offset,
                            const FrameInput &input, Layers &layers)
{
    frame.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    frame.fillRect(QRegion(area).subtracted(picture.drawnRect(offset)).boundingRect(), Qt::white);
    picture.draw(frame, offset);
    for (int i = 0; i < layers.layers.size(); ++i) {
        if (i == layers.belowImages && (layers.images || layers.camera.bounds.intersects(piece)))
            drawImagePanels(frame, input, layers.camera);
        Layer &layer = layers.layers[i];
        if (!layer.bounds.intersects(piece))
            continue;
        if (layer.image.isNull()) {
            layer.image = QImage(layer.bounds.size(), QImage::Format_ARGB32_Premultiplied);
            layer.image.fill(Qt::transparent);
            QPainter drawing(&layer.image);
            drawing.translate(-layer.bounds.topLeft());
            drawing.drawPicture(0, 0, layer.drawing);
        }
        frame.drawImage(layer.bounds.topLeft(), layer.image);
    }
}

void Renderer::drawFrame(QPainter &frame, const QSize &size, int d, float offset, const FrameInput &input)
{
    frame.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const QRect area(QPoint(0, 0), QPoint(size.width() - 1, size.height() - 1));
    frame.fillRect(area, Qt::white);
    if (!test || size.width() < LeastWidth)
        return;
    if (m_channelSelected != 0) {
        drawAdjustment(frame, area, d, offset, input);
        return;
    }
    setupTable.reset();
    {
        QMutexLocker lock(mutex);
        drawPolygram(frame, area, d, offset);
    }
    if (!drawsPanels())
        return;
    drawOverlay(frame, area, d, input);
    if (reader->readFailed())
        return;
    drawImagePanels(frame, input, takeCamera(input));
    drawCountdown(frame, area, d, input);
}

bool Renderer::drawsPanels() const { return !reader->isPaused(); }

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
    for (const auto &draw : overlaySteps(area, d, input))
        draw(frame);
}

QVector<std::function<void(QPainter &)>> Renderer::overlaySteps(const QRect &area, int d, const FrameInput &input)
{
    QVector<std::function<void(QPainter &)>> steps;
    if (reader->readFailed()) {
        steps << [this, area](QPainter &frame) { drawErrorBanner(frame, area.size()); };
        return steps;
    }
    drawPanelG::resetHitRects();
    steps << [this, d, input](QPainter &frame) { drawReadouts(frame, d, input); };
    if (settings.bShowTrasparentPanel_Inspection) {
        steps << [this, d, input](QPainter &frame) {
            QMutexLocker lock(mutex);
            panels->drawInspectionPanel(&frame, input.cursor, input.pressed, true, d);
        };
    }
    if (settings.bShowTrasparentPanel_Quest) {
        steps << [this, area, d, input](QPainter &frame) {
            QMutexLocker lock(mutex);
            const QString text = updateCurrentQuestion(d);
            panels->drawTextPanel(&frame, input.cursor, !text.isEmpty(), area, text);
        };
    }
    return steps;
}

bool Renderer::showsSecondMonitor() const
{
    return settings.bShowTrasparentPanel_SecondMonitor && secondMonitor && !secondMonitor->latestGrab().isNull();
}

Renderer::CameraShot Renderer::takeCamera(const FrameInput &input)
{
    CameraShot shot;
    if (!reader->takeVideoFrame(shot.pixels, nullptr, &shot.serial) || shot.pixels.size() < 640 * 480 * 4)
        return shot;
    shot.level = settings.bShowTrasparentPanel_MicrophoneLavel ? int(reader->sumValues()) : 0;
    shot.rect = panels->placeVideoPanel(input.cursor, input.pressed, 0);
    shot.bounds = drawPanelG::videoPanelBounds(shot.rect);
    shot.hot = shot.rect.contains(input.cursor);
    return shot;
}

void Renderer::drawImagePanels(QPainter &frame, const FrameInput &input, const CameraShot &camera)
{
    if (settings.bShowTrasparentPanel_SecondMonitor && secondMonitor) {
        const QImage seen = secondMonitor->latestGrab();
        if (!seen.isNull())
            panels->drawPixmapPanel(&frame, input.cursor, input.pressed, seen);
    }
    if (camera.rect.isValid()) {
        const auto *pixels = reinterpret_cast<const uchar *>(camera.pixels.constData());
        panels->paintVideoPanel(&frame, camera.rect, camera.hot, pixels, camera.serial, camera.level, 0);
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
    int seconds = reader->countdownSeconds();
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
    const int selected = m_selectedChannel;
    const bool shiftCtrl = (input.modifiers & Qt::ShiftModifier) && (input.modifiers & Qt::ControlModifier);
    if (reader->isSixteenBit() && shiftCtrl) {
        painter->drawGuideLines(frame, area);
        painter->drawChannelCurve(frame, area, d, offset, selected, false, true);
    } else {
        painter->drawChannelBand(frame, area, selected, reader->isSixteenBit(), reader->isSixteenBit());
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
    if (!reader || reader->currentPosition() <= 9)
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
            drawG::buildCurvePoints(test, area, reader->currentPosition(), 0.0f, code, sweepMs, verticalPosition);
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
