#include "data/DefChannel.h"
#include "polygram/drawPanelG.h"
#include "tests/polygram/PanelFixtures.h"
#include "tests/polygram/RecordingPaintDevice.h"
#include "tests/support/TestHome.h"

#include <QPainter>
#include <QThread>

namespace {

const QSize kArea(1000, 800);
enum Column { Width, Position, Gain, Shift, Inverse, Filter, Contrast, Tube, Saved };

// The recorded channels in display order: ВДХ, НДХ (switched off), КГР, ПГ,
// Доп. канал, АД and Д. в манжете (off by default).
class SetupTableFixture
{
public:
    SetupTableFixture()
    {
        recordChannels(test, {ChannelCode::GSR, ChannelCode::RG_LO, ChannelCode::RG_HI, ChannelCode::PG,
                              ChannelCode::AD, ChannelCode::ADVANCED, ChannelCode::AD2});
        channelsUI()[ChannelCode::RG_LO].bEnable = false;
    }

    void draw(const QPoint &cursor, bool extended = false, int selected = -1)
    {
        device.clear();
        QPainter painter(&device);
        drawPanelG::resetHitRects();
        panels.drawChannelStatusPanel(&painter, cursor, false, selected, kArea, saved, extended);
    }

    // Holds the left button over the point for two draws, then lets it go.
    void click(const QPoint &point, bool extended = false)
    {
        fakeInput().buttons = Qt::LeftButton;
        draw(point, extended);
        draw(point, extended);
        fakeInput().buttons = Qt::NoButton;
        draw(point, extended);
    }

    int lineHeight() const
    {
        return QFontMetrics(QFont(QGuiApplication::font().family(), QGuiApplication::font().pointSize()), &device)
            .height();
    }
    int tableLeft(bool extended) const { return (kArea.width() - (extended ? 800 : 700)) / 2; }
    float column(bool extended) const { return ((extended ? 800 : 700) - 5) / 11.8f; }
    float first(bool extended) const { return tableLeft(extended) + 5 + 3 * column(extended) - (extended ? 40 : 0); }
    int rowTop(int code) const { return drawPanelG::channelCell(PanelState::RowCell, code).top(); }

    // The middle of the check box of a column (or the Enable box for -1) in a channel's row.
    QPoint box(int code, int col, bool extended = false) const
    {
        const float c = column(extended);
        const int left = col < 0 ? tableLeft(extended) + 5 : int(first(extended) + col * c + c / 2);
        return QPoint(left + (lineHeight() - 4) / 2, rowTop(code) + lineHeight() / 2);
    }

    // Check boxes (unfilled rectangles) drawn within a row.
    int boxesInRow(int code) const
    {
        const int top = rowTop(code);
        return int(std::count_if(device.rects().begin(), device.rects().end(), [top](const RecordedRect &r) {
            return r.brush.style() == Qt::NoBrush && r.rect.top() > top && r.rect.bottom() < top + 30;
        }));
    }

    // Whether the box around the point is drawn crossed.
    bool crossed(const QPoint &point) const
    {
        return std::any_of(device.lines().begin(), device.lines().end(), [&](const RecordedLine &l) {
            return qAbs(l.line.center().x() - point.x()) <= 2 && qAbs(l.line.center().y() - point.y()) <= 2;
        });
    }

    Inspection::_Test test;
    drawPanelG panels{&test};
    DefChannel saved;
    RecordingPaintDevice device{QSize(1000, 800)};
};

QStringList channelNamesDrawn(const RecordingPaintDevice &device)
{
    QStringList names;
    for (const RecordedText &text : device.texts()) {
        for (int code = 0; code < ChannelCode::Count; ++code) {
            if (text.text == DefChannel::channelName(code, false))
                names << text.text;
        }
    }
    return names;
}

}  // namespace

class TestPanelChannelTable : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetPanels(); }
    void rowsFollowDisplayPositionsDisabledLast();
    void tableIsCentredAndWiderWhenExtended();
    void clickActsOnReleaseOnly();
    void inversionAndFilterBoxes();
    void bloodPressureFilterSelectorsExcludeEachOther();
    void contrastOnlyForItsChannels();
    void tubeBoxSetsTheBreathingTube();
    void savedBoxCopiesAndMarksOnlyChangedUnitValues();
    void shiftIsShownNegatedWhenInverted();
    void wheelCellsAreMarkedUnderShift();
    void enablingADisabledChannel();
    void savedSetupIdentifier();
    void inputStateOffTheGuiThreadIsThePublishedSnapshot();
};

void TestPanelChannelTable::rowsFollowDisplayPositionsDisabledLast()
{
    SetupTableFixture f;
    f.draw(QPoint(0, 0));
    QCOMPARE(
        channelNamesDrawn(f.device),
        (QStringList{QStringLiteral("ВДХ"), QStringLiteral("КГР"), QStringLiteral("ПГ"), QStringLiteral("Доп. канал"),
                     QStringLiteral("АД"), QStringLiteral("НДХ"), QStringLiteral("Д. в манжете")}));
    const int h = f.lineHeight();
    const int y0 = (kArea.height() - 8 * h) / 2;
    QCOMPARE(f.rowTop(ChannelCode::RG_HI), y0 + h);
    QCOMPARE(f.rowTop(ChannelCode::AD), y0 + 5 * h);
    QCOMPARE(drawPanelG::channelCell(PanelState::ShiftCell, ChannelCode::GSR).top(), y0 + 2 * h);
    // Switched-off channels follow the five switched-on rows and have no cells.
    const RecordedText *off = f.device.findText(QStringLiteral("НДХ"));
    QVERIFY(off->pos.y() > y0 + 6 * h && off->pos.y() <= y0 + 7 * h);
    QVERIFY(drawPanelG::channelCell(PanelState::RowCell, ChannelCode::RG_LO).isNull());
    QVERIFY(drawPanelG::channelCell(PanelState::GainCell, ChannelCode::AD2).isNull());
    QVERIFY(drawPanelG::channelCell(PanelState::RowCell, ChannelCode::TRM).isNull());
}

void TestPanelChannelTable::tableIsCentredAndWiderWhenExtended()
{
    SetupTableFixture f;
    const int h = f.lineHeight();
    const QStringList headings{QStringLiteral("ширина"),   QStringLiteral("положение"), QStringLiteral("усиление"),
                               QStringLiteral("смещение"), QStringLiteral("инверсия"),  QStringLiteral("фильтр"),
                               QStringLiteral("контраст"), QStringLiteral("труба")};
    f.draw(QPoint(0, 0));
    const QRect narrow(QPoint(150, (kArea.height() - 8 * h) / 2), QSize(700, 8 * h));
    QCOMPARE(f.device.rectsFilledWith(QColor(100, 100, 100, 75)).first().rect.toRect(), narrow);
    QCOMPARE(PanelState::instance().hitRect(PanelState::SetupTablePanel), narrow);
    QCOMPARE(PanelState::instance().position(PanelState::SetupTablePanel), narrow.topLeft());
    QCOMPARE(f.device.textStrings().mid(0, 8), headings);
    QVERIFY(!f.device.findText(QStringLiteral("сохраненный")));
    QVERIFY(drawPanelG::panelAt(narrow.topLeft(), 0));

    f.draw(QPoint(0, 0), true);
    QCOMPARE(PanelState::instance().hitRect(PanelState::SetupTablePanel).width(), 800);
    QCOMPARE(PanelState::instance().hitRect(PanelState::SetupTablePanel).left(), 100);
    QCOMPARE(f.device.textStrings().mid(0, 9), headings + QStringList{QStringLiteral("сохраненный")});
    // The saved column has a box in every switched-on row.
    QCOMPARE(f.boxesInRow(ChannelCode::RG_HI), 4);
}

void TestPanelChannelTable::clickActsOnReleaseOnly()
{
    SetupTableFixture f;
    f.draw(QPoint(0, 0));
    const QPoint inverse = f.box(ChannelCode::RG_HI, Inverse);
    bool &inverted = channelsUI()[ChannelCode::RG_HI].bInverse;
    QVERIFY(!inverted);

    fakeInput().buttons = Qt::LeftButton;
    f.draw(inverse);
    f.draw(inverse);
    QVERIFY(!inverted);
    QVERIFY(!f.crossed(inverse));
    fakeInput().buttons = Qt::NoButton;
    f.draw(inverse);
    QVERIFY(inverted);
    QVERIFY(f.crossed(inverse));
    f.draw(inverse);
    QVERIFY(inverted);

    // A press elsewhere released over the box still counts as a click there.
    fakeInput().buttons = Qt::LeftButton;
    f.draw(QPoint(0, 0));
    fakeInput().buttons = Qt::NoButton;
    f.draw(QPoint(0, 0));
    QVERIFY(inverted);
}

void TestPanelChannelTable::inversionAndFilterBoxes()
{
    SetupTableFixture f;
    f.draw(QPoint(0, 0));
    f.click(f.box(ChannelCode::GSR, Inverse));
    QVERIFY(channelsUI()[ChannelCode::GSR].bInverse);

    QVERIFY(!channelsUI()[ChannelCode::PG].bEnableFilter);
    f.click(f.box(ChannelCode::PG, Filter));
    QVERIFY(channelsUI()[ChannelCode::PG].bEnableFilter);
    QVERIFY(f.crossed(f.box(ChannelCode::PG, Filter)));
    f.click(f.box(ChannelCode::ADVANCED, Filter));
    QVERIFY(channelsUI()[ChannelCode::ADVANCED].bEnableFilter);
    // Other channels have no filter control.
    f.click(f.box(ChannelCode::RG_HI, Filter));
    QVERIFY(!channelsUI()[ChannelCode::RG_HI].bEnableFilter);
}

void TestPanelChannelTable::bloodPressureFilterSelectorsExcludeEachOther()
{
    SetupTableFixture f;
    f.draw(QPoint(0, 0));
    const ChannelUI &ad = channelsUI()[ChannelCode::AD];
    const int size = f.lineHeight() - 4;
    const QPoint middle = f.box(ChannelCode::AD, Filter);
    const QPoint first = middle - QPoint(size / 2 + 1, 0);
    const QPoint second = middle + QPoint(size / 2 + 1, 0);

    f.click(first);
    QVERIFY(ad.bEnableFilter && !ad.bEnableFilter2);
    f.click(second);
    QVERIFY(!ad.bEnableFilter && ad.bEnableFilter2);
    f.click(first);
    QVERIFY(ad.bEnableFilter && !ad.bEnableFilter2);
    f.click(first);
    QVERIFY(!ad.bEnableFilter && !ad.bEnableFilter2);

    // Filter 2 is the one in force when both flags are set: only its selector is filled.
    channelsUI()[ChannelCode::AD].bEnableFilter = true;
    channelsUI()[ChannelCode::AD].bEnableFilter2 = true;
    f.draw(QPoint(0, 0));
    QVector<QPointF> filled;
    for (const RecordedPolyline &shape : f.device.polylines()) {
        if (shape.brush.style() != Qt::NoBrush && shape.brush.color() == QColor(Qt::black))
            filled << shape.points.boundingRect().center();
    }
    QCOMPARE(filled.size(), 1);
    QVERIFY(qAbs(filled.first().x() - second.x()) <= 2);
}

void TestPanelChannelTable::contrastOnlyForItsChannels()
{
    SetupTableFixture f;
    f.draw(QPoint(0, 0));
    // Enable, inversion and tube everywhere; filter and contrast where they apply.
    QCOMPARE(f.boxesInRow(ChannelCode::RG_HI), 3);
    QCOMPARE(f.boxesInRow(ChannelCode::GSR), 4);
    QCOMPARE(f.boxesInRow(ChannelCode::PG), 5);
    QCOMPARE(f.boxesInRow(ChannelCode::ADVANCED), 5);
    QCOMPARE(f.boxesInRow(ChannelCode::AD), 4);

    f.click(f.box(ChannelCode::GSR, Contrast));
    QVERIFY(channelsUI()[ChannelCode::GSR].bAmp2);
    f.click(f.box(ChannelCode::AD, Contrast));
    QVERIFY(channelsUI()[ChannelCode::AD].bAmp2);
    f.click(f.box(ChannelCode::RG_HI, Contrast));
    QVERIFY(!channelsUI()[ChannelCode::RG_HI].bAmp2);
}

void TestPanelChannelTable::tubeBoxSetsTheBreathingTube()
{
    SetupTableFixture f;
    InspectionChannel &upper = f.test.channel(ChannelCode::RG_HI);
    upper.Amplify = 25.0;
    upper.Offset = 410.0;
    channelsUI()[ChannelCode::RG_HI].bAmp2 = true;
    f.draw(QPoint(0, 0));
    QVERIFY(!f.crossed(f.box(ChannelCode::RG_HI, Tube)));

    f.click(f.box(ChannelCode::RG_HI, Tube));
    QCOMPARE(upper.Amplify, 21.0);
    QCOMPARE(upper.Offset, 250.0);
    QVERIFY(!channelsUI()[ChannelCode::RG_HI].bAmp2);
    QVERIFY(f.crossed(f.box(ChannelCode::RG_HI, Tube)));
    f.draw(QPoint(0, 0));
    QVERIFY(f.device.findText(QStringLiteral("21")));
    QVERIFY(f.device.findText(QStringLiteral("250")));
}

void TestPanelChannelTable::savedBoxCopiesAndMarksOnlyChangedUnitValues()
{
    SetupTableFixture f;
    InspectionChannel &pg = f.test.channel(ChannelCode::PG);
    pg.ADT = 7;
    pg.ShiftADT = 10;
    pg.Amplify = 15.0;
    pg.Offset = 100.0;
    InspectionChannel &stored = *f.saved.findByCode(ChannelCode::PG);
    stored.ADT = 7;
    stored.ShiftADT = -120;
    stored.Amplify = 2.5;
    stored.Offset = 300.0;
    f.draw(QPoint(0, 0), true);
    QVERIFY(!f.crossed(f.box(ChannelCode::PG, Saved, true)));

    f.click(f.box(ChannelCode::PG, Saved, true), true);
    QCOMPARE(pg.ShiftADT, -120);
    QCOMPARE(pg.Amplify, 2.5);
    QCOMPARE(pg.Offset, 300.0);
    QVERIFY(pg.ShiftADTChanged);
    QVERIFY(!pg.ADTChanged);
    QVERIFY(f.crossed(f.box(ChannelCode::PG, Saved, true)));

    // Now the unit's gain differs only.
    pg.ShiftADTChanged = false;
    pg.ADT = 3;
    f.click(f.box(ChannelCode::PG, Saved, true), true);
    QCOMPARE(pg.ADT, 7);
    QVERIFY(pg.ADTChanged);
    QVERIFY(!pg.ShiftADTChanged);
}

void TestPanelChannelTable::shiftIsShownNegatedWhenInverted()
{
    SetupTableFixture f;
    f.test.channel(ChannelCode::PG).ShiftADT = 100;  // ПГ is inverted by default
    f.test.channel(ChannelCode::RG_HI).ShiftADT = 55;
    f.test.channel(ChannelCode::RG_HI).Amplify = 2.5;
    f.draw(QPoint(0, 0));

    const QRect pgShift = drawPanelG::channelCell(PanelState::ShiftCell, ChannelCode::PG);
    const RecordedText *negated = f.device.findText(QStringLiteral("-100"));
    QVERIFY(negated);
    QVERIFY(pgShift.contains(negated->pos.toPoint() - QPoint(0, 2)));
    QVERIFY(f.device.findText(QStringLiteral("55")));
    const RecordedText *width = f.device.findText(QStringLiteral("2.5"));
    QVERIFY(width);
    QVERIFY(drawPanelG::channelCell(PanelState::WidthCell, ChannelCode::RG_HI)
                .contains(width->pos.toPoint() - QPoint(0, 2)));
}

void TestPanelChannelTable::wheelCellsAreMarkedUnderShift()
{
    SetupTableFixture f;
    f.draw(QPoint(0, 0));
    const QRect gain = drawPanelG::channelCell(PanelState::GainCell, ChannelCode::GSR);
    const QRect offset = drawPanelG::channelCell(PanelState::PositionCell, ChannelCode::GSR);
    const QColor hover(100, 100, 100, 150);

    fakeInput().modifiers = Qt::ShiftModifier | Qt::ControlModifier;
    f.draw(gain.center());
    QCOMPARE(f.device.rectsFilledWith(hover).size(), 1);
    QCOMPARE(f.device.rectsFilledWith(hover).first().rect.toRect(), gain);
    QCOMPARE(f.device.rectsFilledWith(QColor(200, 200, 200, 150)).size(), 1);
    f.draw(offset.center());
    QVERIFY(f.device.rectsFilledWith(hover).isEmpty());

    fakeInput().modifiers = Qt::ShiftModifier;
    f.draw(offset.center());
    QCOMPARE(f.device.rectsFilledWith(hover).size(), 1);
    QCOMPARE(f.device.rectsFilledWith(hover).first().rect.toRect(), offset);
    // Shift marks the display columns of every switched-on row.
    const QVector<RecordedRect> green = f.device.rectsFilledWith(QColor(0, 255, 0, 50));
    QCOMPARE(green.size(), 5);
    QCOMPARE(green.first().rect.left(), drawPanelG::channelCell(PanelState::WidthCell, ChannelCode::GSR).left());

    fakeInput().modifiers = Qt::NoModifier;
    f.draw(offset.center());
    QVERIFY(f.device.rectsFilledWith(hover).isEmpty());
    QVERIFY(f.device.rectsFilledWith(QColor(0, 255, 0, 50)).isEmpty());
    f.draw(QPoint(0, 0), false, ChannelCode::GSR);
    QCOMPARE(f.device.rectsFilledWith(QColor(0, 255, 0, 50)).size(), 1);
}

void TestPanelChannelTable::enablingADisabledChannel()
{
    SetupTableFixture f;
    f.draw(QPoint(0, 0));
    const int h = f.lineHeight();
    const int y0 = (kArea.height() - 8 * h) / 2;
    // НДХ is the first switched-off row, below the five switched-on ones.
    f.click(QPoint(150 + 5 + (h - 4) / 2, y0 + 6 * h + h / 2));
    QVERIFY(channelsUI()[ChannelCode::RG_LO].bEnable);
    f.draw(QPoint(0, 0));
    QCOMPARE(f.rowTop(ChannelCode::RG_LO), y0 + 2 * h);

    f.click(f.box(ChannelCode::GSR, -1));
    QVERIFY(!channelsUI()[ChannelCode::GSR].bEnable);
}

void TestPanelChannelTable::savedSetupIdentifier()
{
    QCOMPARE(SavedSetupId, QUuid(QStringLiteral("{bf1fba5b-f5c1-4042-807c-772b14617321}")));
}

void TestPanelChannelTable::inputStateOffTheGuiThreadIsThePublishedSnapshot()
{
    InputState::replace({});
    InputState::publish({QPoint(5, 6), Qt::LeftButton, Qt::ShiftModifier});
    InputState seen;
    QThread *thread = QThread::create([&] { seen = InputState::current(); });
    thread->start();
    thread->wait();
    delete thread;
    QCOMPARE(seen.cursor, QPoint(5, 6));
    QCOMPARE(seen.buttons, Qt::MouseButtons(Qt::LeftButton));
    QCOMPARE(seen.modifiers, Qt::KeyboardModifiers(Qt::ShiftModifier));
    // The GUI thread asks the window system.
    QCOMPARE(InputState::current().buttons, Qt::MouseButtons(Qt::NoButton));
}

VUG_TEST_MAIN(TestPanelChannelTable, QGuiApplication)
#include "tst_panelchanneltable.moc"
