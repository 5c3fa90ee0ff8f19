#pragma once

#include "KeptPolygram.h"
#include "PolygramCanvas.h"
#include "data/Inspection.h"

#include <QPoint>
#include <QPointF>
#include <QVector>

class drawG;
class QMouseEvent;
class QKeyEvent;
class QPainter;
class QTimer;

// The review screen's polygram: shows the part of a recorded test at the
// scroll position, measures distances, moves question marks and lets the
// examiner set up a channel's scale and offset. It filters the events of the
// whole application, so it follows the cursor wherever it is.
class PoligrammeView : public PolygramCanvas
{
    Q_OBJECT
public:
    enum Mode { Normal = 0, LabelMoving = 1, MeasureHorizontal = 2, MeasureVertical = 3 };

    // x in sample positions, y in pixels; an open one has second (-1, -1).
    struct Measurement {
        QPointF first;
        QPointF second{-1, -1};
        bool isOpen() const { return second == QPointF(-1, -1); }
    };

    explicit PoligrammeView(QWidget *parent = nullptr);

    void setTest(Inspection *inspection, Inspection::_Test *test, int channelCode);
    void setPosition(int value);
    void setVerticalPosition(int value);
    void setSweep(int value);
    int sweep() const { return m_sweep; }
    int visibleTicks() const;
    void startLabelBlink(int tick);

    // The whole picture for the view's size, drawn afresh.
    void paint(QPainter &painter);
    // The same from the kept polygram: what the widget shows.
    void paintGL(QPainter &painter) override;

    // The first mark whose question starts within one tick of tick; -1 if none.
    static int labelAtTick(const QVector<Inspection::_Label> &labels, int tick);
    // The code of the curve passing within 10 pixels of point; -1 if none.
    int channelAt(const QPoint &point) const;

    int mode() const { return m_mode; }
    bool isSetupView() const { return setupView; }  // for tests
    int currentChannel() const { return selectedChannel; }
    int highlightedLabel() const { return blinkLabel; }  // for tests
    int movingLabel() const { return draggedLabel; }  // for tests
    const QVector<Measurement> &measurementList() const { return measurements; }  // for tests

signals:
    void updateContextView();

public slots:
    void onStartLabelPositionChange(bool start);
    void onTimerLabelBlink();
    void onStartMetr(bool bMetrH, bool bStart);

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void paintPicture(QPainter &painter, bool kept);
    void paintMeasurements(QPainter &painter, const QPoint &cursor);
    void paintSetupView(QPainter &painter, drawG &g, const QPoint &cursor, int n);

    bool filterNormal(const QMouseEvent *e, const QPoint &point);
    void moveCursorNormal(const QMouseEvent *e, const QPoint &point);
    void dragChannel(const QPoint &point);
    void pressNormal(const QMouseEvent *e, const QPoint &point);
    void startChannelDrag(const QPoint &point);
    void finishChannelDrag(bool shiftHeld);
    void filterLabelMoving(const QMouseEvent *e, const QPoint &point);
    void moveLabel(int tick);
    bool filterMeasuring(const QMouseEvent *e, const QPoint &point);
    void measureAt(const QPoint &point);
    bool filterKey(QEvent *e);
    bool pressKey(const QKeyEvent *e);

    // The tick under a view x in label moving mode.
    int tickAtX(int x) const;
    int sampleCount() const;
    Inspection::_Channel &selected();

    KeptPolygram keptPolygram;
    Inspection *inspection = nullptr;
    Inspection::_Test *test = nullptr;
    int m_sweep = 1000;
    int position = 0;
    int verticalPosition = 0;
    bool setupView = false;
    int selectedChannel = 0;
    int draggedLabel = -1;
    int m_mode = Normal;
    QTimer *blinkTimer = nullptr;
    int blinkLabel = -1;
    QPoint dragStart;
    QVector<Measurement> measurements;
};
