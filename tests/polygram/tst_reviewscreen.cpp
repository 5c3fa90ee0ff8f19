#include "data/FileChooser.h"
#include "data/SettingsStore.h"
#include "polygram/PolygramPrint.h"
#include "polygram/ContextPoligrammeWidget.h"
#include "polygram/InputState.h"
#include "polygram/InspectionPoligrammeFancy.h"
#include "polygram/ListTestDockWindow.h"
#include "polygram/PoligrammeView.h"
#include "polygram/SweepTable.h"
#include "polygram/_QAbstractScrollArea.h"
#include "polygram/drawG.h"
#include "tests/data/StoreFixtures.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/PopplerReader.h"
#include "tests/support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
#include <QScrollBar>
#include <QToolBar>
#include <QWidgetAction>

namespace {

const QString kFirst = QStringLiteral("Тест 1");
const QString kSecond = QStringLiteral("Тест 2");
const QString kPlan = QStringLiteral("План");

// A mark at tick 1000 beside the fixture's marks; the marks stand as recorded.
Inspection::_Test firstTest()
{
    Inspection::_Test test = StoreFixtures::recordedTest(kFirst, 3000, 7);
    Inspection::_Label mark;
    mark.Group = 3;
    mark.TickQStart = 1000;
    mark.TickQEnd = 1040;
    test.appendLabel(mark);
    test.labelsForRestore = test.labels;
    return test;
}

int indexOf(Inspection &inspection, const QString &name)
{
    for (int i = 0; i < inspection.tests.size(); ++i)
        if (inspection.tests[i].name == name)
            return i;
    return -1;
}

// The marks as comparable texts.
QStringList marks(const QVector<Inspection::_Label> &labels)
{
    QStringList texts;
    for (const Inspection::_Label &m : labels)
        texts << QStringLiteral("%1/%2 %3-%4 %5-%6")
                     .arg(m.Group)
                     .arg(m.Theme)
                     .arg(m.TickQStart)
                     .arg(m.TickQEnd)
                     .arg(m.TickAStart)
                     .arg(m.TickAEnd);
    return texts;
}

bool anyControlEnabled(InspectionPoligrammeFancy &screen)
{
    for (QAction *action : screen.toolBar()->actions())
        if (!action->isSeparator() && action->isEnabled() && !qobject_cast<QWidgetAction *>(action))
            return true;
    return screen.sweepSelector()->isEnabled();
}

}  // namespace

class TestReviewScreen : public QObject
{
    Q_OBJECT

    QString m_path;
    Inspection m_inspection;
    InspectionPoligrammeFancy *m_screen = nullptr;
    int m_first = -1;
    int m_second = -1;

    QScrollBar *horizontal() { return m_screen->scrollArea()->horizontalScrollBar(); }
    void show(int index, int pos = -1, int channel = -1) { m_screen->showTest(index, pos, channel); }

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void examinationWithoutRecordingsDisablesEverything();
    void listNamesRecordedTestsWithTheirDates();
    void showingLoadsSamplesAndComesBackToTheLeftTick();
    void newExaminationForgetsTheLeftTicks();
    void showAtTickCentresItAndBlinksItsMark();
    void sweepChangeKeepsTheLeftTick();
    void groupStepsAndFullGroup();
    void wheelScrollsSideways();
    void checkableActionsExcludeEachOther();
    void restoreWithNothingMovedOnlyInforms();
    void restoredMarksSurviveAReload();
    void playStartsAtTheLeftEdge();
    void magnifierCentresTheCursorsTick();
    void layoutSurvivesANewScreen();
    void saveWritesThePdfOrSaysItCouldNot();
    void cancellingTheProgressStopsAfterThePage();
};

void TestReviewScreen::initTestCase()
{
    m_path = QDir::home().filePath(QStringLiteral("Иванов.qmz"));
    Inspection inspection;
    inspection.path = m_path;
    inspection.appendTest(firstTest());
    Inspection::_Test undated = StoreFixtures::recordedTest(kSecond, 2000, 2);
    undated.DateTimeRecorded = QDateTime();
    inspection.appendTest(undated);
    inspection.appendTest(StoreFixtures::recordedTest(kPlan, 0));
    StoreFixtures::saveTests(inspection);
}

void TestReviewScreen::init()
{
    m_inspection.load(m_path);
    m_first = indexOf(m_inspection, kFirst);
    m_second = indexOf(m_inspection, kSecond);
    m_screen = new InspectionPoligrammeFancy;
    m_screen->resize(1200, 800);
    m_screen->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_screen));
    m_screen->onChangedPersone(m_path, &m_inspection);
}

void TestReviewScreen::cleanup()
{
    delete m_screen;
    m_inspection.clear();
    InputState::replace({});
}

void TestReviewScreen::examinationWithoutRecordingsDisablesEverything()
{
    QVERIFY(!anyControlEnabled(*m_screen));
    Inspection unrecorded;
    unrecorded.appendTest(StoreFixtures::recordedTest(kPlan, 0));
    m_screen->onChangedPersone(QString(), &unrecorded);
    QCOMPARE(m_screen->findChild<QListWidget *>()->count(), 0);
    QVERIFY(!anyControlEnabled(*m_screen));
    QVERIFY(!m_screen->previousGroupAction()->isEnabled());
    show(0);
    QCOMPARE(m_screen->shownTest(), -1);
}

void TestReviewScreen::listNamesRecordedTestsWithTheirDates()
{
    const QListWidget *list = m_screen->findChild<QListWidget *>();
    QCOMPARE(list->count(), 2);
    QStringList texts;
    for (int row = 0; row < list->count(); ++row) {
        texts << list->item(row)->text();
        QCOMPARE(m_inspection.tests[list->item(row)->data(Qt::UserRole).toInt()].name, texts.last().left(6));
    }
    texts.sort();
    QCOMPARE(texts, (QStringList{QStringLiteral("Тест 1 (05.03.2024 14:07)"), kSecond}));
}

void TestReviewScreen::showingLoadsSamplesAndComesBackToTheLeftTick()
{
    QVERIFY(m_inspection.tests[m_first].samples(0)->isEmpty());
    show(m_first);
    QCOMPARE(m_screen->shownTest(), m_first);
    QCOMPARE(m_inspection.tests[m_first].samples(0)->size(), 3000);
    QVERIFY(m_screen->playAction()->isEnabled());
    QVERIFY(m_screen->sweepSelector()->isEnabled());
    QVERIFY(m_screen->printAction()->isEnabled());
    QVERIFY(m_screen->saveAction()->isEnabled());
    horizontal()->setValue(500);
    QCOMPARE(m_screen->view()->visibleTicks(), qMin(3000, 500 + m_screen->view()->width()));

    show(m_second);
    QCOMPARE(horizontal()->value(), 0);
    horizontal()->setValue(123);
    show(m_first);
    QCOMPARE(horizontal()->value(), 500);
    show(m_second);
    QCOMPARE(horizontal()->value(), 123);
}

void TestReviewScreen::newExaminationForgetsTheLeftTicks()
{
    show(m_first);
    horizontal()->setValue(500);
    show(m_second);
    m_screen->loadInspection();
    QCOMPARE(m_screen->shownTest(), -1);
    QVERIFY(!anyControlEnabled(*m_screen));
    QVERIFY(!m_screen->scrollArea()->test());
    show(m_first);
    QCOMPARE(horizontal()->value(), 0);

    // No examination at all: nothing may point into the old tests.
    m_screen->onChangedPersone(QString(), nullptr);
    QVERIFY(!m_screen->scrollArea()->test());
    QVERIFY(!m_screen->strip()->picture().test);
    QCOMPARE(m_screen->findChild<QListWidget *>()->count(), 0);
}

void TestReviewScreen::showAtTickCentresItAndBlinksItsMark()
{
    m_screen->scrollArea()->setFixedWidth(800);
    QTRY_COMPARE(m_screen->scrollArea()->width(), 800);
    show(m_first, 1000, 4);
    QCOMPARE(horizontal()->value(), 600);
    const Inspection::_Test &test = m_inspection.tests[m_first];
    QVERIFY(m_screen->view()->highlightedLabel() >= 0);
    QCOMPARE(test.labels[m_screen->view()->highlightedLabel()].TickQStart, 1000);
    QCOMPARE(m_screen->view()->currentChannel(), 4);

    // A test that is not listed is not shown.
    show(indexOf(m_inspection, kPlan), 10, 0);
    QCOMPARE(m_screen->shownTest(), m_first);
    QCOMPARE(horizontal()->value(), 600);
}

void TestReviewScreen::sweepChangeKeepsTheLeftTick()
{
    show(m_first);
    horizontal()->setValue(601);
    emit m_screen->sweepSelector()->activated(4);
    QCOMPARE(m_screen->view()->sweep(), 2000);
    QCOMPARE(m_screen->strip()->picture().sweep, 2000);
    QCOMPARE(horizontal()->value(), 300);
    QCOMPARE(m_screen->scrollArea()->leftTick(), 600);
    // The range follows: the test's 3000 ticks fill 1500 pixels at 2000.
    const int extent = m_screen->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QCOMPARE(horizontal()->maximum(), qMax(0, 1500 - (m_screen->scrollArea()->width() - extent)));
}

void TestReviewScreen::groupStepsAndFullGroup()
{
    show(m_first);
    // Marks start at 7 and 107 (group 1), 307 and 407 (group 2) and 1000 (group 3).
    m_screen->nextGroupAction()->trigger();
    QCOMPARE(horizontal()->value(), 307);
    m_screen->nextGroupAction()->trigger();
    QCOMPARE(horizontal()->value(), 1000);
    // Group 3's only mark stands at the left edge: no current group.
    m_screen->previousGroupAction()->trigger();
    QCOMPARE(horizontal()->value(), 1000);

    // Group 2 spans 447 - 347 plus the 10 s interval: 300 ticks.
    horizontal()->setValue(300);
    m_screen->scrollArea()->setFixedWidth(240);
    QTRY_COMPARE(m_screen->scrollArea()->width(), 240);
    const int width = m_screen->view()->width();
    const int index = 300 < width ? 0 : 300 < 1.25 * width ? 1 : 300 < 1.5 * width ? 2 : 3;
    QVERIFY(index > 0);
    m_screen->fullGroupAction()->trigger();
    QCOMPARE(m_screen->sweepSelector()->currentIndex(), index);
    QCOMPARE(m_screen->view()->sweep(), SweepTable::sweep(index));
    QCOMPARE(m_screen->strip()->picture().sweep, SweepTable::sweep(index));
    QVERIFY(qAbs(m_screen->scrollArea()->leftTick() - 300) <= 1);  // to a whole tick

    // Without marks there is no group: nothing changes.
    m_inspection.tests[m_first].labels.clear();
    emit m_screen->sweepSelector()->activated(0);
    m_screen->sweepSelector()->setCurrentIndex(0);
    const int value = horizontal()->value();
    m_screen->fullGroupAction()->trigger();
    QCOMPARE(m_screen->sweepSelector()->currentIndex(), 0);
    m_screen->nextGroupAction()->trigger();
    m_screen->previousGroupAction()->trigger();
    QCOMPARE(horizontal()->value(), value);
}

void TestReviewScreen::wheelScrollsSideways()
{
    show(m_first);
    horizontal()->setValue(1000);
    QWidget *viewport = m_screen->scrollArea()->viewport();
    const QPointF at(100, 100);
    auto turn = [&](int delta) {
        QWheelEvent notch(at, viewport->mapToGlobal(at.toPoint()), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &notch);
    };
    turn(120);  // forward: towards the start
    const int back = horizontal()->value();
    QVERIFY(back < 1000 - 30);
    QCOMPARE(m_screen->scrollArea()->verticalScrollBar()->value(), 0);
    turn(-120);
    QCOMPARE(horizontal()->value(), 1000);
    QCOMPARE(m_screen->scrollArea()->verticalScrollBar()->value(), 0);
}

void TestReviewScreen::checkableActionsExcludeEachOther()
{
    show(m_first);
    PoligrammeView *view = m_screen->view();
    m_screen->measureVerticalAction()->trigger();
    QCOMPARE(view->mode(), int(PoligrammeView::MeasureVertical));
    m_screen->changeLabelsAction()->trigger();
    QVERIFY(!m_screen->measureVerticalAction()->isChecked());
    QCOMPARE(view->mode(), int(PoligrammeView::LabelMoving));
    m_screen->measureHorizontalAction()->trigger();
    QVERIFY(!m_screen->changeLabelsAction()->isChecked());
    QVERIFY(m_screen->measureHorizontalAction()->isChecked());
    QCOMPARE(view->mode(), int(PoligrammeView::MeasureHorizontal));
    m_screen->measureVerticalAction()->trigger();
    QVERIFY(!m_screen->measureHorizontalAction()->isChecked());
    QCOMPARE(view->mode(), int(PoligrammeView::MeasureVertical));
    m_screen->measureVerticalAction()->trigger();
    QCOMPARE(view->mode(), int(PoligrammeView::Normal));
    // A new examination unchecks them all.
    m_screen->changeLabelsAction()->trigger();
    m_screen->loadInspection();
    QVERIFY(!m_screen->changeLabelsAction()->isChecked());
}

void TestReviewScreen::restoreWithNothingMovedOnlyInforms()
{
    show(m_first);
    MessageBoxAnswerer answerer({QMessageBox::Ok});
    m_screen->restoreLabelsAction()->trigger();
    QCOMPARE(answerer.asked(), QStringList{QStringLiteral("Данные не требуют восстановления.")});
    QCOMPARE(answerer.unexpected(), 0);
}

void TestReviewScreen::restoredMarksSurviveAReload()
{
    show(m_first);
    Inspection::_Test &test = m_inspection.tests[m_first];
    const QStringList recorded = marks(test.labelsForRestore);
    // Moves kept by an earlier run of the program, as a header only.
    test.labels[0].TickQStart += 7;
    test.labels[1].TickAEnd += 3;
    QCOMPARE(m_inspection.saveRecordingHeader(&test), StoreResult::Ok);
    const QStringList moved = marks(test.labels);

    MessageBoxAnswerer answerer({QMessageBox::No, QMessageBox::Yes});
    // The subject's tests move in memory while the question is open, as a
    // read anew moves them.
    answerer.whileAsking = [this] {
        QVector<Inspection::_Test> moved = m_inspection.tests;
        moved.detach();
        m_inspection.tests = moved;
    };
    m_screen->restoreLabelsAction()->trigger();
    QCOMPARE(answerer.asked().size(), 1);
    QVERIFY(answerer.asked()[0].startsWith(QStringLiteral("При восстановлении старых данных")));
    QCOMPARE(marks(m_inspection.tests[m_first].labels), moved);
    m_screen->restoreLabelsAction()->trigger();
    QCOMPARE(marks(m_inspection.tests[m_first].labels), recorded);
    QCOMPARE(answerer.unexpected(), 0);

    Inspection fresh;
    fresh.load(m_path);
    Inspection::_Test *reloaded = fresh.test(indexOf(fresh, kFirst));
    fresh.loadRecording(reloaded);
    QCOMPARE(marks(reloaded->labels), recorded);
}

void TestReviewScreen::playStartsAtTheLeftEdge()
{
    show(m_first);
    horizontal()->setValue(250);
    emit m_screen->sweepSelector()->activated(2);
    QSignalSpy play(m_screen, &InspectionPoligrammeFancy::notifyPlayPoligramme);
    m_screen->playAction()->trigger();
    QCOMPARE(play.size(), 1);
    QCOMPARE(play[0][0].toInt(), m_first);
    QCOMPARE(play[0][1].toInt(), 249);  // 166 pixels at 1500: the whole tick kept
}

void TestReviewScreen::magnifierCentresTheCursorsTick()
{
    _QAbstractScrollArea *area = m_screen->scrollArea();
    area->setFixedWidth(700);
    QTRY_COMPARE(area->width(), 700);
    QPixmap blank(200, 150);
    area->onDrawZoom(blank);
    QCOMPARE(blank.toImage().pixelColor(100, 75), QColor(Qt::white));  // no test

    const auto pictureAt = [&](const QPoint &cursor) {
        InputState::replace([&] {
            InputState state;
            state.cursor = area->mapToGlobal(cursor);
            return state;
        });
        QPixmap px(200, 150);
        area->onDrawZoom(px);
        return px.toImage().convertToFormat(QImage::Format_RGB32);
    };
    const auto expected = [&](Inspection::_Test &test, int endTick, int top) {
        QPixmap picture(200, m_screen->view()->height());
        picture.fill(Qt::white);
        QPainter painter(&picture);
        drawG g(&test, 1000);
        g.setRenderHints(painter);
        g.drawPolygram(painter, picture.rect(), endTick, 0);
        painter.end();
        QImage band(200, 150, QImage::Format_RGB32);
        band.fill(Qt::white);
        QPainter bandPainter(&band);
        bandPainter.drawPixmap(0, qMax(0, -top), picture, 0, qMax(0, top), 200, 150);
        return band;
    };

    show(m_first);
    horizontal()->setValue(500);
    // Tick 800 under the cursor, 100 ticks either side.
    QCOMPARE(pictureAt(QPoint(300, 200)), expected(m_inspection.tests[m_first], 900, 125));
    // Near the top the band above the picture stays white.
    const QImage high = pictureAt(QPoint(300, 20));
    QCOMPARE(high, expected(m_inspection.tests[m_first], 900, -55));
    QCOMPARE(high.pixelColor(150, 10), QColor(Qt::white));

    // A test shorter than the view: 2000 ticks, the view shows 4 per pixel.
    show(m_second);
    emit m_screen->sweepSelector()->activated(12);
    const int excess = 4 * m_screen->view()->width() - 2000;
    QVERIFY(excess > 0);
    QCOMPARE(pictureAt(QPoint(300, 200)), expected(m_inspection.tests[m_second], 100 + 1200 - excess, 125));
}

void TestReviewScreen::layoutSurvivesANewScreen()
{
    m_screen->resize(900, 700);
    m_screen->addDockWidget(Qt::RightDockWidgetArea, m_screen->testList());
    delete m_screen;
    m_screen = new InspectionPoligrammeFancy;
    QCOMPARE(m_screen->dockWidgetArea(m_screen->testList()), Qt::RightDockWidgetArea);
    QCOMPARE(m_screen->size(), QSize(900, 700));
    auto settings = SettingsStore::open();
    QVERIFY(!settings->value(QStringLiteral("InspectionPoligrammeFancy/layout_data")).toByteArray().isEmpty());
}

void TestReviewScreen::saveWritesThePdfOrSaysItCouldNot()
{
    show(m_first);
    QTemporaryDir dir;
    QString answer;
    QList<FileChooser::Request> requests;
    FileChooser::setChooser([&](const FileChooser::Request &request) {
        requests << request;
        return answer;
    });
    const auto save = [this](MessageBoxAnswerer &answerer) {
        m_screen->saveAction()->trigger();
        QCOMPARE(answerer.unexpected(), 0);
    };

    {  // cancelled: nothing written, nothing said
        MessageBoxAnswerer answerer;
        save(answerer);
        QVERIFY(answerer.asked().isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 0);
    }
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].kind, FileChooser::Kind::SaveFile);
    QCOMPARE(requests[0].caption, QStringLiteral("Выбор файла для сохранения полиграммы"));
    QCOMPARE(requests[0].directory, QStringLiteral("Иванов(Тест 1).pdf"));
    QVERIFY(requests[0].filter.isEmpty());

    answer = dir.filePath(QStringLiteral("Иванов(Тест 1).pdf"));
    {
        MessageBoxAnswerer answerer({QMessageBox::Ok});
        save(answerer);
        QCOMPARE(answerer.asked(), QStringList{QStringLiteral("Полиграмма сохранена в файл ") + answer});
    }
    const int w = PolygramPrint::pdfPageWidth();
    QCOMPARE(PopplerReader::pages(answer), (3000 + w - 1) / w);
    QVERIFY(PopplerReader::text(answer, 1).contains(QStringLiteral("Тест:Тест 1 (05.03.2024 14:07)")));

    answer = answer + QStringLiteral("/x.pdf");  // under a regular file
    {
        MessageBoxAnswerer answerer({QMessageBox::Ok});
        save(answerer);
        QCOMPARE(answerer.asked(), QStringList{QStringLiteral("Не удалось сохранить полиграмму в файл ") + answer});
    }
    FileChooser::setChooser({});
}

void TestReviewScreen::cancellingTheProgressStopsAfterThePage()
{
    show(m_first);
    QTemporaryDir dir;
    const auto printTo = [&](const QString &pdf) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(pdf));
        printer.setResolution(150);
        m_screen->onPrintPreview(&printer);
        return PopplerReader::pages(dir.filePath(pdf));
    };
    QCOMPARE(printTo(QStringLiteral("all.pdf")), 2);

    QTimer canceller;
    connect(&canceller, &QTimer::timeout, [this] {
        auto *progress = m_screen->findChild<QProgressDialog *>();
        if (progress && progress->value() >= 1)
            progress->cancel();
    });
    canceller.start(1);
    QCOMPARE(printTo(QStringLiteral("cancelled.pdf")), 1);
}

VUG_TEST_MAIN(TestReviewScreen, QApplication)
#include "tst_reviewscreen.moc"
