#include "ReaderHarness.h"
#include "recording/InspectionRecordFancy.h"
#include "recording/PoligrammeRecordWindow.h"
#include "recording/RecordingSession.h"
#include "recording/_QSecondMonitor.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QMainWindow>
#include <QProcess>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>
#include <QWindow>

// The recording screen on two separate X screens of a server of its own, with a
// window manager on the first (twoscreens.sh), the examinee's view switched on.
class TestExamineeScreen : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QCOMPARE(QGuiApplication::screens().size(), 2); }
    void init();
    void cleanup();
    void viewOpensOnTheSecondScreen();
    void keysStayWithTheExaminer();

private:
    _QSecondMonitor *startWithView();
    static QScreen *screen(int index) { return QGuiApplication::screens().at(index); }

    std::unique_ptr<ReaderRun> run;
    QMainWindow *main = nullptr;
    InspectionRecordFancy *recording = nullptr;
};

void TestExamineeScreen::init()
{
    configureReader(QStringLiteral("vugSensorDemo.so"));
    run = std::make_unique<ReaderRun>();
    run->collaborators.loopEndReceiver = nullptr;
    run->collaborators.markLock = nullptr;
    run->test().ShowAllQuestSecondMonitor = true;
    main = new QMainWindow;
    recording = new InspectionRecordFancy(main);
    main->setCentralWidget(recording);
    main->resize(1000, 700);
    main->show();
    main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(main));
}

void TestExamineeScreen::cleanup()
{
    QVERIFY(recording->stop());
    delete main;
    run.reset();
}

_QSecondMonitor *TestExamineeScreen::startWithView()
{
    recording->recordWindow()->collaborators = run->collaborators;
    if (!recording->start(&run->inspection, &run->test(), true, 0))
        return nullptr;
    _QSecondMonitor *view = recording->recordWindow()->session()->examineeView();
    return view && QTest::qWaitForWindowExposed(view) ? view : nullptr;
}

void TestExamineeScreen::viewOpensOnTheSecondScreen()
{
    _QSecondMonitor *view = startWithView();
    QVERIFY(view);
    QCOMPARE(view->windowHandle()->screen(), screen(1));
    QTRY_COMPARE(view->geometry(), screen(1)->geometry());
    QCOMPARE(main->windowHandle()->screen(), screen(0));

    // The question is drawn there, white on black, once faded in.
    view->present(QStringLiteral("Вопрос обследуемому"), nullptr);
    view->textFade->setCurrentTime(_QSecondMonitor::FadeInMs);
    view->pictureFade->setCurrentTime(_QSecondMonitor::FadeInMs);
    const QRect text = view->textLabel->geometry();
    const auto whiteInText = [&] {
        const QImage seen = screen(1)->grabWindow(0).toImage().copy(text);
        for (int y = 0; y < seen.height(); ++y)
            for (int x = 0; x < seen.width(); ++x)
                if (qGray(seen.pixel(x, y)) > 200)
                    return true;
        return false;
    };
    QTRY_VERIFY(whiteInText());
}

// F2 with no click first: the view, mapped after the start, left the keyboard where it was.
void TestExamineeScreen::keysStayWithTheExaminer()
{
    QVERIFY(startWithView());
    QTest::qWait(300);
    QString opened;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&opened] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            opened = modal->windowTitle();
            modal->close();
        }
    });
    watch.start(50);
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("F2")}), 0);
    QTRY_COMPARE(opened, QStringLiteral("Изменение порядка"));
}

VUG_TEST_MAIN(TestExamineeScreen, QApplication)
#include "tst_examineescreen.moc"
