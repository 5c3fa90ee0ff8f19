#include "polygram/drawPanelG.h"
#include "tests/polygram/PanelFixtures.h"
#include "tests/polygram/RecordingPaintDevice.h"
#include "tests/support/TestHome.h"

#include <QPainter>

namespace {

const QString kLong = QStringLiteral("Вы когда-нибудь брали деньги у компании?!");  // 41 characters
const QPoint kAt(20, 380);
const QPoint kAway(1500, 50);

InspectionOrder entry(int theme, int group)
{
    InspectionOrder order;
    order.Theme = qint16(theme);
    order.Group = qint16(group);
    return order;
}

// Three questions presented in every one of groups presentations.
Inspection::_Test threeQuestions(int groups)
{
    Inspection::_Test test;
    test.addNeutralTheme(QStringLiteral("Вас зовут Иван?"));
    test.addControlTheme(QStringLiteral("Вы обманывали родителей?"));
    test.addTestTheme(kLong);
    test.orders = {entry(-1, -1)};
    for (int g = 1; g <= groups; ++g) {
        test.orders << entry(-1, g);
        for (int i = 0; i < test.themis.size(); ++i)
            test.orders << entry(i, g);
    }
    return test;
}

struct Drawn {
    QRect rect;
    QVector<RecordedText> texts;
    QVector<RecordedRect> highlights;
};

Drawn drawProgress(Inspection::_Test &test, const QPoint &cursor, bool collapse, int position, int alpha = 100)
{
    RecordingPaintDevice device;
    {
        drawPanelG panels(&test);
        QPainter painter(&device);
        panels.drawInspectionPanel(&painter, cursor, false, collapse, position);
    }
    return {PanelState::instance().hitRect(PanelState::ProgressPanel), device.texts(),
            device.rectsFilledWith(QColor(50, 0, 255, alpha))};
}

int boldWidth(const QString &text)
{
    RecordingPaintDevice device;
    return QFontMetrics(applicationBoldFont(), &device).horizontalAdvance(text);
}

int lineHeight()
{
    RecordingPaintDevice device;
    return QFontMetrics(QGuiApplication::font(), &device).height();
}

QStringList textsAt(const Drawn &drawn, int x)
{
    QStringList found;
    for (const RecordedText &text : drawn.texts) {
        if (qRound(text.pos.x()) == x)
            found << text.text;
    }
    return found;
}

// Captions whose right end is at x.
QStringList captionsEndingAt(const Drawn &drawn, int x)
{
    RecordingPaintDevice device;
    QStringList found;
    for (const RecordedText &text : drawn.texts) {
        const int right = qRound(text.pos.x()) + QFontMetrics(text.font, &device).horizontalAdvance(text.text);
        if (right == x)
            found << text.text;
    }
    return found;
}

InspectionLabel mark(int group, int theme, int start, int end)
{
    InspectionLabel label;
    label.Group = qint16(group);
    label.Theme = qint16(theme);
    label.TickQStart = start;
    label.TickQEnd = end;
    return label;
}

}  // namespace

class TestPanelProgress : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetPanels(); }
    void collapsedTableShortensLongQuestions();
    void expandedTableShowsWholeQuestions();
    void currentPresentationIsHighlighted();
    void emptyPlanLeavesTheGroupColumnsOnly();
    void unevenPresentationsLeaveCellsEmpty();
    void missingQuestionLeavesItsCellsEmpty();
};

void TestPanelProgress::collapsedTableShortensLongQuestions()
{
    Inspection::_Test test = threeQuestions(2);
    const Drawn drawn = drawProgress(test, kAway, true, 0);

    const int h = lineHeight();
    const int shortWidth = boldWidth(kLong.left(40) + QStringLiteral("...")) + 50;
    QCOMPARE(drawn.rect, QRect(kAt, QSize(2 * 50 + 40 + shortWidth, h / 2 + 3 * h)));
    QCOMPARE(textsAt(drawn, kAt.x() + 50),
             (QStringList{QStringLiteral("Вас зовут Иван?"), QStringLiteral("Вы обманывали родителей?"),
                          kLong.left(40) + QStringLiteral("...")}));
    QCOMPARE(textsAt(drawn, kAt.x() + 10),
             (QStringList{QStringLiteral("01Н"), QStringLiteral("02К"), QStringLiteral("03П")}));
    QCOMPARE(drawn.texts.first().color, QColor(120, 0, 0, 100));
    // Each row has one caption per presentation, right-aligned in its column.
    for (int k = 0; k < 2; ++k) {
        QCOMPARE(captionsEndingAt(drawn, kAt.x() + shortWidth + 40 + k * 50),
                 (QStringList{QStringLiteral("01Н"), QStringLiteral("02К"), QStringLiteral("03П")}));
    }
}

void TestPanelProgress::expandedTableShowsWholeQuestions()
{
    Inspection::_Test test = threeQuestions(2);
    const int fullWidth = boldWidth(kLong) + 50;
    const Drawn over = drawProgress(test, kAt + QPoint(5, 5), true, 0);
    QCOMPARE(over.rect.width(), 2 * 50 + 40 + fullWidth);
    QVERIFY(textsAt(over, kAt.x() + 50).contains(kLong));
    QCOMPARE(over.texts.first().color, QColor(0, 0, 0, 255));

    // Not collapsed: full width, but the text stays short while the cursor is away.
    const Drawn open = drawProgress(test, kAway, false, 0);
    QCOMPARE(open.rect.width(), 2 * 50 + 40 + fullWidth);
    QVERIFY(textsAt(open, kAt.x() + 50).contains(kLong.left(40) + QStringLiteral("...")));
}

void TestPanelProgress::currentPresentationIsHighlighted()
{
    Inspection::_Test test = threeQuestions(2);
    const Drawn unmarked = drawProgress(test, kAway, true, 120);
    QVERIFY(unmarked.highlights.isEmpty());
    QVERIFY(std::none_of(unmarked.texts.begin(), unmarked.texts.end(),
                         [](const RecordedText &t) { return t.font.bold(); }));

    test.appendLabel(mark(1, 2, 20, 40));
    test.appendLabel(mark(2, 1, 100, 150));
    const Drawn drawn = drawProgress(test, kAway, true, 120);
    const int h = lineHeight();
    RecordingPaintDevice device;
    const int s = QFontMetrics(QGuiApplication::font(), &device).strikeOutPos();
    const int baseline = kAt.y() + 2 * h;  // the second question's row
    const int columnEnd = drawn.rect.width() - 2 * 50 - 40 + kAt.x() + 40 + 50;

    // The question column lists presentation 2, its second question in bold.
    QCOMPARE(textsAt(drawn, kAt.x() + 10),
             (QStringList{QStringLiteral("01Н"), QStringLiteral("02К"), QStringLiteral("03П")}));
    QStringList bold;
    for (const RecordedText &text : drawn.texts) {
        if (text.font.bold())
            bold << text.text;
    }
    QCOMPARE(bold,
             (QStringList{QStringLiteral("02К"), QStringLiteral("02К"), QStringLiteral("Вы обманывали родителей?")}));
    QCOMPARE(drawn.highlights.size(), 2);
    const int left = columnEnd - boldWidth(QStringLiteral("02К"));
    QCOMPARE(drawn.highlights[0].rect.toRect(),
             QRect(QPoint(left, baseline - h + s), QPoint(left + 49, baseline + s - 1)));
    QCOMPARE(
        drawn.highlights[1].rect.toRect(),
        QRect(QPoint(kAt.x(), baseline - h + s), QPoint(kAt.x() + drawn.rect.width() - 140 - 1, baseline + s - 1)));

    // Before the first mark the first presentation is listed and nothing is marked.
    const Drawn before = drawProgress(test, kAway, true, 10);
    QVERIFY(before.highlights.isEmpty());
}

void TestPanelProgress::emptyPlanLeavesTheGroupColumnsOnly()
{
    Inspection::_Test test;
    const int h = lineHeight();
    Drawn drawn = drawProgress(test, kAway, true, 0);
    QCOMPARE(drawn.rect, QRect(kAt, QSize(40, h / 2)));
    QVERIFY(drawn.texts.isEmpty());

    test.addNeutralTheme(QStringLiteral("Вас зовут Иван?"));
    test.orders = {entry(-1, -1)};
    drawn = drawProgress(test, kAway, false, 0);
    QCOMPARE(drawn.rect, QRect(kAt, QSize(40, h / 2 + h)));
    QVERIFY(drawn.texts.isEmpty());
}

void TestPanelProgress::unevenPresentationsLeaveCellsEmpty()
{
    // The second presentation lost its last question: the third row's cell lies past the plan.
    Inspection::_Test test = threeQuestions(2);
    test.orders.removeLast();
    const Drawn drawn = drawProgress(test, kAway, true, 0);
    const int textWidth = drawn.rect.width() - 2 * 50 - 40;
    QCOMPARE(captionsEndingAt(drawn, kAt.x() + textWidth + 40),
             (QStringList{QStringLiteral("01Н"), QStringLiteral("02К"), QStringLiteral("03П")}));
    QCOMPARE(captionsEndingAt(drawn, kAt.x() + textWidth + 90),
             (QStringList{QStringLiteral("01Н"), QStringLiteral("02К")}));

    // A presentation added during the recording is longer than the first.
    Inspection::_Test longer = threeQuestions(2);
    longer.addTestTheme(QStringLiteral("Вы взяли?"));
    longer.orders << entry(3, 2);
    const Drawn grown = drawProgress(longer, kAway, true, 0);
    QCOMPARE(grown.rect.height(), lineHeight() / 2 + 4 * lineHeight());
    QVERIFY(!grown.texts.isEmpty());
}

void TestPanelProgress::missingQuestionLeavesItsCellsEmpty()
{
    Inspection::_Test test = threeQuestions(2);
    test.orders[7].Theme = 7;  // presentation 2 names a question the test does not have
    test.appendLabel(mark(2, 0, 100, 150));
    const Drawn drawn = drawProgress(test, kAway, true, 120);

    const int textWidth = drawn.rect.width() - 2 * 50 - 40;
    QCOMPARE(captionsEndingAt(drawn, kAt.x() + textWidth + 90),
             (QStringList{QStringLiteral("01Н"), QStringLiteral("03П")}));
    QCOMPARE(textsAt(drawn, kAt.x() + 10), (QStringList{QStringLiteral("01Н"), QStringLiteral("03П")}));
    for (const RecordedText &text : drawn.texts)
        QVERIFY2(!text.text.startsWith(QStringLiteral("08")), qPrintable(text.text));
}

VUG_TEST_MAIN(TestPanelProgress, QGuiApplication)
#include "tst_panelprogress.moc"
