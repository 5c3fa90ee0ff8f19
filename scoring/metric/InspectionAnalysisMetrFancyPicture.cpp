// The metric window's measurement picture: drawn for the current cell, its
// corners loaded from the stored value and stored back.
#include "InspectionAnalysisMetrFancy.h"
#include "MetrFancyShared.h"

#include "DefMertValuation.h"
#include "MetricMeasure.h"
#include "_QLabel.h"
#include "_QTreeView.h"
#include "polygram/drawG.h"
#include "data/ReadRefusal.h"
#include "data/DefChannel.h"

#include <QDockWidget>
#include <QJsonArray>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

using namespace MetrFancy;

void InspectionAnalysisMetrFancy::showEvent(QShowEvent *event)
{
    Fancy::FancyMainWindow::showEvent(event);
    if (!m_diagramDockSized)
        sizeDiagramDock();
    updateDiagram();
}

// Without a saved layout the dock would open at its empty picture's height.
void InspectionAnalysisMetrFancy::sizeDiagramDock()
{
    m_diagramDockSized = true;
    const int chrome = m_diagramDock->sizeHint().height() - m_diagramArea->sizeHint().height();
    const int frame = 2 * m_diagramArea->frameWidth() + m_diagramArea->horizontalScrollBar()->sizeHint().height();
    resizeDocks({m_diagramDock}, {pictureHeight() + frame + chrome}, Qt::Vertical);
}

int InspectionAnalysisMetrFancy::pictureHeight() const
{
    return iScale * 550 / 100;
}

void InspectionAnalysisMetrFancy::mySelectionChanged(const QItemSelection &, const QItemSelection &)
{
    updateDiagram();
}

InspectionAnalysisMetrFancy::CellKey InspectionAnalysisMetrFancy::currentCellKey() const
{
    const QJsonArray data = m_tree->currentIndex().data(kUidRole).toJsonArray();
    CellKey key;
    if (data.size() == 4)
        key = {data[0].toInt(-1), data[1].toInt(-1), data[2].toInt(-1), QUuid(data[3].toString())};
    return key;
}

// The test, question mark and parameter of a cell; the later ones null when
// an earlier one is missing.
InspectionAnalysisMetrFancy::CellPlace InspectionAnalysisMetrFancy::placeOf(const CellKey &key) const
{
    CellPlace place;
    place.test = m_inspection ? m_inspection->test(key.test) : nullptr;
    place.mark = place.test ? place.test->findLabel(key.group, key.quest) : nullptr;
    place.param = place.mark ? DefMertValuation::find(m_inspection->metricParams, key.uid) : nullptr;
    return place;
}

void InspectionAnalysisMetrFancy::clearDiagram()
{
    m_label->setPixmap(QPixmap());
    m_label->setFixedSize(0, 0);
    m_label->unload();
    m_shownKey = CellKey();
}

void InspectionAnalysisMetrFancy::updateDiagram()
{
    const CellKey key = currentCellKey();
    Inspection::_Test *test = m_inspection ? m_inspection->test(key.test) : nullptr;
    const Inspection::_MetricParam *found = test ? DefMertValuation::find(m_inspection->metricParams, key.uid) : nullptr;
    if (!found)
        return;
    const Inspection::_MetricParam param = *found;
    // An unread recording is never drawn as an empty one.
    if (!ReadRefusal::readRecording(this, *m_inspection, *test)) {
        clearDiagram();
        return;
    }
    const QPixmap pixmap = drawDiagram(key.test, key.group, key.quest, param.nKodChannel);
    m_label->setPixmap(pixmap);
    m_label->setFixedSize(pixmap.size());
    const Inspection::_Label *mark = test->findLabel(key.group, key.quest);
    if (!mark || pixmap.isNull()) {
        m_label->unload();
        m_shownKey = CellKey();
        return;
    }
    // Read without inserting: a cell only looked at must not become a record.
    const Inspection::_MetricValuation record = test->valuationMetric.value(key.group).value(key.quest).value(key.uid);
    const int code = param.nKodChannel;
    _QLabel::Corners corners;
    corners.x1 = record.ptStart_x;
    corners.y1 = MetricMeasure::valueToPanelY(*test, code, record.ptStart_y, 1);
    corners.x2 = record.ptEnd_x;
    corners.y2 = MetricMeasure::valueToPanelY(*test, code, record.ptEnd_y, 1);
    // The picture starts at the question's end mark when it shows only the
    // analysis interval, else at its start mark (see drawDiagram).
    const int firstTick = bShowIA ? mark->TickQEnd : mark->TickQStart;
    m_label->load(m_inspection, key.test, mark->TickQStart, param, corners, firstTick - mark->TickQStart, iScale / 100.0);
    m_shownKey = key;
}

QPixmap InspectionAnalysisMetrFancy::drawDiagram(int testIndex, int group, int quest, int code)
{
    Inspection::_Test *test = m_inspection ? m_inspection->test(testIndex) : nullptr;
    const Inspection::_Label *mark = test ? test->findLabel(group, quest) : nullptr;
    if (!mark)
        return QPixmap();
    const int ia = test->ia.lengthTicks();
    const int width = bShowIA ? ia : ia + (mark->TickQEnd - mark->TickQStart) + 100;
    const int end = bShowIA ? mark->TickQEnd + ia : mark->TickQEnd + ia + 100;
    const int height = pictureHeight();
    if (width <= 0)
        return QPixmap();
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    drawG polygram(test, 1000);
    polygram.setRenderHints(painter);
    const QRect area(0, 0, width, height);
    polygram.fillReactionShades(painter, area, end, 0, test->labels);
    polygram.fillQuestionIntervals(painter, area, end, 0, test->labels);
    if (bShowQuestText)
        polygram.drawLabels(painter, area, end, 0, test->labels);
    polygram.drawChannelCurve(painter, area, end, 0, code, false, false);
    polygram.drawChannelBand(painter, area, code, true, isSixteenBitUnit(test->idsensor));
    return pixmap;
}

// The review screen is asked to show where the current cell's question starts.
void InspectionAnalysisMetrFancy::emitShowPlace()
{
    const QModelIndex current = m_tree->currentIndex();
    if (current.row() == 0 && current.column() == 0)
        return;
    const CellKey key = currentCellKey();
    const CellPlace place = placeOf(key);
    if (place.param)
        emit notifyShowPoligrammeFromMetr(key.test, place.mark->TickQStart, place.param->nKodChannel);
}

void InspectionAnalysisMetrFancy::storeMeasurement()
{
    const CellKey key = currentCellKey();
    const CellPlace place = placeOf(key);
    // The corners belong to the cell the picture was loaded for.
    if (!place.param || !m_label->isLoaded() || !(key == m_shownKey))
        return;
    Inspection::_Test *test = place.test;
    const _QLabel::Corners &corners = m_label->corners();
    const int code = place.param->nKodChannel;
    Inspection::_MetricValuation record;
    record.iGroup = key.group;
    record.iQuest = key.quest;
    record.uidParam = key.uid;
    record.ptStart_x = corners.x1;
    record.ptStart_y = MetricMeasure::valueToPanelY(*test, code, corners.y1, -1);
    record.ptEnd_x = corners.x2;
    record.ptEnd_y = MetricMeasure::valueToPanelY(*test, code, corners.y2, -1);
    // What the readout shows is what is stored.
    record.nValue = m_label->currentValue();
    const auto store = [&record](Inspection::_Test &t) {
        t.valuationMetric[record.iGroup][record.iQuest][record.uidParam] = record;
    };
    if (!changeValues(test, store)) {
        // The corners and readout as the file holds them, as the table shows.
        fillResultsTree(true);
        updateDiagram();
        return;
    }
    fillResultsTree(true);
    selectNextCell();
}
