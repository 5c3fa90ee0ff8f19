#pragma once

#include "LockedValue.h"
#include "data/Inspection.h"

#include <QBrush>
#include <QFont>
#include <QObject>
#include <QPen>
#include <QPointF>
#include <QRect>
#include <QVector>

#include <limits>

class QPaintDevice;

class QPainter;
struct ChannelLook;

// The polygram painter: draws a test's channel curves, channel bands, time
// grid, question and answer marks and value captions onto any QPainter. Built
// on the stack for one paint pass; callers set the public members first.
// Areas are inclusive rectangles; n is the tick at the area's right edge and
// xShift moves everything on the time axis left by a fraction of a tick.
class drawG : public QObject
{
    Q_OBJECT
public:
    // What drawPolygram draws.
    enum Option : int {
        TimeGrid = 0x001,            // grid, time captions and their strips
        NullMarks = 0x008,           // the layers below for labelsNULL too
        Marks = 0x010,               // mark captions
        ReactionShades = 0x020,
        QuestionIntervals = 0x040,
        AnswerIntervals = 0x080,
        AnswerTexts = 0x100,         // "Да"/"Нет" under each caption
        ValueCaptions = 0x200,
        NullQuestionIntervals = 0x400,
        NullReactionShades = 0x800,
        AllOptions = 0xfff,
        // Pages cut one after another: a time caption only for a tick inside
        // the area, so none is shown twice or cut at a page's side.
        CaptionsOfTheAreaOnly = 0x1000,
    };

    using Labels = QVector<Inspection::_Label>;

    drawG(Inspection::_Test *test, int timeScale);

    Inspection::_Test *test;
    int options = AllOptions;
    int timeScale;  // ticks per 1000 pixels
    int verticalShift = 0;
    int highlightLabel = -1;  // index into labels
    QPen gridPen;
    QPen tickPen;
    QPen borderPen;
    QBrush questionBrush;
    QBrush answerBrush;
    QFont captionFont;
    QPen captionPen;
    QPen neutralPen;
    QPen testPen;
    QPen controlPen;
    QPen timePen;
    QPen bandAxisPen;
    QPen bandEdgePen;

    // Shared by the painters of every thread: the font of the time captions,
    // whose height sizes the caption strips, and the last channel band drawn.
    static LockedValue<QFont> axisFont;
    static LockedValue<QRect> lastBandRect;

    // No time caption reaches right of this x: a page's polygram that ends
    // within it leaves out a caption that would be cut at its end.
    qreal captionsEnd = std::numeric_limits<qreal>::max();

    // The height of one caption strip above and below a polygram area: a
    // caption line in the font as the device measures it (the screen's when
    // none), and the room of the tick marks beside the area.
    static int captionStripHeight(const QPaintDevice *device = nullptr);

    void setRenderHints(QPainter &painter);

    // --- the whole pass and the channels ---
    void drawPolygram(QPainter &painter, const QRect &area, int n, float xShift);
    void drawChannelBand(QPainter &painter, const QRect &area, int code, bool noFill, bool sixteenBit);
    // The channel's curve as drawChannelCurve places it, without drawing it:
    // what the hit tests look for a point in.
    static QVector<QPointF> buildCurvePoints(const Inspection::_Test *test, const QRect &area, int n, float xShift,
                                             int code, int timeScale, int verticalShift);
    void drawChannelCurve(QPainter &painter, const QRect &area, int n, float xShift, int code, bool highlight,
                          bool fit);

    // --- time axis and backgrounds ---
    void drawTimeGrid(QPainter &painter, const QRect &area, int n, float xShift);
    void drawTimeCaptions(QPainter &painter, const QRect &area, float pixel, float x);
    void drawTickMark(QPainter &painter, float x, float y, float h);
    void drawGuideLines(QPainter &painter, const QRect &area);
    void drawAlignmentBackground(QPainter &painter, const QRect &area, int code);

    // --- marks ---
    void fillQuestionIntervals(QPainter &painter, const QRect &area, int n, float xShift, const Labels &marks);
    void fillAnswerIntervals(QPainter &painter, const QRect &area, int n, float xShift, const Labels &marks);
    void fillReactionShades(QPainter &painter, const QRect &area, int n, float xShift, const Labels &marks);
    void drawLabels(QPainter &painter, const QRect &area, int n, float xShift, const Labels &marks);
    void drawLabelCaption(QPainter &painter, float x, const Inspection::_Label &mark, const QRect &area);
    void drawValueCaptions(QPainter &painter, const QRect &area, int n, float xShift, const Labels &marks);

    // --- the filters a curve is drawn through ---
    // The buffer a curve is drawn from, with values at first..last-1 alone
    // where a filter applies.
    static QVector<qint16> filteredSamples(const InspectionChannel &record, const ChannelLook &look,
                                           const QVector<qint16> &samples, int first, int last);
    // Filter 1: subtracts a 30-sample moving average, adds back the mean;
    // leaves dst[0..14] alone.
    static void removeBaseline(const qint16 *src, qint16 *dst, int n);
    // Filter 2: 100-sample moving average; leaves the first and last 50 alone.
    static void movingAverage(const qint16 *src, qint16 *dst, int n);
    // A plain copy; shares the buffer (Qt deep-copies one that cannot be shared).
    static void copySamples(QVector<qint16> &dst, const QVector<qint16> &src);

private:
    // The filters for the positions first..last-1 only.
    static void removeBaseline(const qint16 *src, qint16 *dst, int n, int first, int last);
    static void movingAverage(const qint16 *src, qint16 *dst, int n, int first, int last);

    // The caption text of a mark and its answer text ("Да", "Нет" or empty).
    QString labelCaption(const Inspection::_Label &mark) const;
    QString answerText(const Inspection::_Label &mark) const;
    // The pen of a caption: by the kind of an ordinary question.
    QPen captionPenOf(const Inspection::_Label &mark) const;

    // Pixel value of a tick with integer division, as the fills and marks take it.
    qint64 tickPixel(qint64 tick) const { return tick * 1000 / timeScale; }
    // Integer pixels of the test's pause in whole seconds.
    qint64 pausePixels() const;
    // Whether a mark with this reference pixel value can reach into the area.
    static bool isVisible(double reference, double rightEdge, int width, double pause);
    // Truncated toward zero and kept within a range any device can take.
    static int truncated(double value);
};
