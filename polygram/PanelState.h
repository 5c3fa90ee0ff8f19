#pragma once

#include "data/ChannelCode.h"

#include <QMutex>
#include <QMutexLocker>
#include <QPoint>
#include <QRect>

#include <array>

// What every overlay panel painter of the process shares: positions, drag
// anchors, the rectangles drawn last, scales, the channel table's cells, the
// buttons seen at its last draw and the text banner's fade. The render thread
// rewrites it every frame while the GUI thread hit-tests it, so each access
// takes the lock briefly and hands out copies; nothing draws under it.
class PanelState
{
public:
    enum Panel { ProgressPanel, CameraPanel, ReadoutsPanel, SetupTablePanel, SecondMonitorPanel, PanelCount };
    // The channel table's per-channel rectangles.
    enum Cell { RowCell, WidthCell, PositionCell, GainCell, ShiftCell, CellCount };
    using CellTable = std::array<std::array<QRect, ChannelCode::Count>, CellCount>;

    // A movable panel's place and the cursor seen at the previous draw of a
    // drag, (0, 0) while it is not dragged.
    struct Place {
        QPoint position;
        QPoint anchor;
    };

    static PanelState &instance();

    // Settings key of a panel.
    static const char *key(Panel panel);

    QPoint position(Panel panel) const;
    void setPosition(Panel panel, const QPoint &position);
    Place place(Panel panel) const;
    // What a panel leaves behind after it is drawn.
    void settle(Panel panel, const QRect &drawn, const Place &place);

    QRect hitRect(Panel panel) const;
    void resetHitRects();
    bool panelAt(const QPoint &point, int which) const;

    double cameraScale() const;
    void setCameraScale(double scale);
    double secondMonitorScale() const;
    void setSecondMonitorScale(double scale);

    CellTable cells() const;
    QRect cell(Cell cell, int code) const;
    void setCells(const CellTable &cells);

    int previousButtons() const;
    void setPreviousButtons(int buttons);

    // Moves the fade level one step towards shown (up to 120) or hidden (down
    // to 0) and returns the new level.
    int stepFade(bool show);
    int fadeLevel() const;

    // Back to the state of a fresh process; for tests.
    void reset();

private:
    PanelState();

    template <typename T>
    T read(const T &member) const
    {
        QMutexLocker lock(&m_mutex);
        return member;
    }
    template <typename T>
    void write(T &member, const T &value)
    {
        QMutexLocker lock(&m_mutex);
        member = value;
    }

    mutable QMutex m_mutex;
    std::array<Place, PanelCount> m_places;
    std::array<QRect, PanelCount> m_hitRects;
    double m_cameraScale = 0.5;
    double m_secondMonitorScale = 0.14;
    CellTable m_cells;
    int m_previousButtons = 0;
    int m_fadeLevel = 0;
};
