#include "data/ChannelBindings.h"
#include "data/DefChannel.h"
#include "polygram/PoligrammeView.h"
#include "polygram/drawPanelG.h"
#include "tests/data/StoreFixtures.h"
#include "tests/polygram/PanelFixtures.h"
#include "tests/polygram/PolygramFixture.h"
#include "tests/polygram/RecordingPaintDevice.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QDialog>
#include <QPainter>
#include <QSignalSpy>

// The view on screen, driven by synthetic mouse and key events that pass
// through its application-wide filter. In the modes that read the cursor
// rather than the event, the fake input carries the cursor along.
class TestPoligrammeViewInput : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void drawsThroughOpenGL();
    void horizontalMeasureShowsSamplePositions();
    void verticalMeasureKeepsTheFirstX();
    void clickNearAnEndRemovesTheMeasurement();
    void measuringIgnoresOtherWidgets();
    void unansweredMarkMovesOnlyItsQuestion();
    void answeredMarkMovesWhole();
    void draggedMarkStaysInsideTheRecording();
    void pressOutsideTheViewDragsNoMark();
    void movedMarkIsSavedWithTheFile();
    void shiftKeysAdjustTheSelectedChannel();
    void shiftPagesStepThroughShownChannels();
    void channelDragEndsAtTheRelease();
    void setupViewShowsTheChannelTable();
    void shiftClickOnTheTableSelectsItsRow();
    void keysPassWhileADialogIsModal();

private:
    // Sends a mouse event to target at a point of the view, moving the fake cursor there.
    void mouse(QEvent::Type type, const QPoint &at, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               QWidget *target = nullptr);
    void click(const QPoint &at, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Drags from one view point to another with the left button.
    void drag(const QPoint &from, const QPoint &to, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Whether the filter took the key.
    bool key(int k, Qt::KeyboardModifiers modifiers, QEvent::Type type = QEvent::KeyPress);
    // Texts of one paint of the view.
    QStringList paintedTexts();
    // A point on the curve of a shown channel, found along one column.
    QPoint pointOnACurve(int x) const;

    PolygramFixture *fixture = nullptr;
    PoligrammeView *view = nullptr;
    QWidget *other = nullptr;
    Qt::MouseButtons held = Qt::NoButton;
};

void TestPoligrammeViewInput::init()
{
    resetPanels();
    fixture = new PolygramFixture;
    fixture->fillOneHour();
    view = new PoligrammeView;
    view->resize(1000, 600);
    view->move(0, 0);
    view->show();
    other = new QWidget;
    other->setGeometry(1100, 0, 300, 300);
    other->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    view->setTest(nullptr, &fixture->test, -1);
}

void TestPoligrammeViewInput::cleanup()
{
    delete other;
    delete view;
    delete fixture;
    held = Qt::NoButton;
}

void TestPoligrammeViewInput::mouse(QEvent::Type type, const QPoint &at, Qt::KeyboardModifiers modifiers,
                                    QWidget *target)
{
    target = target ? target : view;
    const QPoint global = view->mapToGlobal(at);
    fakeInput().cursor = global;
    Qt::MouseButton button = Qt::NoButton;
    if (type == QEvent::MouseButtonPress) {
        button = Qt::LeftButton;
        held = Qt::LeftButton;
    } else if (type == QEvent::MouseButtonRelease) {
        button = Qt::LeftButton;
        held = Qt::NoButton;
    }
    QMouseEvent event(type, target->mapFromGlobal(global), global, button, held, modifiers);
    QApplication::sendEvent(target, &event);
}

void TestPoligrammeViewInput::click(const QPoint &at, Qt::KeyboardModifiers modifiers)
{
    mouse(QEvent::MouseButtonPress, at, modifiers);
    mouse(QEvent::MouseButtonRelease, at, modifiers);
}

void TestPoligrammeViewInput::drag(const QPoint &from, const QPoint &to, Qt::KeyboardModifiers modifiers)
{
    mouse(QEvent::MouseButtonPress, from, modifiers);
    mouse(QEvent::MouseMove, to, modifiers);
    mouse(QEvent::MouseButtonRelease, to, modifiers);
}

bool TestPoligrammeViewInput::key(int k, Qt::KeyboardModifiers modifiers, QEvent::Type type)
{
    QKeyEvent event(type, k, modifiers);
    QApplication::sendEvent(view, &event);
    // The view itself ignores keys: an accepted one was taken by the filter.
    return event.isAccepted();
}

QStringList TestPoligrammeViewInput::paintedTexts()
{
    RecordingPaintDevice device(view->size());
    QPainter painter(&device);
    view->paint(painter);
    return device.textStrings();
}

QPoint TestPoligrammeViewInput::pointOnACurve(int x) const
{
    for (int y = 40; y < view->height() - 40; ++y)
        if (view->channelAt(QPoint(x, y)) >= 0)
            return QPoint(x, y);
    return QPoint();
}

void TestPoligrammeViewInput::drawsThroughOpenGL()
{
    const QImage shown = view->grabFramebuffer();
    QCOMPARE(shown.size(), view->size() * view->devicePixelRatioF());
    QImage white(shown.size(), shown.format());
    white.fill(Qt::white);
    QVERIFY(shown != white);
    view->setTest(nullptr, nullptr, -1);
    QCOMPARE(view->grabFramebuffer(), white);
    view->resize(800, 500);
    QCOMPARE(view->grabFramebuffer().size(), QSize(800, 500) * view->devicePixelRatioF());
}

// --- measuring ---

void TestPoligrammeViewInput::horizontalMeasureShowsSamplePositions()
{
    view->onStartMetr(true, true);
    click(QPoint(100, 300));
    click(QPoint(160, 330));
    QCOMPARE(view->measurementList().size(), 1);
    QCOMPARE(view->measurementList().first().second, QPointF(160, 300));
    QVERIFY(paintedTexts().contains(QStringLiteral("60")));

    view->onStartMetr(true, true);
    QVERIFY(view->measurementList().isEmpty());
    view->setSweep(2000);
    click(QPoint(100, 300));
    click(QPoint(160, 300));
    const QStringList texts = paintedTexts();
    QVERIFY(texts.contains(QStringLiteral("120")));
    QVERIFY(!texts.contains(QStringLiteral("60")));
}

void TestPoligrammeViewInput::verticalMeasureKeepsTheFirstX()
{
    view->onStartMetr(false, true);
    click(QPoint(100, 200));
    click(QPoint(400, 260));
    QCOMPARE(view->measurementList().size(), 1);
    QCOMPARE(view->measurementList().first().second, QPointF(100, 260));
    QVERIFY(paintedTexts().contains(QStringLiteral("60")));
    view->onStartMetr(false, false);
    QVERIFY(view->measurementList().isEmpty());
}

void TestPoligrammeViewInput::clickNearAnEndRemovesTheMeasurement()
{
    view->onStartMetr(true, true);
    click(QPoint(100, 300));
    click(QPoint(160, 300));
    click(QPoint(400, 100));
    click(QPoint(500, 100));
    click(QPoint(169, 290));  // within 10 of the first one's end
    QCOMPARE(view->measurementList().size(), 1);
    QCOMPARE(view->measurementList().first().first, QPointF(400, 100));
    QVERIFY(!view->measurementList().first().isOpen());
    click(QPoint(389, 111));  // just outside the other one: starts a new one
    QCOMPARE(view->measurementList().size(), 2);
}

void TestPoligrammeViewInput::measuringIgnoresOtherWidgets()
{
    view->onStartMetr(true, true);
    mouse(QEvent::MouseButtonPress, QPoint(200, 200), Qt::NoModifier, other);
    QVERIFY(view->measurementList().isEmpty());
}

// --- marks ---

void TestPoligrammeViewInput::unansweredMarkMovesOnlyItsQuestion()
{
    Inspection::_Test &test = fixture->test;
    test.labels[1].TickAStart = 0;
    test.labels[1].TickAEnd = 0;
    const auto starts = [](const QVector<Inspection::_Label> &labels) {
        QVector<int> ticks;
        for (const Inspection::_Label &label : labels)
            ticks << label.TickQStart << label.TickQEnd;
        return ticks;
    };
    const QVector<int> recorded = starts(test.labels);
    QVERIFY(test.labelsForRestore.isEmpty());
    view->onStartLabelPositionChange(true);

    mouse(QEvent::MouseButtonPress, QPoint(301, 300));
    QCOMPARE(view->movingLabel(), 1);
    mouse(QEvent::MouseMove, QPoint(350, 300));
    QCOMPARE(test.labels[1].TickQStart, 350);
    QCOMPARE(test.labels[1].TickQEnd, 410);
    QCOMPARE(test.labels[1].TickAStart, 0);
    QCOMPARE(test.labels[1].TickAEnd, 0);
    QCOMPARE(test.labelsForRestore[1].TickQStart, 300);
    mouse(QEvent::MouseMove, QPoint(360, 300));
    QVERIFY(!test.labelsModified);
    mouse(QEvent::MouseButtonRelease, QPoint(360, 300));
    QVERIFY(test.labelsModified);
    QCOMPARE(view->movingLabel(), -1);
    QCOMPARE(test.labels[1].TickQStart, 360);

    // A later drag keeps the marks as recorded.
    drag(QPoint(360, 300), QPoint(380, 300));
    QCOMPARE(test.labels[1].TickQStart, 380);
    QCOMPARE(starts(test.labelsForRestore), recorded);
}

void TestPoligrammeViewInput::answeredMarkMovesWhole()
{
    Inspection::_Test &test = fixture->test;
    view->onStartLabelPositionChange(true);
    drag(QPoint(100, 300), QPoint(90, 300));
    const Inspection::_Label &mark = test.labels[0];
    QCOMPARE(mark.TickQStart, 90);
    QCOMPARE(mark.TickQEnd, 150);
    QCOMPARE(mark.TickAStart, 160);
    QCOMPARE(mark.TickAEnd, 175);
}

void TestPoligrammeViewInput::draggedMarkStaysInsideTheRecording()
{
    Inspection::_Test &test = fixture->test;
    view->onStartLabelPositionChange(true);
    drag(QPoint(100, 300), QPoint(-500, 300));
    QCOMPARE(test.labels[0].TickQStart, 0);
    QCOMPARE(test.labels[0].TickQEnd, 60);
    QCOMPARE(test.labels[0].TickAEnd, 85);

    const int last = test.labels.size() - 1;
    const int start = test.labels[last].TickQStart;
    view->setPosition(PolygramFixture::kHour - 1000);
    const int x = start - (PolygramFixture::kHour - 1000);
    drag(QPoint(x, 300), QPoint(x + 2000, 300));
    QCOMPARE(test.labels[last].TickAEnd, PolygramFixture::kHour - 1);
    QCOMPARE(test.labels[last].TickQStart, PolygramFixture::kHour - 1 - 85);
}

void TestPoligrammeViewInput::pressOutsideTheViewDragsNoMark()
{
    view->onStartLabelPositionChange(true);
    // At the mark's x, below the view, in another widget.
    mouse(QEvent::MouseButtonPress, QPoint(100, 650), Qt::NoModifier, other);
    QCOMPARE(view->movingLabel(), -1);
    mouse(QEvent::MouseMove, QPoint(200, 650), Qt::NoModifier, other);
    mouse(QEvent::MouseButtonRelease, QPoint(200, 650), Qt::NoModifier, other);
    QCOMPARE(fixture->test.labels[0].TickQStart, 100);
    QVERIFY(!fixture->test.labelsModified);
}

void TestPoligrammeViewInput::movedMarkIsSavedWithTheFile()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("subject.vug"));
    {
        Inspection written;
        written.path = path;
        written.appendTest(StoreFixtures::recordedTest(QStringLiteral("Тест"), 3000));
        StoreFixtures::saveTests(written);
    }
    {
        auto inspection = std::make_unique<Inspection>();
        QCOMPARE(inspection->load(path), StoreResult::Ok);
        Inspection::_Test *test = inspection->test(0);
        QVERIFY(test);
        QCOMPARE(inspection->loadRecording(test), StoreResult::Ok);
        bindChannelSettings(*test, false);
        view->setTest(inspection.get(), test, -1);
        QVERIFY(!paintedTexts().isEmpty());
        view->onStartMetr(true, true);
        click(QPoint(100, 300));
        click(QPoint(160, 300));
        QVERIFY(paintedTexts().contains(QStringLiteral("60")));
        view->onStartMetr(true, false);

        // The second mark starts at 101.
        QCOMPARE(test->labels[1].TickQStart, 101);
        view->onStartLabelPositionChange(true);
        drag(QPoint(101, 300), QPoint(150, 300));
        QCOMPARE(test->labels[1].TickQStart, 150);
        view->setTest(nullptr, nullptr, -1);
    }
    Inspection reloaded;
    QCOMPARE(reloaded.load(path), StoreResult::Ok);
    QCOMPARE(reloaded.loadRecording(reloaded.test(0)), StoreResult::Ok);
    const Inspection::_Label &moved = reloaded.test(0)->labels[1];
    QCOMPARE(moved.TickQStart, 150);
    QCOMPARE(moved.TickAEnd, 150 + 40 + 5 + 10);
    QCOMPARE(reloaded.test(0)->labelsForRestore[1].TickQStart, 101);
}

// --- channels ---

void TestPoligrammeViewInput::shiftKeysAdjustTheSelectedChannel()
{
    view->setTest(nullptr, &fixture->test, ChannelCode::PG);
    Inspection::_Channel &record = fixture->test.channel(ChannelCode::PG);
    record.Amplify = 4090;
    record.Offset = -2990;
    QVERIFY(key(Qt::Key_Right, Qt::ShiftModifier));
    QCOMPARE(record.Amplify, 4096.0);
    QVERIFY(key(Qt::Key_Down, Qt::ShiftModifier));
    QCOMPARE(record.Offset, -3000.0);
    QVERIFY(key(Qt::Key_Up, Qt::ShiftModifier));
    QCOMPARE(record.Offset, -2975.0);
    QVERIFY(key(Qt::Key_Left, Qt::ShiftModifier));
    QCOMPARE(record.Amplify, 4086.0);

    QVERIFY(!key(Qt::Key_Up, Qt::ShiftModifier | Qt::ControlModifier));
    QVERIFY(!key(Qt::Key_Up, Qt::NoModifier));
    QCOMPARE(record.Offset, -2975.0);
    QCOMPARE(record.Amplify, 4086.0);

    record.Amplify = 5;
    QVERIFY(key(Qt::Key_Left, Qt::ShiftModifier));
    QCOMPARE(record.Amplify, 1.0);
}

void TestPoligrammeViewInput::shiftPagesStepThroughShownChannels()
{
    Inspection::_Test &test = fixture->test;
    const int first = nextEnabledChannel(test, -1, 1);
    const int second = nextEnabledChannel(test, first, 1);
    const int third = nextEnabledChannel(test, second, 1);
    *test.channel(second).Enable = false;
    view->setTest(nullptr, &test, first);
    QVERIFY(key(Qt::Key_PageDown, Qt::ShiftModifier));
    QCOMPARE(view->currentChannel(), third);
    QVERIFY(key(Qt::Key_PageUp, Qt::ShiftModifier));
    QCOMPARE(view->currentChannel(), first);
    QVERIFY(!key(Qt::Key_PageDown, Qt::NoModifier));
    QCOMPARE(view->currentChannel(), first);
}

void TestPoligrammeViewInput::channelDragEndsAtTheRelease()
{
    QSignalSpy contextUpdates(view, &PoligrammeView::updateContextView);
    const QPoint on = pointOnACurve(500);
    QVERIFY(!on.isNull());
    const int code = view->channelAt(on);
    Inspection::_Channel &record = fixture->test.channel(code);
    const double offset = record.Offset;
    const double amplify = record.Amplify;

    mouse(QEvent::MouseMove, on);
    QCOMPARE(view->cursor().shape(), Qt::OpenHandCursor);
    mouse(QEvent::MouseMove, QPoint(500, 2));
    QCOMPARE(view->cursor().shape(), Qt::ArrowCursor);

    mouse(QEvent::MouseButtonPress, on);
    QVERIFY(view->isSetupView());
    QCOMPARE(view->currentChannel(), code);
    mouse(QEvent::MouseMove, on + QPoint(3, -30));
    QCOMPARE(record.Offset, offset + 30);
    QCOMPARE(record.Amplify, amplify);
    mouse(QEvent::MouseMove, on + QPoint(43, -25));
    QCOMPARE(record.Amplify, amplify + 40);
    mouse(QEvent::MouseButtonRelease, on + QPoint(43, -25));
    QVERIFY(!view->isSetupView());
    QVERIFY(fixture->test.labelsModified);
    mouse(QEvent::MouseMove, on + QPoint(43, 200));
    QCOMPARE(record.Offset, offset + 30);

    // Released with Shift held: the set-up view stays until Shift goes up.
    const QPoint again = pointOnACurve(300);
    mouse(QEvent::MouseButtonPress, again);
    mouse(QEvent::MouseButtonRelease, again, Qt::ShiftModifier);
    QVERIFY(view->isSetupView());
    QCOMPARE(contextUpdates.count(), 0);
    QVERIFY(key(Qt::Key_Shift, Qt::NoModifier, QEvent::KeyRelease));
    QVERIFY(!view->isSetupView());
    QCOMPARE(contextUpdates.count(), 1);
}

void TestPoligrammeViewInput::setupViewShowsTheChannelTable()
{
    view->setTest(nullptr, &fixture->test, ChannelCode::PG);
    fixture->test.channel(ChannelCode::PG).Amplify = 1234;
    DefChannel saved;
    saved.loadCalibration(SavedSetupId);
    saved.findByCode(ChannelCode::PG)->Amplify = 777;
    saved.saveCalibration(SavedSetupId);

    QVERIFY(!paintedTexts().contains(QStringLiteral("1234")));
    QVERIFY(key(Qt::Key_Shift, Qt::ShiftModifier));
    QVERIFY(view->isSetupView());
    const QStringList texts = paintedTexts();
    QVERIFY(texts.contains(QStringLiteral("1234")));
    // The saved set-up is not shown here, and the test's channel keeps its own values.
    QVERIFY(!texts.contains(QStringLiteral("777")));
    QCOMPARE(fixture->test.channel(ChannelCode::PG).Amplify, 1234.0);
}

void TestPoligrammeViewInput::shiftClickOnTheTableSelectsItsRow()
{
    view->setTest(nullptr, &fixture->test, ChannelCode::PG);
    QVERIFY(key(Qt::Key_Shift, Qt::ShiftModifier));
    paintedTexts();  // lays out the table's rows
    const QRect row = drawPanelG::channelCell(PanelState::RowCell, ChannelCode::GSR);
    QVERIFY(!row.isEmpty());
    click(row.center(), Qt::ShiftModifier);
    QCOMPARE(view->currentChannel(), int(ChannelCode::GSR));
    QVERIFY(view->isSetupView());
}

void TestPoligrammeViewInput::keysPassWhileADialogIsModal()
{
    view->setTest(nullptr, &fixture->test, ChannelCode::PG);
    Inspection::_Channel &record = fixture->test.channel(ChannelCode::PG);
    record.Amplify = 100;
    QDialog dialog;
    dialog.setModal(true);
    dialog.show();
    QTRY_VERIFY(QApplication::activeModalWidget());
    QVERIFY(!key(Qt::Key_Right, Qt::ShiftModifier));
    QVERIFY(!key(Qt::Key_Shift, Qt::ShiftModifier));
    QVERIFY(!view->isSetupView());
    QCOMPARE(record.Amplify, 100.0);
    dialog.hide();
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QVERIFY(key(Qt::Key_Right, Qt::ShiftModifier));
    QCOMPARE(record.Amplify, 110.0);
}

VUG_TEST_MAIN(TestPoligrammeViewInput, QApplication)
#include "tst_poligrammeviewinput.moc"
