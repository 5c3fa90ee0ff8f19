#include "polygram/drawG.h"
#include "tests/polygram/PolygramFixture.h"
#include "tests/polygram/RecordingPaintDevice.h"
#include "tests/support/TestHome.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRegularExpression>

#include <functional>

namespace {

// W = 1000 and n = 1000 at one tick a pixel: a tick's pixel is its x.
const QRect kArea(0, 0, 1000, 400);
constexpr int kRightTick = 1000;

const QColor kQuestionFill(127, 127, 127);
const QColor kAnswerFill(255, 255, 128);

Inspection::_Label mark(int group, int theme, int qStart, int qEnd, int aStart = 0, int aEnd = 0)
{
    Inspection::_Label label;
    label.Group = qint16(group);
    label.Theme = qint16(theme);
    label.TickQStart = qStart;
    label.TickQEnd = qEnd;
    label.TickAStart = aStart;
    label.TickAEnd = aEnd;
    return label;
}

// Questions of every caption form and a pause of ten seconds (200 pixels).
class MarksFixture : public PolygramFixture
{
public:
    MarksFixture()
    {
        addQuestion(QStringLiteral("Вы Иван?"), QuestionKind::Neutral, 1);
        addQuestion(QStringLiteral("Вы лгали?"), QuestionKind::Control, 0);
        addQuestion(QStringLiteral("Вы взяли деньги?"), QuestionKind::Test, -1);
        addQuestion(QStringLiteral("Did you take it?"), QuestionKind::IntR, 1).Number = 2;
        addQuestion(QStringLiteral("Вы курите?"), QuestionKind::Control, -1);
        test.addNullTheme(QStringLiteral("Тишина"));
        test.themisNULL[0].Answer = 1;
        test.ia.nIALength = 10;
    }

    Inspection::_Theme &addQuestion(const QString &text, int kind, int answer)
    {
        test.themis.append(Inspection::_Theme(text, kind));
        test.themis.last().Answer = qint16(answer);
        return test.themis.last();
    }
};

using Draw = std::function<void(drawG &, QPainter &)>;

std::unique_ptr<RecordingPaintDevice> record(drawG &painter, const Draw &draw)
{
    auto device = std::make_unique<RecordingPaintDevice>();
    QPainter qp(device.get());
    draw(painter, qp);
    qp.end();
    return device;
}

QVector<QRectF> fills(const RecordingPaintDevice &device, const QColor &color)
{
    QVector<QRectF> rects;
    for (const RecordedRect &rect : device.rectsFilledWith(color))
        rects << rect.rect;
    return rects;
}

bool isShade(const QColor &color)
{
    static const QVector<QColor> shades{{255, 255, 224, 255}, {230, 230, 199, 230}, {205, 205, 174, 205},
                                        {180, 180, 149, 155}, {155, 155, 124, 105}, {200, 255, 255, 255}};
    return shades.contains(color);
}

// What a primitive belongs to; marks of labels lie left of x = 500, null marks right of it.
QString side(qreal x) { return x < 500 ? QStringLiteral(":labels") : QStringLiteral(":null"); }

QString layerOf(const RecordedRect &rect)
{
    const QColor color = rect.brush.color();
    if (color == kQuestionFill)
        return "questions" + side(rect.rect.left());
    if (color == kAnswerFill)
        return "answers" + side(rect.rect.left());
    if (isShade(color))
        return "shades" + side(rect.rect.left());
    return "other";
}

QString layerOf(const RecordedText &text)
{
    static const QRegularExpression time(QStringLiteral("^\\d\\d:\\d\\d$"));
    if (time.match(text.text).hasMatch())
        return QStringLiteral("time");
    if (text.text.startsWith(QStringLiteral("КГР")) || text.text.startsWith(QStringLiteral("Пульс")))
        return QStringLiteral("values");
    if (text.text == QStringLiteral("Да") || text.text == QStringLiteral("Нет"))
        return "answer texts" + side(text.pos.x());
    return "captions" + side(text.pos.x());
}

// Light grey: the grid, its borders and ticks; any other line is a curve's.
QString layerOf(const RecordedLine &line)
{
    return line.pen.color() == QColor(Qt::lightGray) ? QStringLiteral("time") : QStringLiteral("curves");
}

// Layers by the sequence number of their primitives.
QMap<int, QString> layersInOrder(const RecordingPaintDevice &device)
{
    QMap<int, QString> layers;
    for (const RecordedRect &rect : device.rects())
        layers.insert(rect.sequence, layerOf(rect));
    for (const RecordedText &text : device.texts())
        layers.insert(text.sequence, layerOf(text));
    for (const RecordedLine &line : device.lines())
        layers.insert(line.sequence, layerOf(line));
    return layers;
}

QSet<QString> layersOf(const RecordingPaintDevice &device)
{
    const QList<QString> layers = layersInOrder(device).values();
    return QSet<QString>(layers.begin(), layers.end());
}

}  // namespace

class TestDrawGMarks : public QObject
{
    Q_OBJECT
private slots:
    void captionForms();
    void answerTextsOnlyWithTheirOption();
    void markOfAMissingQuestion();
    void markWithoutStartShowsNearTheRecordingStart();
    void questionIntervals();
    void answerIntervals();
    void reactionShades();
    void shadeWidthIsThePauseUnrounded();
    void highlightedMark();
    void valueCaptions();
    void valueCaptionsNearTheBufferEnds();
    void pulseWaitsForTheReactionWhileRecording();
    void gridOptionTakesTheCaptionStrips();
    void eachOptionSwitchesItsLayers_data();
    void eachOptionSwitchesItsLayers();
    void drawOrder();
};

void TestDrawGMarks::captionForms()
{
    MarksFixture fixture;
    drawG painter(&fixture.test, 1000);
    const drawG::Labels marks{mark(2, 10000, 100, 160), mark(1, 3, 200, 260), mark(3, 4, 300, 360),
                              mark(1, 0, 400, 460)};
    const auto device =
        record(painter, [&](drawG &p, QPainter &qp) { p.drawLabels(qp, kArea, kRightTick, 0, marks); });

    QCOMPARE(device->textStrings(), (QStringList{"II.00   Тишина", "Да", "I.R2   Did you take it?", "Да",
                                                 "III.05К   Вы курите?", "I.01Н   Вы Иван?", "Да"}));
    // Reading upward from 10 pixels above the bottom, baseline 15 right of the end.
    const int lineHeight = QFontMetrics(painter.captionFont).height();
    QCOMPARE(device->texts()[0].pos, QPointF(175, 389));
    QCOMPARE(device->texts()[1].pos, QPointF(175 + lineHeight, 389));
    QCOMPARE(device->texts()[0].transform.map(QPointF(1, 0)) - device->texts()[0].transform.map(QPointF()),
             QPointF(0, -1));
    QCOMPARE(device->texts()[0].color, QColor(94, 94, 94));
    QCOMPARE(device->texts()[2].color, QColor(127, 0, 0));
    QCOMPARE(device->texts()[4].color, QColor(0, 0, 127));
    QCOMPARE(device->texts()[5].color, QColor(0, 127, 0));
    QCOMPARE(device->texts()[0].font.family(), painter.captionFont.family());
}

void TestDrawGMarks::answerTextsOnlyWithTheirOption()
{
    MarksFixture fixture;
    drawG painter(&fixture.test, 1000);
    const drawG::Labels marks{mark(1, 0, 100, 160), mark(1, 1, 200, 260), mark(1, 2, 300, 360)};
    const auto draw = [&](drawG &p, QPainter &qp) { p.drawLabels(qp, kArea, kRightTick, 0, marks); };

    QCOMPARE(record(painter, draw)->textStrings(),
             (QStringList{"I.01Н   Вы Иван?", "Да", "I.02К   Вы лгали?", "Нет", "I.03П   Вы взяли деньги?"}));
    painter.options &= ~drawG::AnswerTexts;
    QCOMPARE(record(painter, draw)->textStrings(),
             (QStringList{"I.01Н   Вы Иван?", "I.02К   Вы лгали?", "I.03П   Вы взяли деньги?"}));
}

void TestDrawGMarks::markOfAMissingQuestion()
{
    // A plan changed during the recording, or a damaged file.
    MarksFixture fixture;
    drawG painter(&fixture.test, 1000);
    const drawG::Labels marks{mark(1, 50, 100, 160), mark(2, 10007, 200, 260), mark(1, -3, 300, 360)};
    const auto device =
        record(painter, [&](drawG &p, QPainter &qp) { p.drawLabels(qp, kArea, kRightTick, 0, marks); });
    QCOMPARE(device->textStrings(), (QStringList{"I.51?   ", "II.00   ", "I.-02?   "}));
    QCOMPARE(device->texts()[0].color, QColor(94, 94, 94));
}

void TestDrawGMarks::markWithoutStartShowsNearTheRecordingStart()
{
    MarksFixture fixture;
    drawG painter(&fixture.test, 1000);
    const drawG::Labels marks{mark(1, 0, 0, 60), mark(1, 1, 300, 300)};
    const auto captionsAt = [&](int n) {
        return record(painter, [&](drawG &p, QPainter &qp) { p.drawLabels(qp, kArea, n, 0, marks); })
            ->textStrings();
    };
    // Start and end equal: never a caption. No start: while the left edge is within one pause of 0.
    QCOMPARE(captionsAt(1200), (QStringList{"I.01Н   Вы Иван?", "Да"}));
    QCOMPARE(captionsAt(1201), QStringList());
}

void TestDrawGMarks::questionIntervals()
{
    MarksFixture fixture;
    drawG painter(&fixture.test, 1000);
    const drawG::Labels marks{mark(1, 0, 100, 160), mark(1, 1, 500, 502),   mark(1, 2, 0, 300),
                              mark(1, 0, 600, 600), mark(1, 1, 1240, 1250), mark(1, 2, -300, -250)};
    const auto draw = [&](float xShift) {
        return record(painter, [&](drawG &p, QPainter &qp) {
            p.fillQuestionIntervals(qp, kArea, kRightTick, xShift, marks);
        });
    };
    QCOMPARE(fills(*draw(0), kQuestionFill), (QVector<QRectF>{QRectF(100, 0, 60, 400), QRectF(500, 0, 5, 400),
                                                              QRectF(290, 0, 10, 400), QRectF(600, 0, 399, 400)}));
    QCOMPARE(fills(*draw(2.5f), kQuestionFill).first(), QRectF(97.5, 0, 60, 400));
    QCOMPARE(fills(*draw(2.5f), kQuestionFill).last(), QRectF(597.5, 0, 401.5, 400));
}

void TestDrawGMarks::answerIntervals()
{
    MarksFixture fixture;
    drawG painter(&fixture.test, 1000);
    const drawG::Labels marks{mark(1, 0, 100, 160, 170, 185), mark(1, 1, 600, 660, 700, 702),
                              mark(1, 2, 700, 760, 800, 800), mark(1, 0, 900, 960, 0, 0)};
    auto device =
        record(painter, [&](drawG &p, QPainter &qp) { p.fillAnswerIntervals(qp, kArea, kRightTick, 0, marks); });
    QCOMPARE(fills(*device, kAnswerFill), (QVector<QRectF>{QRectF(170, 0, 15, 400), QRectF(700, 0, 2, 400),
                                                          QRectF(800, 0, 199, 400)}));

    // Integer rectangles: a shifted start is truncated, and so is the width.
    device =
        record(painter, [&](drawG &p, QPainter &qp) { p.fillAnswerIntervals(qp, kArea, kRightTick, 2.5f, marks); });
    QCOMPARE(fills(*device, kAnswerFill).first(), QRectF(167, 0, 15, 400));
}

void TestDrawGMarks::reactionShades()
{
    MarksFixture fixture;
    drawG painter(&fixture.test, 1000);
    drawG::Labels marks;
    const QVector<int> groups{1, 2, 3, 4, 5, 6, 0, -1};
    for (int i = 0; i < groups.size(); ++i)
        marks << mark(groups[i], 0, 50 + 100 * i, 60 + 100 * i);
    marks << mark(1, 0, -100, -50) << mark(1, 0, 900, 999);
    const auto device =
        record(painter, [&](drawG &p, QPainter &qp) { p.fillReactionShades(qp, kArea, kRightTick, 7, marks); });

    const QVector<QColor> expected{{255, 255, 224, 255}, {230, 230, 199, 230}, {205, 205, 174, 205},
                                   {180, 180, 149, 155}, {155, 155, 124, 105}, {255, 255, 224, 255},
                                   {255, 255, 224, 255}, {255, 255, 224, 255}, {255, 255, 224, 255}};
    QCOMPARE(device->rects().size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(device->rects()[i].brush.color(), expected[i]);
    // The pause after the end, cut at the area; xShift does not move shades.
    QCOMPARE(device->rects()[0].rect, QRectF(60, 0, 200, 400));
    QCOMPARE(device->rects()[7].rect, QRectF(760, 0, 200, 400));
    QCOMPARE(device->rects()[8].rect, QRectF(0, 0, 150, 400));
}

void TestDrawGMarks::shadeWidthIsThePauseUnrounded()
{
    // 1750 ticks per 1000 pixels: ten seconds are 114.29 pixels.
    MarksFixture fixture;
    drawG painter(&fixture.test, 1750);
    const drawG::Labels marks{mark(1, 0, 600, 700)};
    const auto device =
        record(painter, [&](drawG &p, QPainter &qp) { p.fillReactionShades(qp, kArea, 1750, 0, marks); });
    QCOMPARE(device->rects().first().rect.left(), 400.0);
    QCOMPARE(device->rects().first().rect.width(), 200000.0 / 1750);
}

void TestDrawGMarks::highlightedMark()
{
    MarksFixture fixture;
    fixture.test.labels = {mark(1, 0, 100, 160, 170, 185), mark(2, 1, 300, 360, 370, 385)};
    fixture.test.labelsNULL = {mark(1, 10000, 600, 660, 670, 685)};
    drawG painter(&fixture.test, 1000);
    painter.options = drawG::ReactionShades | drawG::AnswerIntervals | drawG::NullMarks | drawG::NullReactionShades;
    painter.highlightLabel = 0;
    const auto device =
        record(painter, [&](drawG &p, QPainter &qp) { p.drawPolygram(qp, kArea, kRightTick, 0); });

    // Light cyan for the highlighted mark only, never during the null marks' shades.
    QCOMPARE(fills(*device, QColor(200, 255, 255, 255)), QVector<QRectF>{QRectF(160, 0, 200, 400)});
    QCOMPARE(fills(*device, QColor(255, 255, 224, 255)), QVector<QRectF>{QRectF(660, 0, 200, 400)});
    // Its answer, and the answer of the same index in the null list, stay unfilled.
    QCOMPARE(fills(*device, kAnswerFill), QVector<QRectF>{QRectF(370, 0, 15, 400)});
    QCOMPARE(painter.highlightLabel, 0);
}

void TestDrawGMarks::valueCaptions()
{
    MarksFixture fixture;
    QVector<qint16> level(1000, 0);
    level[300] = 100;
    QVector<qint16> pulse(1000, 1200);
    pulse[400] = 1500;
    pulse[450] = 1000;
    pulse[560] = 0;  // one past the reaction window
    *fixture.test.samples(ChannelCode::GSR_C) = level;
    *fixture.test.samples(ChannelCode::TGM) = pulse;
    fixture.test.recorded = true;
    drawG painter(&fixture.test, 1000);
    const drawG::Labels marks{mark(1, 0, 300, 360), mark(1, 1, 500, 500)};
    const auto device =
        record(painter, [&](drawG &p, QPainter &qp) { p.drawValueCaptions(qp, kArea, kRightTick, 0, marks); });

    QCOMPARE(device->textStrings(), (QStringList{"КГР (ТС)=2147", "Пульс min=60", "Пульс max=90"}));
    QCOMPARE(device->texts()[0].pos, QPointF(370, 20));
    QCOMPARE(device->texts()[1].pos, QPointF(370, 40));
    QCOMPARE(device->texts()[2].pos, QPointF(370, 60));
    QCOMPARE(device->texts()[0].color, QColor(127, 127, 127));
    QCOMPARE(device->texts()[0].font.family(), QGuiApplication::font().family());

    // A zero in the window is a pulse of 0.
    pulse[420] = 0;
    *fixture.test.samples(ChannelCode::TGM) = pulse;
    QCOMPARE(record(painter, [&](drawG &p, QPainter &qp) {
                 p.drawValueCaptions(qp, kArea, kRightTick, 0, marks);
             })->textStrings()[1],
             QStringLiteral("Пульс min=0"));
}

void TestDrawGMarks::valueCaptionsNearTheBufferEnds()
{
    // A finished recording of 250 ticks; one mark after its end, one moved before its start.
    MarksFixture fixture;
    *fixture.test.samples(ChannelCode::GSR_C) = QVector<qint16>(250, 3);
    *fixture.test.samples(ChannelCode::TGM) = QVector<qint16>(250, 1100);
    fixture.test.recorded = true;
    drawG painter(&fixture.test, 1000);
    const drawG::Labels marks{mark(1, 0, 300, 360), mark(1, 1, -20, 40)};
    const auto device =
        record(painter, [&](drawG &p, QPainter &qp) { p.drawValueCaptions(qp, kArea, kRightTick, 0, marks); });
    QCOMPARE(device->textStrings(),
             (QStringList{"Пульс min=1000", "Пульс max=0", "Пульс min=66", "Пульс max=66"}));
}

void TestDrawGMarks::pulseWaitsForTheReactionWhileRecording()
{
    MarksFixture fixture;
    *fixture.test.samples(ChannelCode::GSR_C) = QVector<qint16>(1000, 3);
    *fixture.test.samples(ChannelCode::TGM) = QVector<qint16>(1000, 1100);
    drawG painter(&fixture.test, 1000);
    const drawG::Labels marks{mark(1, 0, 700, 800), mark(1, 1, 740, 799)};
    const auto device =
        record(painter, [&](drawG &p, QPainter &qp) { p.drawValueCaptions(qp, kArea, kRightTick, 0, marks); });
    // 800 + 200 is not before the current tick yet; 799 + 200 is.
    QCOMPARE(device->textStrings(),
             (QStringList{"КГР (ТС)=2050", "КГР (ТС)=2050", "Пульс min=66", "Пульс max=66"}));
}

void TestDrawGMarks::gridOptionTakesTheCaptionStrips()
{
    MarksFixture fixture;
    fixture.test.labels = {mark(1, 0, 100, 160)};
    drawG painter(&fixture.test, 1000);
    const int strip = drawG::captionStripHeight();
    const auto draw = [&](drawG &p, QPainter &qp) { p.drawPolygram(qp, kArea, kRightTick, 0); };

    auto device = record(painter, draw);
    QCOMPARE(fills(*device, kQuestionFill), QVector<QRectF>{QRectF(100, strip, 60, 400 - 2 * strip)});
    QVERIFY(layersOf(*device).contains(QStringLiteral("time")));

    painter.options &= ~drawG::TimeGrid;
    device = record(painter, draw);
    QCOMPARE(fills(*device, kQuestionFill), QVector<QRectF>{QRectF(100, 0, 60, 400)});
    QVERIFY(!layersOf(*device).contains(QStringLiteral("time")));
}

void TestDrawGMarks::eachOptionSwitchesItsLayers_data()
{
    QTest::addColumn<int>("bit");
    QTest::addColumn<QStringList>("layers");

    QTest::newRow("0x001") << 0x001 << QStringList{"time"};
    QTest::newRow("0x002") << 0x002 << QStringList{};
    QTest::newRow("0x004") << 0x004 << QStringList{};
    QTest::newRow("0x008") << 0x008
                           << QStringList{"shades:null", "answers:null", "questions:null", "captions:null",
                                          "answer texts:null"};
    QTest::newRow("0x010") << 0x010
                           << QStringList{"captions:labels", "captions:null", "answer texts:labels",
                                          "answer texts:null"};
    QTest::newRow("0x020") << 0x020 << QStringList{"shades:labels", "shades:null"};
    QTest::newRow("0x040") << 0x040 << QStringList{"questions:labels"};
    QTest::newRow("0x080") << 0x080 << QStringList{"answers:labels", "answers:null"};
    QTest::newRow("0x100") << 0x100 << QStringList{"answer texts:labels", "answer texts:null"};
    QTest::newRow("0x200") << 0x200 << QStringList{"values"};
    QTest::newRow("0x400") << 0x400 << QStringList{"questions:null"};
    QTest::newRow("0x800") << 0x800 << QStringList{"shades:null"};
}

// Marks of labels left of x = 500, null marks right of it, one curve.
struct LayeredFixture : MarksFixture {
    LayeredFixture()
    {
        for (int k = 1; k <= 3; ++k)
            test.appendLabel(mark(1, k - 1, 100 * k, 100 * k + 30, 100 * k + 35, 100 * k + 55));
        for (int k = 6; k <= 8; ++k)
            test.appendLabel(mark(1, 10000, 100 * k, 100 * k + 30, 100 * k + 35, 100 * k + 55));
        test.ia.nIALength = 5;
        for (int code : {ChannelCode::GSR, ChannelCode::GSR_C, ChannelCode::TGM})
            *test.samples(code) = QVector<qint16>(kRightTick, 1100);
        test.recorded = true;
        looks[ChannelCode::GSR].bEnable = true;
        looks[ChannelCode::GSR_C].bEnable = false;
        looks[ChannelCode::TGM].bEnable = false;
    }
};

void TestDrawGMarks::eachOptionSwitchesItsLayers()
{
    QFETCH(int, bit);
    QFETCH(QStringList, layers);

    LayeredFixture fixture;
    drawG painter(&fixture.test, 1000);
    const auto draw = [&](drawG &p, QPainter &qp) { p.drawPolygram(qp, kArea, kRightTick, 0); };
    const QSet<QString> all = layersOf(*record(painter, draw));
    QCOMPARE(all.size(), 13);
    painter.options &= ~bit;
    const QSet<QString> without = layersOf(*record(painter, draw));
    QCOMPARE(all - without, QSet<QString>(layers.begin(), layers.end()));
    QVERIFY(without.contains(QStringLiteral("curves")));
}

void TestDrawGMarks::drawOrder()
{
    LayeredFixture fixture;
    drawG painter(&fixture.test, 1000);
    const auto device =
        record(painter, [&](drawG &p, QPainter &qp) { p.drawPolygram(qp, kArea, kRightTick, 0); });

    // Answer texts go with their captions.
    QStringList order;
    for (QString layer : layersInOrder(*device)) {
        layer.replace(QStringLiteral("answer texts"), QStringLiteral("captions"));
        if (order.isEmpty() || order.last() != layer)
            order << layer;
    }
    QCOMPARE(order, (QStringList{"shades:null", "shades:labels", "answers:null", "answers:labels", "time",
                                 "questions:null", "questions:labels", "captions:null", "captions:labels",
                                 "values", "curves"}));
}

VUG_TEST_MAIN(TestDrawGMarks, QGuiApplication)
#include "tst_drawgmarks.moc"
