#include "PoligrammeView.h"

#include "InputState.h"
#include "data/ChannelBindings.h"
#include "data/DefChannel.h"
#include "data/GenericSettings.h"
#include "drawG.h"
#include "drawPanelG.h"
#include "resources/VugResources.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <cmath>

namespace {

const int kMeasureReach = 10;

bool isShown(const Inspection::_Channel &record)
{
    return record.KodDrv >= 0 && record.Enable && *record.Enable;
}

bool isNear(const QPointF &point, double x, double y)
{
    return std::abs(point.x() - x) <= kMeasureReach && std::abs(point.y() - y) <= kMeasureReach;
}

bool isMouseEvent(QEvent::Type type)
{
    return type == QEvent::MouseMove || type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease;
}

}  // namespace

PoligrammeView::PoligrammeView(QWidget *parent)
    : PolygramCanvas(parent)
{
    initVugResources();
    qApp->installEventFilter(this);
}

void PoligrammeView::setTest(Inspection *inspection, Inspection::_Test *test, int channelCode)
{
    this->inspection = inspection;
    this->test = test;
    position = 0;
    selectedChannel = channelCode >= 0 || !test ? channelCode : nextEnabledChannel(*test, -1, 1);
    update();
}

void PoligrammeView::setPosition(int value)
{
    position = value;
    update();
}

void PoligrammeView::setVerticalPosition(int value)
{
    verticalPosition = value;
    update();
}

void PoligrammeView::setSweep(int value)
{
    m_sweep = value;
    update();
}

int PoligrammeView::sampleCount() const
{
    return test ? test->samples(ChannelCode::GSR)->size() : 0;
}

int PoligrammeView::visibleTicks() const
{
    const int last = int(double(m_sweep) * (width() + position) / 1000);
    return test ? qMin(last, sampleCount()) : last;
}

int PoligrammeView::labelAtTick(const QVector<Inspection::_Label> &labels, int tick)
{
    for (int i = 0; i < labels.size(); ++i)
        if (labels[i].TickQStart - 1 <= tick && tick <= labels[i].TickQStart + 1)
            return i;
    return -1;
}

void PoligrammeView::startLabelBlink(int tick)
{
    blinkLabel = test ? labelAtTick(test->labels, tick) : -1;
    if (blinkLabel >= 0) {
        delete blinkTimer;
        blinkTimer = new QTimer(this);
        blinkTimer->setInterval(1000);
        connect(blinkTimer, &QTimer::timeout, this, &PoligrammeView::onTimerLabelBlink);
        blinkTimer->start();
    }
    update();
}

void PoligrammeView::onTimerLabelBlink()
{
    blinkLabel = -1;
    if (blinkTimer) {
        blinkTimer->stop();
        // Called from the timer's own signal.
        blinkTimer->deleteLater();
        blinkTimer = nullptr;
    }
    update();
}

void PoligrammeView::onStartLabelPositionChange(bool start)
{
    m_mode = start ? LabelMoving : Normal;
    update();
}

void PoligrammeView::onStartMetr(bool bMetrH, bool bStart)
{
    if (bStart) {
        m_mode = bMetrH ? MeasureHorizontal : MeasureVertical;
        setCursor(QCursor(VugImages::pixmap(QStringLiteral("xy")), 4, 4));
    } else {
        m_mode = Normal;
        setCursor(Qt::ArrowCursor);
    }
    measurements.clear();
    update();
}

int PoligrammeView::channelAt(const QPoint &point) const
{
    if (!test || !rect().contains(point))
        return -1;
    const int strip = drawG::captionStripHeight();
    const QRect area(QPoint(0, strip), QPoint(width() - 1, height() - 1 - strip));
    const int shown = int(m_sweep * double(width()) / 1000);
    const int end = shown <= sampleCount() ? int(m_sweep * double(position) / 1000) + shown : sampleCount();
    if (end < 0)
        return -1;
    const QRect reach(point - QPoint(kMeasureReach, kMeasureReach), QSize(2 * kMeasureReach, 2 * kMeasureReach));
    for (int code = 0; code < ChannelCode::Count; ++code) {
        if (!isShown(test->channel(code)))
            continue;
        const QVector<QPointF> points = drawG::buildCurvePoints(test, area, end, 0, code, m_sweep, verticalPosition);
        for (const QPointF &p : points)
            if (reach.contains(p.toPoint()))
                return code;
    }
    return -1;
}

// --- painting ---

void PoligrammeView::paint(QPainter &painter)
{
    paintPicture(painter, false);
}

void PoligrammeView::paintGL(QPainter &painter)
{
    paintPicture(painter, true);
}

void PoligrammeView::paintPicture(QPainter &painter, bool kept)
{
    GenericSettings settings;
    settings.load();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    if (!test || width() < 100) {
        painter.fillRect(rect(), Qt::white);
        return;
    }

    const QPoint cursor = mapFromGlobal(InputState::current().cursor);
    drawG g(test, m_sweep);
    const int n = visibleTicks();
    if (!settings.bEnableShowTextLabelForView)
        g.options &= ~drawG::Marks;
    if (!settings.bEnableShowTextLabelYasNoForView)
        g.options &= ~drawG::AnswerTexts;
    g.options &= ~drawG::NullReactionShades;
    g.verticalShift = verticalPosition;
    QColor background = Qt::white;
    if (m_mode == LabelMoving) {
        background = QColor(230, 230, 230);
        g.options &= ~drawG::NullMarks;
        g.highlightLabel = draggedLabel;
    }
    if (blinkLabel >= 0)
        g.highlightLabel = blinkLabel;

    if (setupView) {
        painter.fillRect(rect(), background);
        paintSetupView(painter, g, cursor, n);
        return;
    }
    if (kept) {
        painter.drawPixmap(0, 0, keptPolygram.picture(g, size(), devicePixelRatioF(), n, background));
    } else {
        painter.fillRect(rect(), background);
        g.drawPolygram(painter, rect(), n, 0);
    }
    if (m_mode == MeasureHorizontal || m_mode == MeasureVertical)
        paintMeasurements(painter, cursor);
}

void PoligrammeView::paintMeasurements(QPainter &painter, const QPoint &cursor)
{
    painter.setPen(QPen(Qt::black, 1));
    QFont font = QApplication::font();
    font.setWeight(75);
    painter.setFont(font);
    const auto screen = [this](const QPointF &p) { return QPointF(p.x() * 1000 / m_sweep - position, p.y()); };
    for (const Measurement &m : measurements) {
        const QPointF first = screen(m.first);
        painter.drawEllipse(first, 3, 3);
        if (m.isOpen())
            continue;
        const QPointF second = screen(m.second);
        painter.drawEllipse(second, 3, 3);
        painter.drawLine(first, second);
        const double value =
            m_mode == MeasureHorizontal ? m_sweep * (second.x() - first.x()) / 1000 : second.y() - first.y();
        painter.drawText(QPoint(int(first.x() + 5), int(first.y() - 5)), QString::number(std::abs(value), 'g', 6));
    }
    QPen guide(Qt::black, 1);
    guide.setDashPattern({2, 2, 2, 2});
    painter.setPen(guide);
    if (m_mode == MeasureVertical)
        painter.drawLine(0, cursor.y(), width(), cursor.y());
    else
        painter.drawLine(cursor.x(), 0, cursor.x(), height());
}

void PoligrammeView::paintSetupView(QPainter &painter, drawG &g, const QPoint &cursor, int n)
{
    // Made only here: a panel painter reads the stored panel places and writes
    // them back when it goes, which no scroll step should do.
    drawPanelG panels(test);
    const int m = drawG::captionStripHeight();
    const QRect area(QPoint(0, m), QPoint(width() - 1, height() - 1 - m));
    g.drawChannelBand(painter, area, selectedChannel, false, isSixteenBitUnit(test->idsensor));
    g.drawTimeGrid(painter, area, n, 0);
    for (int code = 0; code < ChannelCode::Count; ++code)
        if (isShown(test->channel(code)))
            g.drawChannelCurve(painter, area, n, 0, code, code != selectedChannel, false);
    drawPanelG::resetHitRects();
    DefChannel saved;
    saved.loadCalibration(SavedSetupId);
    panels.drawChannelStatusPanel(&painter, cursor, false, selectedChannel, size(), saved, false);
}

// --- events ---

bool PoligrammeView::eventFilter(QObject *watched, QEvent *e)
{
    if (!test || !isVisible())
        return false;
    const bool measuring = m_mode == MeasureHorizontal || m_mode == MeasureVertical;
    if (measuring && watched != this)
        return false;
    if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease)
        return m_mode != LabelMoving && filterKey(e);
    if (!isMouseEvent(e->type()))
        return false;
    QPoint point;
    if (m_mode == Normal)
        point = mapFromGlobal(static_cast<QMouseEvent *>(e)->screenPos().toPoint());
    else
        point = mapFromGlobal(InputState::current().cursor);
    if (m_mode == Normal)
        return filterNormal(static_cast<QMouseEvent *>(e), point);
    if (m_mode == LabelMoving) {
        filterLabelMoving(static_cast<QMouseEvent *>(e), point);
        return false;
    }
    return filterMeasuring(static_cast<QMouseEvent *>(e), point);
}

Inspection::_Channel &PoligrammeView::selected()
{
    return test->channel(selectedChannel);
}

bool PoligrammeView::filterNormal(const QMouseEvent *e, const QPoint &point)
{
    const bool dragging = !dragStart.isNull();
    if (e->type() == QEvent::MouseMove) {
        if (dragging)
            dragChannel(point);
        else
            moveCursorNormal(e, point);
    } else if (e->type() == QEvent::MouseButtonPress) {
        if (!dragging && e->button() == Qt::LeftButton)
            pressNormal(e, point);
    } else if (dragging) {
        if (!(e->buttons() & Qt::LeftButton))
            finishChannelDrag(e->modifiers() & Qt::ShiftModifier);
    } else if (drawPanelG::panelAt(point, -1)) {
        update();
    }
    return false;
}

void PoligrammeView::moveCursorNormal(const QMouseEvent *e, const QPoint &point)
{
    bool hand;
    if (!(e->modifiers() & Qt::ShiftModifier))
        hand = channelAt(point) >= 0;
    else
        hand = !drawPanelG::panelAt(point, -1) && drawG::lastBandRect.value().contains(point);
    setCursor(hand ? Qt::OpenHandCursor : Qt::ArrowCursor);
}

void PoligrammeView::dragChannel(const QPoint &point)
{
    const QPoint d = point - dragStart;
    // The filter sees one move once for the window and once for the widget.
    if (d.isNull())
        return;
    Inspection::_Channel &record = selected();
    if (std::abs(d.x()) < std::abs(d.y()))
        moveChannelOffset(record, -d.y());
    else
        changeChannelAmplify(record, d.x());
    update();
    dragStart = point;
}

void PoligrammeView::pressNormal(const QMouseEvent *e, const QPoint &point)
{
    if (!(e->modifiers() & Qt::ShiftModifier)) {
        const int code = channelAt(point);
        if (code < 0)
            return;
        selectedChannel = code;
        setupView = true;
        startChannelDrag(point);
        update();
        return;
    }
    if (drawPanelG::panelAt(point, 0)) {
        for (int p = 0; p < ChannelCode::Count; ++p) {
            const Inspection::_Channel *record = test->channelAtPosition(p);
            if (record && isShown(*record) &&
                drawPanelG::channelCell(PanelState::RowCell, record->Kod).contains(point)) {
                selectedChannel = record->Kod;
                break;
            }
        }
    }
    if (drawG::lastBandRect.value().contains(point)) {
        setupView = true;
        startChannelDrag(point);
    }
}

void PoligrammeView::startChannelDrag(const QPoint &point)
{
    dragStart = point;
    setCursor(Qt::DragMoveCursor);
}

void PoligrammeView::finishChannelDrag(bool shiftHeld)
{
    if (!shiftHeld) {
        setupView = false;
        setCursor(Qt::ArrowCursor);
    }
    dragStart = QPoint();
    update();
    test->labelsModified = true;
}

int PoligrammeView::tickAtX(int x) const
{
    const int samples = sampleCount();
    if (samples < m_sweep * qint64(width()) / 1000)
        x -= width() - int(samples * qint64(1000) / m_sweep);
    return int((position + qint64(x)) * m_sweep / 1000);
}

void PoligrammeView::filterLabelMoving(const QMouseEvent *e, const QPoint &point)
{
    const int tick = tickAtX(point.x());
    switch (e->type()) {
    case QEvent::MouseMove:
        setCursor(Qt::SplitHCursor);
        if (draggedLabel >= 0)
            moveLabel(tick);
        break;
    case QEvent::MouseButtonPress: {
        // The filter sees presses everywhere; only one on the view picks up a mark.
        const int label = rect().contains(point) ? labelAtTick(test->labels, tick) : -1;
        if (label >= 0) {
            draggedLabel = label;
            setCursor(Qt::SplitHCursor);
            update();
        } else {
            setCursor(draggedLabel >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        if (draggedLabel >= 0) {
            test->labelsModified = true;
            setCursor(Qt::ArrowCursor);
            draggedLabel = -1;
            update();
        }
        break;
    default:
        break;
    }
}

void PoligrammeView::moveLabel(int tick)
{
    if (draggedLabel >= test->labels.size())
        return;
    if (test->labels.size() != test->labelsForRestore.size())
        test->labelsForRestore = test->labels;
    Inspection::_Label &mark = test->labels[draggedLabel];
    const bool answered = mark.TickAStart > 0;
    // A mark stays inside the recording: its readers index the sample arrays by it.
    const int end = answered ? qMax(mark.TickQEnd, mark.TickAEnd) : mark.TickQEnd;
    const int step = qMax(-mark.TickQStart, qMin(tick - mark.TickQStart, sampleCount() - 1 - end));
    mark.TickQStart += step;
    mark.TickQEnd += step;
    if (answered) {
        mark.TickAStart += step;
        mark.TickAEnd += step;
    }
    update();
}

bool PoligrammeView::filterMeasuring(const QMouseEvent *e, const QPoint &point)
{
    if (e->type() == QEvent::MouseMove) {
        update();
        return false;
    }
    if (e->type() != QEvent::MouseButtonPress || !rect().contains(point))
        return false;
    measureAt(point);
    update();
    return true;
}

void PoligrammeView::measureAt(const QPoint &point)
{
    const double xt = (position + point.x()) * double(m_sweep) / 1000;
    const double y = point.y();
    for (int i = 0; i < measurements.size(); ++i) {
        const Measurement &m = measurements[i];
        if (isNear(m.first, xt, y) || (!m.isOpen() && isNear(m.second, xt, y))) {
            measurements.remove(i);
            return;
        }
    }
    if (!measurements.isEmpty() && measurements.last().isOpen()) {
        Measurement &m = measurements.last();
        m.second = m_mode == MeasureHorizontal ? QPointF(xt, m.first.y()) : QPointF(m.first.x(), y);
        return;
    }
    measurements.append(Measurement{QPointF(xt, y)});
}

bool PoligrammeView::filterKey(QEvent *e)
{
    if (QApplication::activeModalWidget())
        return false;
    const auto *key = static_cast<const QKeyEvent *>(e);
    if (e->type() == QEvent::KeyPress)
        return pressKey(key);
    if (key->key() == Qt::Key_Shift) {
        setupView = false;
        update();
        emit updateContextView();
    }
    return true;
}

bool PoligrammeView::pressKey(const QKeyEvent *e)
{
    if (e->key() == Qt::Key_Shift) {
        setupView = true;
        update();
        return true;
    }
    if (!(e->modifiers() & Qt::ShiftModifier))
        return false;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    Inspection::_Channel &record = selected();
    switch (e->key()) {
    case Qt::Key_PageDown:
    case Qt::Key_PageUp: {
        const int code = nextEnabledChannel(*test, selectedChannel, e->key() == Qt::Key_PageDown ? 1 : -1);
        if (code >= 0)
            selectedChannel = code;
        break;
    }
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (ctrl)
            return false;
        moveChannelOffset(record, e->key() == Qt::Key_Up ? OffsetKeyStep : -OffsetKeyStep);
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (ctrl)
            return false;
        changeChannelAmplify(record, e->key() == Qt::Key_Right ? AmplifyKeyStep : -AmplifyKeyStep);
        break;
    default:
        return false;
    }
    update();
    return true;
}
