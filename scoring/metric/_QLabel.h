#pragma once

#include "data/Inspection.h"

#include <QLabel>

// The measurement picture: one channel around one question presentation with
// the measurement window of a results cell. Two clicks place the corners, a
// third starts again; the readout shows the value while no corner is pending.
// Corners hold x in samples from the question's start mark and y in panel
// units; a negative coordinate is a corner not placed.
class _QLabel : public QLabel
{
    Q_OBJECT
public:
    struct Corners {
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    };

    explicit _QLabel(QWidget *parent = nullptr);
    ~_QLabel() override;

    // The cell shown: its test (looked up in the examination at each use),
    // question start mark, parameter, loaded corners and the first pixel's
    // sample position counted from the question's start mark.
    void load(Inspection *inspection, int testIndex, int tickQStart, const Inspection::_MetricParam &param,
              const Corners &corners, int firstPixel, double scale);
    // No cell: nothing drawn over the picture.
    void unload();
    bool isLoaded() const { return test() != nullptr; }

    void moveCorners(int dx1, int dy1, int dx2, int dy2);
    // Back to the corners loaded with the cell.
    void restoreCorners();
    const Corners &corners() const { return m_corners; }
    int clickCount() const { return m_clicks; }  // for tests
    // The value the corners stand for.
    int currentValue() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    Inspection::_Test *test() const;
    void placeCorner(const QPoint &pos);
    void keepShape();
    void drawGuide(QPainter &painter, const QPoint &cursor);
    void drawMarks(QPainter &painter);
    int pixelX(double x) const { return int(x) - m_firstPixel; }

    Inspection *m_inspection = nullptr;
    int m_testIndex = -1;
    int m_tickQStart = 0;
    Inspection::_MetricParam m_param;
    Corners m_corners;
    Corners m_saved;
    int m_clicks = 0;
    double m_scale = 0.0;
    int m_firstPixel = 0;
};
