#include "PanelState.h"

#include <QMutexLocker>

#include <algorithm>

namespace {

struct PanelDefault {
    const char *key;
    QPoint position;
};

const PanelDefault kDefaults[PanelState::PanelCount] = {
    {"InspectionPane", QPoint(20, 380)},
    {"VideoPane", QPoint(20, 100)},
    {"GenericPane", QPoint(20, 20)},
    {"ChannelStatusPane", QPoint(0, 0)},
    {"SecondMonitorPane", QPoint(400, 380)},
};

// The order in which a point is tested against every panel.
const PanelState::Panel kHitOrder[] = {PanelState::ProgressPanel, PanelState::CameraPanel,
                                       PanelState::SecondMonitorPanel, PanelState::SetupTablePanel,
                                       PanelState::ReadoutsPanel};

}  // namespace

PanelState::PanelState() { reset(); }

PanelState &PanelState::instance()
{
    static PanelState state;
    return state;
}

const char *PanelState::key(Panel panel) { return kDefaults[panel].key; }

QPoint PanelState::position(Panel panel) const { return read(m_places[panel].position); }

void PanelState::setPosition(Panel panel, const QPoint &position) { write(m_places[panel].position, position); }

PanelState::Place PanelState::place(Panel panel) const { return read(m_places[panel]); }

void PanelState::settle(Panel panel, const QRect &drawn, const Place &place)
{
    QMutexLocker lock(&m_mutex);
    m_hitRects[panel] = drawn;
    m_places[panel] = place;
}

QRect PanelState::hitRect(Panel panel) const { return read(m_hitRects[panel]); }

void PanelState::resetHitRects()
{
    QMutexLocker lock(&m_mutex);
    m_hitRects.fill(QRect());
}

bool PanelState::panelAt(const QPoint &point, int which) const
{
    QMutexLocker lock(&m_mutex);
    if (which == 0)
        return m_hitRects[SetupTablePanel].contains(point);
    if (which > 0)
        return false;
    return std::any_of(std::begin(kHitOrder), std::end(kHitOrder),
                       [&](Panel panel) { return m_hitRects[panel].contains(point); });
}

double PanelState::cameraScale() const { return read(m_cameraScale); }

void PanelState::setCameraScale(double scale) { write(m_cameraScale, scale); }

double PanelState::secondMonitorScale() const { return read(m_secondMonitorScale); }

void PanelState::setSecondMonitorScale(double scale) { write(m_secondMonitorScale, scale); }

PanelState::CellTable PanelState::cells() const { return read(m_cells); }

QRect PanelState::cell(Cell cell, int code) const
{
    return ChannelCode::isValid(code) ? read(m_cells[cell][code]) : QRect();
}

void PanelState::setCells(const CellTable &cells) { write(m_cells, cells); }

int PanelState::previousButtons() const { return read(m_previousButtons); }

void PanelState::setPreviousButtons(int buttons) { write(m_previousButtons, buttons); }

int PanelState::stepFade(bool show)
{
    QMutexLocker lock(&m_mutex);
    m_fadeLevel = show ? std::min(m_fadeLevel + 5, 120) : std::max(m_fadeLevel - 5, 0);
    return m_fadeLevel;
}

int PanelState::fadeLevel() const { return read(m_fadeLevel); }

void PanelState::reset()
{
    QMutexLocker lock(&m_mutex);
    for (int panel = 0; panel < PanelCount; ++panel)
        m_places[panel] = Place{kDefaults[panel].position, QPoint()};
    m_hitRects.fill(QRect());
    m_cameraScale = 0.5;
    m_secondMonitorScale = 0.14;
    for (auto &table : m_cells)
        table.fill(QRect());
    m_previousButtons = 0;
    m_fadeLevel = 0;
}
