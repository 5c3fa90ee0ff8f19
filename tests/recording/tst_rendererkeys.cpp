#include "RendererHarness.h"
#include "tests/support/TestHome.h"

// The live view's keys and the question text, on the GUI thread.
class TestRendererKeys : public QObject
{
    Q_OBJECT

private slots:
    void init() { configureReader(QStringLiteral("vugSensorDemo.so")); }

    void firstSpaceCutsPreRollAndOpensFirstQuestion()
    {
        KeyBench bench(threeQuestions());
        for (int code = 0; code < ChannelCode::Count; ++code) {
            QVector<qint16> &samples = *bench.test().samples(code);
            samples.resize(301);
            for (int i = 0; i < samples.size(); ++i)
                samples[i] = qint16(i);
        }
        bench.press(Qt::Key_Space, 300);
        QCOMPARE(bench.test().labels.size(), 1);
        const InspectionLabel &mark = bench.test().labels[0];
        // The cut leaves 10 s of pre-roll: the mark opens where the position went.
        QCOMPARE(mark.TickQStart, 200);
        QCOMPARE(int(bench.test().dataGSR[0]), 100);
        QCOMPARE(int(mark.Theme), int(bench.test().orders[2].Theme));
        QCOMPARE(mark.TickQEnd, mark.TickQStart);
        bench.release(Qt::Key_Space, 203);
        QCOMPARE(bench.test().labels[0].TickQEnd, 210);
        QCOMPARE(bench.test().labels[0].TickAStart, 0);
    }

    void answerMarkOpensOnceInsideTheWindow()
    {
        KeyBench bench(threeQuestions());
        bench.presentAt(100, 20);
        bench.presentAt(150, 4);
        InspectionLabel mark = bench.test().labels[0];
        QCOMPARE(bench.test().labels.size(), 1);
        QCOMPARE(mark.TickAStart, 150);
        QCOMPARE(mark.TickAEnd, 160);
        bench.presentAt(170, 30);
        QCOMPARE(bench.test().labels.size(), 1);
        QCOMPARE(bench.test().labels[0].TickAStart, 150);
        QCOMPARE(bench.test().labels[0].TickAEnd, 160);
        // Past the window the next question opens.
        bench.presentAt(120 + 200, 12);
        QCOMPARE(bench.test().labels.size(), 2);
        QCOMPARE(bench.test().labels[1].TickQEnd, 332);
    }

    void noAnswerMarkWhenAnswersAreOff()
    {
        configureReader(QStringLiteral("vugSensorDemo.so"), [](GenericSettings &s) { s.bEnableLabelAnswere = false; });
        KeyBench bench(threeQuestions());
        bench.presentAt(100, 20);
        bench.presentAt(150, 4);
        QCOMPARE(bench.test().labels.size(), 1);
        QCOMPARE(bench.test().labels[0].TickAStart, 0);
    }

    void nothingAfterTheLastPlanEntryAndBackspaceRemovesLatest()
    {
        KeyBench bench(threeQuestions());
        for (int i = 0; i < 3; ++i)
            bench.presentAt(100 + i * 300, 15);
        QCOMPARE(bench.test().labels.size(), 3);
        const QVector<InspectionLabel> before = bench.test().labels;
        bench.presentAt(1300, 15);
        QCOMPARE(bench.test().labels.size(), 3);
        QCOMPARE(bench.test().labels.last().TickQEnd, before.last().TickQEnd);
        bench.press(Qt::Key_Backspace, 1400);
        QCOMPARE(bench.test().labels.size(), 2);
        QCOMPARE(bench.test().labels.last().TickQStart, 400);
    }

    void channelAdjustmentsAreClamped()
    {
        KeyBench bench(threeQuestions());
        bool inverted = true;
        InspectionChannel &record = bench.test().channel(0);
        record.Inverse = &inverted;
        bench.renderer->setSelectedChannel(0);
        bench.modifiers = Qt::ShiftModifier | Qt::ControlModifier;
        record.ShiftADT = 100;
        bench.press(Qt::Key_Up, 50);
        QCOMPARE(int(record.ShiftADT), 75);
        QVERIFY(record.ShiftADTChanged);
        inverted = false;
        record.ShiftADT = 2040;
        bench.press(Qt::Key_Up, 50);
        QCOMPARE(int(record.ShiftADT), 2047);
        record.ADT = 25;
        bench.press(Qt::Key_Right, 50);
        QCOMPARE(int(record.ADT), 25);
        bench.press(Qt::Key_Left, 50);
        QCOMPARE(int(record.ADT), 24);
        QVERIFY(record.ADTChanged);

        bench.modifiers = Qt::ShiftModifier;
        record.Amplify = 5;
        bench.press(Qt::Key_Left, 50);
        QCOMPARE(double(record.Amplify), 1.0);
        record.Amplify = 4090;
        bench.press(Qt::Key_Right, 50);
        QCOMPARE(double(record.Amplify), 4096.0);
        record.Offset = 2990;
        bench.press(Qt::Key_Up, 50);
        QCOMPARE(double(record.Offset), 3000.0);
        bench.press(Qt::Key_Down, 50);
        QCOMPARE(double(record.Offset), 2975.0);

        // Without Shift the arrows do nothing.
        bench.modifiers = Qt::ControlModifier;
        bench.press(Qt::Key_Down, 50);
        QCOMPARE(double(record.Offset), 2975.0);
    }

    void hardwareChangesRefusedDuringAPresentation()
    {
        KeyBench bench(threeQuestions());
        bench.presentAt(100, 15);
        InspectionChannel &record = bench.test().channel(0);
        bench.renderer->setSelectedChannel(0);
        record.ShiftADT = 0;
        record.ADT = 3;
        record.ShiftADTChanged = false;
        bench.modifiers = Qt::ShiftModifier | Qt::ControlModifier;
        bench.press(Qt::Key_Up, 150);
        bench.press(Qt::Key_Right, 150);
        QCOMPARE(int(record.ShiftADT), 0);
        QCOMPARE(int(record.ADT), 3);
        QVERIFY(!record.ShiftADTChanged);
        // The display's own gain still moves.
        bench.modifiers = Qt::ShiftModifier;
        record.Amplify = 100;
        bench.press(Qt::Key_Right, 150);
        QCOMPARE(double(record.Amplify), 110.0);
    }

    void shiftOpensAndClosesTheAdjustmentDisplay()
    {
        KeyBench bench;
        bench.renderer->keyPress(Qt::Key_Shift);
        QCOMPARE(bench.renderer->channelSelected(), 1);
        bench.renderer->keyRelease(Qt::Key_Shift);
        QCOMPARE(bench.renderer->channelSelected(), 0);
    }

    void currentQuestionInARecording()
    {
        KeyBench bench(threeQuestions());
        Renderer &renderer = *bench.renderer;
        QCOMPARE(renderer.updateCurrentQuestion(10), QStringLiteral("Первый?"));
        bench.press(Qt::Key_Space, 100);
        QCOMPARE(renderer.updateCurrentQuestion(101), QStringLiteral("Первый?"));
        bench.release(Qt::Key_Space, 103);
        // Inside the answer window and its 4 positions nothing is shown.
        QCOMPARE(renderer.updateCurrentQuestion(110 + 200 + 4), QString());
        QCOMPARE(renderer.updateCurrentQuestion(110 + 200 + 5), QStringLiteral("Второй?"));
    }

    void currentQuestionInAPlayback()
    {
        Inspection::_Test recorded = threeQuestions();
        recorded.recorded = true;
        recorded.labels = {{1, recorded.orders[2].Theme, 100, 120, 0, 0}, {1, recorded.orders[3].Theme, 400, 420, 0, 0}};
        KeyBench bench(recorded, false);
        Renderer &renderer = *bench.renderer;
        QCOMPARE(renderer.updateCurrentQuestion(110), QStringLiteral("Первый?"));
        QCOMPARE(renderer.updateCurrentQuestion(200), QString());
        // The latest mark itself shows nothing.
        QCOMPARE(renderer.updateCurrentQuestion(410), QString());
    }

    void planNamingAMissingQuestion()
    {
        Inspection::_Test broken = threeQuestions();
        broken.orders[2].Theme = 77;
        KeyBench bench(broken);
        QCOMPARE(bench.renderer->updateCurrentQuestion(10), QString());
        bench.press(Qt::Key_Space, 100);
        QCOMPARE(bench.test().labels.size(), 1);
        QCOMPARE(bench.renderer->updateCurrentQuestion(101), QString());
    }
};

VUG_TEST_MAIN(TestRendererKeys, QApplication)
#include "tst_rendererkeys.moc"
