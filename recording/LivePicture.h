#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QVector>

class QPainter;
class drawG;

// The live polygram (grid, marks, curves) kept as an image between rounds.
// A round scrolls it by the whole pixels the time axis moved and draws only
// its newest columns; a sub-frame is the image at its offset. The whole
// picture is drawn again only when more than its newest columns changed:
// sweep, size, vertical position, channel settings, marks, a jump of the
// position (the start cut, a seek).
class LivePicture
{
public:
    // Brings the picture to position n, for a round whose sub-frames shift
    // the time axis by up to lastOffset pixels. The caller holds the marks' lock.
    // whenMoved: the picture stays as it is while its columns stand still.
    // True when anything was drawn.
    bool update(drawG &painter, const QSize &size, int n, float lastOffset, bool whenMoved = false);
    // What drawPolygram draws at (n, offset) over the area of the size given
    // to update, to the pixel: the picture at shownOffset(offset).
    void draw(QPainter &frame, float offset) const;
    // The offset the picture shows for a sub-frame's: more by under a pixel,
    // the picture being moved by whole pixels.
    float shownOffset(float offset) const;
    // Where draw puts the picture at a sub-frame's offset.
    QRect drawnRect(float offset) const;
    // Where the picture's content lies on the time axis: it moved sideways
    // on the frame by the difference of two origins.
    qint64 origin(float offset) const { return drawnRect(offset).x() - m_column; }
    // The columns at the right the last update drew (all when it drew the whole).
    int drawnColumns() const { return m_drawnColumns; }
    // Whether the last update drew the whole picture.
    bool drewWhole() const { return m_drewWhole; }

private:
    QVector<double> pictureKey(const drawG &painter, const QSize &size, int n) const;
    void drawWhole(drawG &painter, int n);
    void drawNewest(drawG &painter, int n, int columns);
    void scrollLeft(int columns);
    // The offset the kept picture is drawn at.
    float drawnOffset() const;
    int wholeShift(float offset) const;

    QImage m_image;
    // The newest columns are drawn here first.
    QImage m_strip;
    QVector<double> m_key;
    QSize m_size;
    int m_position = -1;
    // The picture's whole-pixel position on the time axis and the exact one.
    qint64 m_column = 0;
    double m_scroll = 0.0;
    bool m_drewWhole = false;
    int m_drawnColumns = 0;
    // The ring's oldest column.
    int m_start = 0;
};
