#include "LivePicture.h"

#include "data/ChannelCode.h"
#include "polygram/ChannelLook.h"
#include "polygram/drawG.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
// Columns kept left of the view: a sub-frame shows the image moved right by
// up to two of them. A multiple of four keeps the curves' sub-pixel phase,
// which follows the area's width times the sweep.
constexpr int Extra = 4;
// Positions at the end of a filtered curve that still change as samples
// arrive (the moving averages reach 50 ahead), and the segment into them.
constexpr int Tail = 51;
// Wide antialiased pens, and the picture's offset of up to two and a half pixels.
constexpr int Seam = 6;
// How far captions of marks left of the newest columns reach into them.
constexpr int CaptionReach = 128;
// The picture lies half a pixel off the whole-pixel grid: lines drawn
// without antialiasing then fall on the same pixels however the rounding of
// the time axis goes.
constexpr double Phase = 0.5;

// The curves lie right-aligned until they fill the width; then their last
// sample moves by the width's sub-pixel remainder.
bool fillsWidth(int n, int width, int timeScale)
{
    return n >= qint64(width) * timeScale / 1000;
}

// The baseline filter adds back the mean of the whole buffer, which drifts
// while a recording fills it: counted here in quarters of a pixel. A channel
// not shown draws nothing, and its buffer is not summed at every round.
double baselineLevel(const InspectionChannel &record, const ChannelLook &look, const QVector<qint16> *samples,
                     int height)
{
    const bool filtered =
        record.Kod == ChannelCode::PG || record.Kod == ChannelCode::AD || record.Kod == ChannelCode::ADVANCED;
    if (!look.enable || !look.filter || !filtered || !samples || samples->isEmpty() || record.Amplify <= 0)
        return 0.0;
    qint64 total = 0;
    for (qint16 value : *samples)
        total += value;
    const double unitsPerPixel = 4094.0 / (height * record.Amplify / 500.0);
    return std::floor(double(total) / samples->size() / unitsPerPixel * 4);
}
}  // namespace

bool LivePicture::update(drawG &painter, const QSize &size, int n, float lastOffset, bool whenMoved)
{
    const QVector<double> key = pictureKey(painter, size, n);
    m_drewWhole = false;
    if (key == m_key && n == m_position)
        return false;
    const double scroll = n * 1000.0 / painter.timeScale;
    // The reaction shades stand at whole pixels of the scroll rounded down;
    // the picture keeps that phase and stays at least lastOffset left of the
    // exact one, so that no sub-frame shows a gap at the right.
    const qint64 column = qint64(std::floor(scroll)) + 1 + qint64(std::ceil(qMax(0.0f, lastOffset)));
    const qint64 moved = column - m_column;
    if (whenMoved && moved == 0 && key == m_key && n > m_position)
        return false;
    const int columns = int(std::ceil((qint64(n) - m_position + Tail) * 1000.0 / painter.timeScale)) + Seam;
    const bool whole = key != m_key || n < m_position || moved < 0 || columns + CaptionReach + 4 >= size.width();
    m_key = key;
    m_size = size;
    m_position = n;
    m_scroll = scroll;
    m_column = column;
    if (whole) {
        drawWhole(painter, n);
        m_drewWhole = true;
        m_drawnColumns = m_image.width();
        return true;
    }
    scrollLeft(int(moved));
    drawNewest(painter, n, columns);
    m_drawnColumns = columns;
    return true;
}

// The image is a ring of columns: the oldest one at m_start.
void LivePicture::draw(QPainter &frame, float offset) const
{
    if (m_image.isNull())
        return;
    const QPoint at = drawnRect(offset).topLeft();
    const int width = m_image.width();
    const int height = m_image.height();
    frame.drawImage(at, m_image, QRect(m_start, 0, width - m_start, height));
    if (m_start > 0)
        frame.drawImage(at + QPoint(width - m_start, 0), m_image, QRect(0, 0, m_start, height));
}

QRect LivePicture::drawnRect(float offset) const
{
    return QRect(QPoint(wholeShift(offset) - Extra, 0), m_image.size());
}

float LivePicture::shownOffset(float offset) const
{
    return drawnOffset() - wholeShift(offset);
}

float LivePicture::drawnOffset() const
{
    return float(m_column - m_scroll + Phase);
}

// A move by whole pixels is a plain copy. The reaction shades, which the
// painter does not move by the offset, move with the picture.
int LivePicture::wholeShift(float offset) const
{
    return int(std::floor(drawnOffset() - offset));
}

QVector<double> LivePicture::pictureKey(const drawG &painter, const QSize &size, int n) const
{
    const InspectionTest &test = *painter.test;
    const int strip = painter.options & drawG::TimeGrid ? drawG::captionStripHeight() : 0;
    const int height = qMax(1, size.height() - 2 * strip);
    QVector<double> key{double(size.width()), double(size.height()), double(painter.timeScale),
                        double(painter.verticalShift), double(painter.options), double(painter.highlightLabel),
                        test.ia.nIALength, double(fillsWidth(n, size.width() + Extra, painter.timeScale))};
    for (int code = 0; code < ChannelCode::Count; ++code) {
        const InspectionChannel &record = test.channel(code);
        const ChannelLook look(record);
        const QVector<qint16> *samples = test.samples(record.Kod);
        key << double(look.enable) << double(look.penWidth) << double(look.color.rgba()) << double(look.amp2)
            << double(look.filter) << double(look.filter2) << double(look.inverse) << record.Offset << record.Amplify
            << double(samples && !samples->isEmpty()) << baselineLevel(record, look, samples, height);
    }
    for (const QVector<InspectionLabel> *marks : {&test.labels, &test.labelsNULL}) {
        key << double(marks->size());
        for (const InspectionLabel &mark : *marks) {
            // A mark's pulse captions appear once its analysis interval has passed.
            const bool intervalOver = mark.TickQEnd + 20 * test.ia.nIALength < n;
            key << double(mark.Group) << double(mark.Theme) << double(mark.TickQStart) << double(mark.TickQEnd)
                << double(mark.TickAStart) << double(mark.TickAEnd) << double(intervalOver);
        }
    }
    return key;
}

void LivePicture::drawWhole(drawG &painter, int n)
{
    const QSize size(m_size.width() + Extra, m_size.height());
    if (m_image.size() != size)
        m_image = QImage(size, QImage::Format_RGB32);
    m_image.fill(Qt::white);
    m_start = 0;
    QPainter image(&m_image);
    image.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.drawPolygram(image, m_image.rect(), n, drawnOffset());
}

// The polygram over a narrow area at the right, of which the newest columns
// are copied. The narrow area keeps the full one's sub-pixel phase of the
// curves; its extra width lets captions of earlier marks reach into the cut.
// Drawn whole rather than clipped: clipping changes the antialiasing of
// wide strokes at the cut.
void LivePicture::drawNewest(drawG &painter, int n, int columns)
{
    const int width = m_image.width();
    int narrow = columns + CaptionReach;
    const int phase = fillsWidth(n, width, painter.timeScale) ? width : 0;
    narrow += ((phase - narrow) % 4 + 4) % 4;
    const QSize size(narrow, m_image.height());
    if (m_strip.size() != size)
        m_strip = QImage(size, m_image.format());
    m_strip.fill(Qt::white);
    {
        QPainter strip(&m_strip);
        strip.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        painter.drawPolygram(strip, m_strip.rect(), n, drawnOffset());
    }
    const int pixel = m_image.depth() / 8;
    const int first = (m_start + width - columns) % width;
    const int before = std::min(columns, width - first);
    for (int y = 0; y < m_image.height(); ++y) {
        const uchar *source = m_strip.constScanLine(y) + (narrow - columns) * pixel;
        uchar *line = m_image.scanLine(y);
        std::memcpy(line + first * pixel, source, size_t(before) * pixel);
        std::memcpy(line, source + before * pixel, size_t(columns - before) * pixel);
    }
}

// The oldest columns become the newest, to be drawn over.
void LivePicture::scrollLeft(int columns)
{
    if (columns > 0)
        m_start = int((m_start + qint64(columns)) % m_image.width());
}
