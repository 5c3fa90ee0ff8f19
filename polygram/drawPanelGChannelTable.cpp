// Panel painter: the channel set-up table.
#include "drawPanelG.h"

#include "InputState.h"
#include "data/DefChannel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QVector>

namespace {

const QColor kRowFill(0, 0, 255, 50);
const QColor kSelectedFill(0, 255, 0, 50);
const QColor kCellHoverFill(100, 100, 100, 150);
const QColor kRowHoverFill(200, 200, 200, 150);
const QColor kInk(0, 0, 0);
// Texts wider than their column are not cut: font metrics differ between systems.
const int kCentred = Qt::AlignCenter | Qt::TextDontClip;

const char *const kHeadings[] = {
    QT_TRANSLATE_NOOP("drawPanelG", "ширина"),      QT_TRANSLATE_NOOP("drawPanelG", "положение"),
    QT_TRANSLATE_NOOP("drawPanelG", "усиление"),    QT_TRANSLATE_NOOP("drawPanelG", "смещение"),
    QT_TRANSLATE_NOOP("drawPanelG", "инверсия"),    QT_TRANSLATE_NOOP("drawPanelG", "фильтр"),
    QT_TRANSLATE_NOOP("drawPanelG", "контраст"),    QT_TRANSLATE_NOOP("drawPanelG", "труба"),
    QT_TRANSLATE_NOOP("drawPanelG", "сохраненный"),
};

enum Column {
    WidthColumn,
    PositionColumn,
    GainColumn,
    ShiftColumn,
    InverseColumn,
    FilterColumn,
    ContrastColumn,
    TubeColumn,
    SavedColumn
};

bool isSet(const bool *flag) { return flag && *flag; }

void setFlag(bool *flag, bool value)
{
    if (flag)
        *flag = value;
}

bool hasSamples(const Inspection::_Test &test, int code)
{
    const QVector<qint16> *samples = test.samples(code);
    return samples && !samples->isEmpty();
}

bool hasContrast(int code)
{
    return code == ChannelCode::GSR || code == ChannelCode::PG || code == ChannelCode::AD ||
           code == ChannelCode::ADVANCED;
}

QString number(double value) { return QString::number(value, 'g', 6); }

// One draw of the table. A click is a left button that was down at the
// previous draw and is up now, over the box.
struct SetupTable {
    QPoint at;
    int width;
    float column;
    float first;
    QPoint cursor;
    bool released;
    bool shift;
    bool ctrl;
    int selectedCode;
    const QFont &plainFont;
    const QFont &boldFont;
    const PanelState::CellTable &before;
    PanelState::CellTable &cells;

    int columnLeft(int k) const { return int(first + k * column); }
    QRect cellRect(int k, int top, int h) const { return QRect(columnLeft(k), top, int(column), h); }
    int boxLeft(int k) const { return int(first + k * column + column / 2); }
    static QRect box(int left, int top, int h)
    {
        return QRect(QPoint(left, top + 2), QPoint(left + h - 5, top + h - 3));
    }
    bool clicked(const QRect &rect) const { return released && rect.contains(cursor); }

    void flagBox(QPainter *painter, int left, int top, int h, bool *flag) const
    {
        const QRect rect = box(left, top, h);
        if (clicked(rect))
            setFlag(flag, !isSet(flag));
        drawPanelG::drawPanelFrame(painter, rect, isSet(flag));
    }

    void drawHeader(QPainter *painter, const QRect &panel, int h, int columns) const
    {
        painter->fillRect(panel, QColor(100, 100, 100, 75));
        painter->fillRect(QRect(at, QSize(width, h)), kRowFill);
        painter->setPen(kInk);
        for (int k = 0; k < columns; ++k)
            painter->drawText(cellRect(k, at.y(), h), kCentred, drawPanelG::tr(kHeadings[k]));
    }

    void drawName(QPainter *painter, int code, int top, int h) const
    {
        const QRect rect(at.x() + 10 + h, top, int(2 * column), h);
        painter->drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip,
                          DefChannel::channelName(code, false));
    }

    // Marks where the wheel acts, from the cells of the previous draw.
    void drawHover(QPainter *painter, int code) const
    {
        const auto mark = [&](PanelState::Cell cell) {
            if (before[cell][code].contains(cursor))
                painter->fillRect(before[cell][code], kCellHoverFill);
        };
        if (shift && ctrl) {
            mark(PanelState::ShiftCell);
            mark(PanelState::GainCell);
        } else if (shift) {
            mark(PanelState::PositionCell);
            mark(PanelState::WidthCell);
        }
        if (before[PanelState::RowCell][code].contains(cursor))
            painter->fillRect(before[PanelState::RowCell][code], kRowHoverFill);
    }

    void drawValues(QPainter *painter, const InspectionChannel &channel, int top, int h) const
    {
        const int shown = isSet(channel.Inverse) ? -channel.ShiftADT : channel.ShiftADT;
        const QString values[] = {number(channel.Amplify), number(channel.Offset), QString::number(channel.ADT),
                                  QString::number(shown)};
        for (int k = WidthColumn; k <= ShiftColumn; ++k)
            painter->drawText(cellRect(k, top, h), kCentred, values[k]);
        const int code = channel.Kod;
        cells[PanelState::RowCell][code] = QRect(at.x(), top, width, h);
        cells[PanelState::WidthCell][code] = cellRect(WidthColumn, top, h);
        cells[PanelState::PositionCell][code] = cellRect(PositionColumn, top, h);
        cells[PanelState::GainCell][code] = cellRect(GainColumn, top, h);
        cells[PanelState::ShiftCell][code] = cellRect(ShiftColumn, top, h);
    }

    // АД has two filters side by side, of which one at most is in force.
    void drawFilterSelectors(QPainter *painter, InspectionChannel &channel, int top, int h) const
    {
        const int size = h - 4;
        const QRect first = box(boxLeft(FilterColumn) - size / 2 - 1, top, h);
        const QRect second = box(boxLeft(FilterColumn) + size / 2 + 1, top, h);
        if (clicked(first)) {
            setFlag(channel.EnableFilter, !isSet(channel.EnableFilter));
            setFlag(channel.EnableFilter2, false);
        } else if (clicked(second)) {
            setFlag(channel.EnableFilter2, !isSet(channel.EnableFilter2));
            setFlag(channel.EnableFilter, false);
        }
        const bool secondInForce = isSet(channel.EnableFilter2);
        const bool firstInForce = !secondInForce && isSet(channel.EnableFilter);
        painter->setBrush(firstInForce ? QBrush(kInk) : Qt::NoBrush);
        painter->drawEllipse(first);
        painter->setBrush(secondInForce ? QBrush(kInk) : Qt::NoBrush);
        painter->drawEllipse(second);
        painter->setBrush(Qt::NoBrush);
    }

    void drawFilter(QPainter *painter, InspectionChannel &channel, int top, int h) const
    {
        if (channel.Kod == ChannelCode::AD)
            drawFilterSelectors(painter, channel, top, h);
        else if (channel.Kod == ChannelCode::PG || channel.Kod == ChannelCode::ADVANCED)
            flagBox(painter, boxLeft(FilterColumn), top, h, channel.EnableFilter);
    }

    // The width and position of a breathing tube.
    void drawTube(QPainter *painter, InspectionChannel &channel, int top, int h) const
    {
        const QRect rect = box(boxLeft(TubeColumn), top, h);
        if (clicked(rect)) {
            channel.Amplify = 21.0;
            channel.Offset = 250.0;
            setFlag(channel.Amp2, false);
        }
        drawPanelG::drawPanelFrame(painter, rect, channel.Amplify == 21.0 && channel.Offset == 250.0);
    }

    // Copying the saved set-up marks only the unit's values that change as
    // pending, so the reader sends no more than it must.
    void drawSaved(QPainter *painter, InspectionChannel &channel, const InspectionChannel &saved, int top, int h) const
    {
        const QRect rect = box(boxLeft(SavedColumn), top, h);
        if (clicked(rect)) {
            if (channel.ADT != saved.ADT) {
                channel.ADT = saved.ADT;
                channel.ADTChanged = true;
            }
            if (channel.ShiftADT != saved.ShiftADT) {
                channel.ShiftADT = saved.ShiftADT;
                channel.ShiftADTChanged = true;
            }
            channel.Amplify = saved.Amplify;
            channel.Offset = saved.Offset;
        }
        drawPanelG::drawPanelFrame(painter, rect,
                                   channel.ADT == saved.ADT && channel.ShiftADT == saved.ShiftADT &&
                                       channel.Amplify == saved.Amplify && channel.Offset == saved.Offset);
    }

    // Returns the row's height.
    int drawEnabledRow(QPainter *painter, InspectionChannel &channel, const DefChannel &saved, bool extended,
                       int top) const
    {
        const int code = channel.Kod;
        drawHover(painter, code);
        painter->setFont(code == selectedCode ? boldFont : plainFont);
        const int h = QFontMetrics(painter->font(), painter->device()).height();
        painter->fillRect(QRect(at.x(), top, width, h), code == selectedCode ? kSelectedFill : kRowFill);
        if (shift) {
            const int k = ctrl ? GainColumn : WidthColumn;
            painter->fillRect(QRect(columnLeft(k), top, columnLeft(k + 2) - columnLeft(k), h), kSelectedFill);
        }
        painter->setPen(kInk);
        flagBox(painter, at.x() + 5, top, h, channel.Enable);
        drawName(painter, code, top, h);
        drawValues(painter, channel, top, h);
        flagBox(painter, boxLeft(InverseColumn), top, h, channel.Inverse);
        drawFilter(painter, channel, top, h);
        if (hasContrast(code))
            flagBox(painter, boxLeft(ContrastColumn), top, h, channel.Amp2);
        drawTube(painter, channel, top, h);
        const InspectionChannel *stored = saved.findByCode(code);
        if (extended && stored)
            drawSaved(painter, channel, *stored, top, h);
        return h;
    }

    void drawDisabledRow(QPainter *painter, InspectionChannel &channel, int top, int h) const
    {
        painter->setPen(kInk);
        flagBox(painter, at.x() + 5, top, h, channel.Enable);
        drawName(painter, channel.Kod, top, h);
    }
};

}  // namespace

void drawPanelG::drawChannelStatusPanel(QPainter *painter, const QPoint &cursor, bool pressed, int selectedCode,
                                        const QSize &area, const DefChannel &saved, bool extended)
{
    if (!test)
        return;
    Inspection::_Test &t = *test;
    int present = 0;
    int enabled = 0;
    for (int code = 0; code < ChannelCode::Count; ++code) {
        const InspectionChannel &channel = t.channel(code);
        if (channel.KodDrv >= 0 && hasSamples(t, code)) {
            ++present;
            enabled += isSet(channel.Enable);
        }
    }
    // Taken before any click of this draw, so a row toggled now moves at the next one.
    QVector<InspectionChannel *> enabledRows;
    QVector<InspectionChannel *> disabledRows;
    for (int position = 0; position < ChannelCode::Count; ++position) {
        InspectionChannel *channel = t.channelAtPosition(position);
        if (channel && hasSamples(t, channel->Kod))
            (isSet(channel->Enable) ? enabledRows : disabledRows).append(channel);
    }

    PanelState &state = PanelState::instance();
    const int h = QFontMetrics(plainFont, painter->device()).height();
    const int width = extended ? 800 : 700;
    const QPoint at((area.width() - width) / 2, (area.height() - (present + 1) * h) / 2);
    const QRect panel(at, QSize(width, (present + 1) * h));
    const float column = (width - 5) / 11.8f;
    const InputState input = InputState::current();
    const bool released = !(input.buttons & Qt::LeftButton) && (state.previousButtons() & Qt::LeftButton);
    const PanelState::CellTable before = state.cells();
    PanelState::CellTable cells{};
    const SetupTable table{at,
                           width,
                           column,
                           at.x() + 5 + 3 * column - (extended ? 40 : 0),
                           cursor,
                           released,
                           input.modifiers.testFlag(Qt::ShiftModifier),
                           input.modifiers.testFlag(Qt::ControlModifier),
                           selectedCode,
                           plainFont,
                           boldFont,
                           before,
                           cells};

    painter->setFont(smallFont);
    table.drawHeader(painter, panel, h, extended ? 9 : 8);
    int top = at.y() + h;
    for (InspectionChannel *channel : enabledRows)
        top += table.drawEnabledRow(painter, *channel, saved, extended, top);
    painter->setFont(plainFont);
    top = at.y() + h + enabled * h;
    for (InspectionChannel *channel : disabledRows) {
        table.drawDisabledRow(painter, *channel, top, h);
        top += h;
    }

    state.setCells(cells);
    state.setPreviousButtons(int(input.buttons));
    state.setPosition(PanelState::SetupTablePanel, at);
    settlePanel(PanelState::SetupTablePanel, panel, cursor, pressed, SetupTableId);
}
