#include "RendererHarness.h"
#include "recording/ScreenLayout.h"
#include "recording/_QSecondMonitor.h"
#include "tests/support/TestHome.h"

#include <QBuffer>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPropertyAnimation>

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

    void picturesLargerThanTheScreenAreScaled()
    {
        Inspection::_Test test = pictureTest(QSize(4000, 1000));
        test.themis[1].PhotoImage4 = png(QSize(300, 200));
        _QSecondMonitor view(nullptr, &test, true);
        const QPixmap *large = view.picture(0);
        QVERIFY(large);
        QVERIFY(large->width() <= view.pictureLabel->width() && large->height() <= view.pictureLabel->height());
        QVERIFY(large->width() < 4000);
        QVERIFY(qAbs(double(large->width()) / large->height() - 4.0) < 0.05);
        QCOMPARE(view.picture(1)->size(), QSize(300, 200));
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
        view.pictureFade->setCurrentTime(10);
        QVERIFY(value(view.pictureFade) < 0.1);
        view.present(QString(), nullptr);
        QCOMPARE(view.pictureFade->endValue().toDouble(), 1.0);
        // Late in the fade-in the value is above 0.5: a new question fades the old out.
        view.pictureFade->setCurrentTime(1900);
        view.textFade->setCurrentTime(1900);
        const double half = value(view.pictureFade);
        QVERIFY2(half > 0.5, qPrintable(QString::number(half)));
        view.present(QStringLiteral("Следующий"), nullptr);
        QCOMPARE(view.pictureFade->endValue().toDouble(), 0.0);
        QCOMPARE(view.pictureFade->duration(), 500);
        QCOMPARE(view.pictureFade->startValue().toDouble(), half);
        QCOMPARE(view.textLabel->text(), QStringLiteral("Следующий"));
        // The fade-out's end clears both labels.
        view.pictureFade->setCurrentTime(500);
        view.textFade->setCurrentTime(500);
        QCOMPARE(view.textLabel->text(), QString());
        QVERIFY(view.pictureLabel->pixmap(Qt::ReturnByValue).isNull());
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
