#include "RendererHarness.h"
#include "recording/ScreenLayout.h"
#include "recording/_QSecondMonitor.h"
#include "tests/support/TestHome.h"

#include <QBuffer>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPropertyAnimation>
#include <QSignalSpy>

// The examinee's view, offscreen, on a screen layout the test chooses.
class TestSecondMonitor : public QObject
{
    Q_OBJECT

private:
    static void useScreens(bool second)
    {
        ScreenLayout::replace([second](int screen) {
            if (screen == 0)
                return QRect(0, 0, 1920, 1080);
            return second && screen == 1 ? QRect(1920, 0, 1280, 1024) : QRect();
        });
    }

    static QByteArray png(const QSize &size)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::red);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }

    // A test whose first question has a picture, the second one text only.
    static Inspection::_Test pictureTest(const QSize &size)
    {
        Inspection::_Test test = threeQuestions();
        test.themis[0].PhotoImage4 = png(size);
        test.themis[1].ShowQuestToSecondMonitor = true;
        return test;
    }

    static double value(QPropertyAnimation *fade) { return fade->currentValue().toDouble(); }
    // Both fades at ms; the text's first, as the picture's end may start the next fade.
    static void advance(_QSecondMonitor &view, int ms)
    {
        view.textFade->setCurrentTime(ms);
        view.pictureFade->setCurrentTime(ms);
    }
    // Whatever fades are running, to their ends: a fade-out, then the fade-in it may start.
    static void runFades(_QSecondMonitor &view)
    {
        for (int round = 0; round < 3 && view.pictureFade->state() == QAbstractAnimation::Running; ++round)
            advance(view, view.pictureFade->duration());
    }

private slots:
    void init()
    {
        configureReader(QStringLiteral("vugSensorDemo.so"));
        useScreens(true);
    }
    void cleanup() { ScreenLayout::replace({}); }

    void placedFullScreenOnTheSecondScreen()
    {
        Inspection::_Test test = pictureTest(QSize(20, 10));
        _QSecondMonitor view(nullptr, &test, true);
        QVERIFY(view.isVisible());
        QVERIFY(view.windowFlags() & Qt::Tool);
        QCOMPARE(view.test, &test);
        QVERIFY(view.picture(0));
        QVERIFY(!view.picture(1));
        QVERIFY(!view.picture(10000));
    }

    void withoutASecondScreenNothingIsPrepared()
    {
        useScreens(false);
        Inspection::_Test test = pictureTest(QSize(20, 10));
        _QSecondMonitor view(nullptr, &test, true);
        QVERIFY(!view.isVisible());
        QVERIFY(!view.test);
        QVERIFY(!view.picture(0));
    }

    void playbackViewIsNeverShown()
    {
        Inspection::_Test test = pictureTest(QSize(20, 10));
        test.recorded = true;
        KeyBench bench(test, false);
        QVERIFY(bench.renderer->secondMonitorView());
        QVERIFY(!bench.renderer->secondMonitorView()->isVisible());
        QCOMPARE(bench.renderer->secondMonitorView()->geometry(), QRect(0, 0, 1920, 1080));
    }

    // Where the layout of a view on the test's screens places its picture, and the view's size.
    static QPair<QSize, QSize> placedSizes()
    {
        Inspection::_Test test = pictureTest(QSize(20, 10));
        _QSecondMonitor probe(nullptr, &test, true);
        return {probe.pictureLabel->size(), probe.size()};
    }

    void picturesFitTheirPlace_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("smaller than its place") << "smaller";
        QTest::newRow("taller than its place, within the screen") << "between";
        QTest::newRow("larger than the screen") << "larger";
    }
    void picturesFitTheirPlace()
    {
        QFETCH(QString, kind);
        const QPair<QSize, QSize> sizes = placedSizes();
        const QSize area = sizes.first;
        QVERIFY(area.height() < sizes.second.height());
        const QSize original = kind == "smaller" ? area / 2
                               : kind == "between"
                                   ? QSize(area.width() * 9 / 10, (area.height() + sizes.second.height()) / 2)
                                   : QSize(sizes.second.width() * 3, sizes.second.height() * 2);
        Inspection::_Test test = pictureTest(original);
        _QSecondMonitor view(nullptr, &test, true);
        QCOMPARE(view.pictureLabel->size(), area);
        view.present(QString(), view.picture(0));
        const QSize shown = view.pictureLabel->pixmap(Qt::ReturnByValue).size();
        QCOMPARE(view.picture(0)->size(), shown);
        if (kind == "smaller") {
            QCOMPARE(shown, original);
            return;
        }
        // Never cut, never enlarged; the aspect kept, one side filling the place.
        QVERIFY2(shown.width() <= area.width() && shown.height() <= area.height(), qPrintable(kind));
        QVERIFY(shown.width() == area.width() || shown.height() == area.height());
        QVERIFY(qAbs(double(shown.width()) / shown.height() - double(original.width()) / original.height()) < 0.02);
    }

    void fadesFollowTheirThresholds()
    {
        Inspection::_Test test = pictureTest(QSize(20, 10));
        _QSecondMonitor view(nullptr, &test, true);
        QPixmap shown(10, 10);
        view.present(QStringLiteral("Вопрос"), &shown);
        QCOMPARE(view.pictureFade->endValue().toDouble(), 1.0);
        QCOMPARE(view.pictureFade->duration(), 2000);
        QCOMPARE(view.textLabel->text(), QStringLiteral("Вопрос"));
        // Released while still below 0.1: no fade-out.
        advance(view, 10);
        QVERIFY(value(view.pictureFade) < 0.1);
        view.present(QString(), nullptr);
        QCOMPARE(view.pictureFade->endValue().toDouble(), 1.0);
        // Released later: the content fades out from where it was.
        advance(view, 1900);
        const double late = value(view.pictureFade);
        view.present(QString(), nullptr);
        QCOMPARE(view.pictureFade->endValue().toDouble(), 0.0);
        QCOMPARE(view.pictureFade->duration(), 500);
        QCOMPARE(view.pictureFade->startValue().toDouble(), late);
        // The fade-out's end clears both labels.
        advance(view, 500);
        QCOMPARE(view.textLabel->text(), QString());
        QVERIFY(view.pictureLabel->pixmap(Qt::ReturnByValue).isNull());
    }

    // The question presented last is the one the examinee ends up seeing, whatever the one before was doing.
    void aQuestionOverAnotherIsSeenWhole_data()
    {
        QTest::addColumn<int>("firstFor");
        QTest::addColumn<bool>("firstReleased");
        QTest::addColumn<bool>("secondReleased");
        QTest::addColumn<QString>("secondText");
        QTest::newRow("first fully in") << 2000 << false << false << "Второй";
        QTest::newRow("first half in") << 800 << false << false << "Второй";
        QTest::newRow("first hardly in") << 10 << false << false << "Второй";
        QTest::newRow("first fading out") << 2000 << true << false << "Второй";
        QTest::newRow("released while the first fades out") << 2000 << false << true << "Второй";
        QTest::newRow("picture only over a text") << 2000 << false << false << "";
    }
    void aQuestionOverAnotherIsSeenWhole()
    {
        QFETCH(int, firstFor);
        QFETCH(bool, firstReleased);
        QFETCH(bool, secondReleased);
        QFETCH(QString, secondText);
        Inspection::_Test test = pictureTest(QSize(20, 10));
        _QSecondMonitor view(nullptr, &test, true);
        QPixmap first(10, 10);
        QPixmap second(12, 6);
        view.present(QStringLiteral("Первый"), &first);
        advance(view, firstFor);
        if (firstReleased) {
            view.present(QString(), nullptr);
            advance(view, 100);
        }
        view.present(secondText, &second);
        if (secondReleased)
            view.present(QString(), nullptr);
        runFades(view);
        QCOMPARE(view.pictureEffect->opacity(), 1.0);
        QCOMPARE(view.textEffect->opacity(), 1.0);
        QCOMPARE(view.textLabel->text(), secondText);
        QCOMPARE(view.pictureLabel->pixmap(Qt::ReturnByValue).size(), second.size());
    }

    // Asked about stopping: nothing stays in front of the examinee, nor comes.
    void withdrawnViewFadesOut()
    {
        Inspection::_Test test = pictureTest(QSize(20, 10));
        _QSecondMonitor view(nullptr, &test, true);
        view.present(QStringLiteral("Первый"), nullptr);
        advance(view, 2000);
        view.present(QStringLiteral("Второй"), nullptr);
        view.withdraw();
        runFades(view);
        QCOMPARE(view.textEffect->opacity(), 0.0);
        QCOMPARE(view.textLabel->text(), QString());
    }

    void spaceWhilePausedShowsAndMarksNothing()
    {
        KeyBench bench(pictureTest(QSize(20, 10)));
        _QSecondMonitor *view = bench.renderer->secondMonitorView();
        QSignalSpy refused(bench.renderer.get(), &Renderer::refused);
        bench.reader->setPaused(true);
        bench.presentAt(100);
        QCOMPARE(refused.count(), 1);
        QVERIFY(bench.test().labels.isEmpty());
        QCOMPARE(view->pictureFade->state(), QAbstractAnimation::Stopped);
        QVERIFY(view->pictureLabel->pixmap(Qt::ReturnByValue).isNull());
        // Unpaused, the key presents again.
        bench.reader->setPaused(false);
        bench.press(Qt::Key_Space, 200);
        QCOMPARE(bench.test().labels.size(), 1);
        QCOMPARE(view->pictureFade->endValue().toDouble(), 1.0);
        QCOMPARE(refused.count(), 1);
    }

    void fullyShownContentIsNotCleared()
    {
        Inspection::_Test test = pictureTest(QSize(20, 10));
        _QSecondMonitor view(nullptr, &test, true);
        view.present(QStringLiteral("Вопрос"), nullptr);
        view.pictureFade->setCurrentTime(2000);
        QCOMPARE(view.textLabel->text(), QStringLiteral("Вопрос"));
    }

    void textHiddenWithoutFlagsWhileThePictureFadesIn()
    {
        KeyBench bench(pictureTest(QSize(20, 10)));
        _QSecondMonitor *view = bench.renderer->secondMonitorView();
        QVERIFY(view && view->isVisible());
        bench.press(Qt::Key_Space, 100);
        QCOMPARE(view->textLabel->text(), QString());
        QVERIFY(!view->pictureLabel->pixmap(Qt::ReturnByValue).isNull());
        QCOMPARE(view->pictureFade->state(), QAbstractAnimation::Running);
        QCOMPARE(view->pictureFade->endValue().toDouble(), 1.0);
        view->pictureFade->setCurrentTime(2000);
        bench.release(Qt::Key_Space, 103);
        QCOMPARE(view->pictureFade->endValue().toDouble(), 0.0);
        // The second question carries its own flag: its text is shown.
        view->pictureFade->setCurrentTime(500);
        bench.presentAt(400);
        QCOMPARE(view->textLabel->text(), QStringLiteral("Второй?"));
    }

    void grabsWhatTheExamineeSees()
    {
        Inspection::_Test test = pictureTest(QSize(20, 10));
        _QSecondMonitor view(nullptr, &test, true);
        QTRY_VERIFY(!view.latestGrab().isNull());
        QCOMPARE(view.latestGrab().size(), view.size());
    }
};

VUG_TEST_MAIN(TestSecondMonitor, QApplication)
#include "tst_secondmonitor.moc"
