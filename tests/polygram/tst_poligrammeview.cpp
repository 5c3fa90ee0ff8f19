#include "data/GenericSettings.h"
#include "polygram/PoligrammeView.h"
#include "tests/polygram/PanelFixtures.h"
#include "tests/polygram/PolygramFixture.h"
#include "tests/polygram/RecordingPaintDevice.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

// The view's picture and state without a window: painted into images and the
// recording device.
class TestPoligrammeView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void paintsOnlyWhiteWithoutTestOrWhenNarrow();
    void markCaptionsFollowTheViewSettings();
    void labelAtTickLooksOneTickEitherWay();
    void visibleTicksStopAtTheRecordingsEnd();
    void setTestPicksTheFirstShownChannel();
    void blinkLastsOneSecondAndRestarts();
    void measuringSlotsSwitchModes();

private:
    // Texts painted with the given settings for the view labels.
    QStringList paintedTexts(bool labels, bool yesNo);

    PolygramFixture *fixture = nullptr;
    PoligrammeView *view = nullptr;
};

void TestPoligrammeView::init()
{
    resetPanels();
    fixture = new PolygramFixture;
    fixture->fillOneHour();
    view = new PoligrammeView;
    view->resize(1000, 600);
}

void TestPoligrammeView::cleanup()
{
    delete view;
    delete fixture;
    InputState::replace({});
}

QStringList TestPoligrammeView::paintedTexts(bool labels, bool yesNo)
{
    GenericSettings settings;
    settings.load();
    settings.bEnableShowTextLabelForView = labels;
    settings.bEnableShowTextLabelYasNoForView = yesNo;
    settings.save();
    view->setTest(nullptr, &fixture->test, -1);
    RecordingPaintDevice device(view->size());
    QPainter painter(&device);
    view->paint(painter);
    return device.textStrings();
}

void TestPoligrammeView::paintsOnlyWhiteWithoutTestOrWhenNarrow()
{
    const auto paintsWhite = [this] {
        QImage image(view->size(), QImage::Format_ARGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        view->paint(painter);
        painter.end();
        QImage white(view->size(), QImage::Format_ARGB32);
        white.fill(Qt::white);
        return image == white;
    };
    QVERIFY(paintsWhite());
    view->setTest(nullptr, &fixture->test, -1);
    QVERIFY(!paintsWhite());
    view->resize(99, 600);
    QVERIFY(paintsWhite());
    view->resize(100, 600);
    QVERIFY(!paintsWhite());
}

void TestPoligrammeView::markCaptionsFollowTheViewSettings()
{
    const auto count = [](const QStringList &texts, const QString &part) {
        return std::count_if(texts.begin(), texts.end(), [&](const QString &t) { return t.contains(part); });
    };
    const QStringList all = paintedTexts(true, true);
    QVERIFY(count(all, QStringLiteral("Вопрос")) >= 4);
    QVERIFY(count(all, QStringLiteral("Да")) + count(all, QStringLiteral("Нет")) >= 2);

    const QStringList noYesNo = paintedTexts(true, false);
    QCOMPARE(count(noYesNo, QStringLiteral("Вопрос")), count(all, QStringLiteral("Вопрос")));
    QCOMPARE(noYesNo.count(QStringLiteral("Да")) + noYesNo.count(QStringLiteral("Нет")), 0);

    QCOMPARE(count(paintedTexts(false, true), QStringLiteral("Вопрос")), 0);
}

void TestPoligrammeView::labelAtTickLooksOneTickEitherWay()
{
    const QVector<Inspection::_Label> &labels = fixture->test.labels;
    // Marks start at 100, 300, 500 ...
    QCOMPARE(PoligrammeView::labelAtTick(labels, 99), 0);
    QCOMPARE(PoligrammeView::labelAtTick(labels, 101), 0);
    QCOMPARE(PoligrammeView::labelAtTick(labels, 98), -1);
    QCOMPARE(PoligrammeView::labelAtTick(labels, 102), -1);
    QCOMPARE(PoligrammeView::labelAtTick(labels, 301), 1);

    // A null question's mark is not highlighted.
    const Inspection::_Test &test = fixture->test;
    QVERIFY(!test.labelsNULL.isEmpty());
    view->setTest(nullptr, &fixture->test, -1);
    view->startLabelBlink(test.labelsNULL.first().TickQStart);
    QCOMPARE(view->highlightedLabel(), -1);
}

void TestPoligrammeView::visibleTicksStopAtTheRecordingsEnd()
{
    QCOMPARE(view->visibleTicks(), 1000);
    view->setSweep(2500);
    view->setPosition(10);
    QCOMPARE(view->visibleTicks(), 2525);  // 2500 × 1010 / 1000
    view->setTest(nullptr, &fixture->test, -1);
    view->setSweep(4000);
    view->setPosition(PolygramFixture::kHour / 4 - 500);
    QCOMPARE(view->visibleTicks(), PolygramFixture::kHour);
}

void TestPoligrammeView::setTestPicksTheFirstShownChannel()
{
    view->setPosition(300);
    view->setTest(nullptr, &fixture->test, ChannelCode::PG);
    QCOMPARE(view->currentChannel(), int(ChannelCode::PG));
    QCOMPARE(view->visibleTicks(), 1000);  // the position starts again at 0

    // The first channel in display order is switched off.
    const int first = nextEnabledChannel(fixture->test, -1, 1);
    *fixture->test.channel(first).Enable = false;
    view->setTest(nullptr, &fixture->test, -1);
    QVERIFY(view->currentChannel() != first);
    QCOMPARE(view->currentChannel(), nextEnabledChannel(fixture->test, -1, 1));
}

void TestPoligrammeView::blinkLastsOneSecondAndRestarts()
{
    view->setTest(nullptr, &fixture->test, -1);
    view->startLabelBlink(150);  // no mark starts there
    QCOMPARE(view->highlightedLabel(), -1);

    QElapsedTimer clock;
    clock.start();
    view->startLabelBlink(300);
    QCOMPARE(view->highlightedLabel(), 1);
    QTest::qWait(600);
    view->startLabelBlink(500);
    const qint64 restarted = clock.elapsed();
    QCOMPARE(view->highlightedLabel(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(view->highlightedLabel(), -1, 3000);
    // Ended by the second call's timer, not the first one's.
    QVERIFY(clock.elapsed() - restarted >= 950);
}

void TestPoligrammeView::measuringSlotsSwitchModes()
{
    view->onStartMetr(true, true);
    QCOMPARE(view->mode(), int(PoligrammeView::MeasureHorizontal));
    QCOMPARE(view->cursor().hotSpot(), QPoint(4, 4));
    QVERIFY(!view->cursor().pixmap().isNull());
    view->onStartMetr(false, true);
    QCOMPARE(view->mode(), int(PoligrammeView::MeasureVertical));
    view->onStartMetr(false, false);
    QCOMPARE(view->mode(), int(PoligrammeView::Normal));
    QCOMPARE(view->cursor().shape(), Qt::ArrowCursor);
    view->onStartLabelPositionChange(true);
    QCOMPARE(view->mode(), int(PoligrammeView::LabelMoving));
    view->onStartLabelPositionChange(false);
    QCOMPARE(view->mode(), int(PoligrammeView::Normal));
}

VUG_TEST_MAIN(TestPoligrammeView, QApplication)
#include "tst_poligrammeview.moc"
