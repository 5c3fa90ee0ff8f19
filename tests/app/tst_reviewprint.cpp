#include "app/vugVorkel.h"
#include "data/FileChooser.h"
#include "data/Inspection.h"
#include "data/SettingsStore.h"
#include "editor/InspectionEditFancy.h"
#include "polygram/InspectionPoligrammeFancy.h"
#include "polygram/PolygramPrint.h"
#include "tests/data/StoreFixtures.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/PopplerReader.h"
#include "tests/support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>

// Printing and saving a recorded test from the review screen of the main window.
class TestReviewPrint : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    Inspection m_inspection;
    vugVorkel *m_window = nullptr;
    InspectionPoligrammeFancy *m_review = nullptr;

private slots:
    void initTestCase();
    void cleanupTestCase();
    void saveWritesTheTestsPdf();
    void printPreviewShowsEveryPage();
};

void TestReviewPrint::initTestCase()
{
    QFile::remove(SettingsStore::filePath());
    const QString path = m_dir.filePath(QStringLiteral("Петров.qmz"));
    Inspection inspection;
    inspection.path = path;
    inspection.appendTest(StoreFixtures::recordedTest(QStringLiteral("План"), 0));
    inspection.appendTest(StoreFixtures::recordedTest(QStringLiteral("Проверка"), 3840, 9));
    StoreFixtures::saveTests(inspection);
    QCOMPARE(m_inspection.load(path), StoreResult::Ok);

    m_window = new vugVorkel;
    m_window->onInitialize();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    auto *editor = m_window->findChild<InspectionEditFancy *>(QStringLiteral("InspectionEditFancy"));
    emit editor->notifyChangePersone(path, &m_inspection);
    m_review = m_window->findChild<InspectionPoligrammeFancy *>(QStringLiteral("InspectionPoligrammeFancy"));
    int index = 0;
    while (m_inspection.tests[index].name != QStringLiteral("Проверка"))
        ++index;
    m_window->onDefViewPoligramme(index);
    QCOMPARE(m_review->shownTest(), index);
}

void TestReviewPrint::cleanupTestCase()
{
    delete m_window;
}

void TestReviewPrint::saveWritesTheTestsPdf()
{
    QVERIFY(m_review->saveAction()->isEnabled());
    QString proposed;
    const QString pdf = m_dir.filePath(QStringLiteral("Петров(Проверка).pdf"));
    FileChooser::setChooser([&](const FileChooser::Request &request) {
        proposed = request.directory;
        return pdf;
    });
    MessageBoxAnswerer answerer({QMessageBox::Ok});
    m_review->saveAction()->trigger();
    FileChooser::setChooser({});
    QCOMPARE(proposed, QStringLiteral("Петров(Проверка).pdf"));
    QCOMPARE(answerer.asked(), QStringList{QStringLiteral("Полиграмма сохранена в файл ") + pdf});

    const int w = PolygramPrint::pdfPageWidth();
    QCOMPARE(PopplerReader::pages(pdf), (3840 + w - 1) / w);
    QCOMPARE(PopplerReader::info(pdf).value(QStringLiteral("Title")), QStringLiteral("Петров - Проверка (05.03.2024 14:07)"));
    const QString text = PopplerReader::text(pdf, 1);
    QVERIFY(text.contains(QStringLiteral("Обследуемый:Петров")));
    QVERIFY(text.contains(QStringLiteral("Тест:Проверка (05.03.2024 14:07)")));
    QVERIFY(text.contains(QStringLiteral("Страница:1/3")));
}

void TestReviewPrint::printPreviewShowsEveryPage()
{
    QVERIFY(m_review->printAction()->isEnabled());
    int pages = -1;
    QString title;
    QPrinter::Orientation orientation = QPrinter::Portrait;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
        auto *preview = dialog ? dialog->findChild<QPrintPreviewWidget *>() : nullptr;
        if (!preview || preview->pageCount() == 0)
            return;
        pages = preview->pageCount();
        title = dialog->windowTitle();
        orientation = preview->orientation();
        dialog->reject();
    });
    watcher.start(20);
    m_review->printAction()->trigger();
    QCOMPARE(pages, PolygramPrint::pagesFor(3840, PolygramPrint::printPageWidth()));
    QCOMPARE(title, QStringLiteral("Воркел"));
    QCOMPARE(orientation, QPrinter::Landscape);
}

VUG_TEST_MAIN(TestReviewPrint, QApplication)
#include "tst_reviewprint.moc"
