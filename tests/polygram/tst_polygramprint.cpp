#include "polygram/PolygramPrint.h"
#include "tests/polygram/PolygramFixture.h"
#include "tests/support/PopplerReader.h"
#include "tests/support/TestHome.h"

#include <QFile>
#include <QGuiApplication>
#include <QPrinter>
#include <QRegularExpression>

namespace {

const QString kSubject = QStringLiteral("Иванов");

// A recording of the fixture's signals, named and dated like a recorded test.
void fillTest(PolygramFixture &fixture, int ticks)
{
    fixture.fill(ticks);
    fixture.test.name = QStringLiteral("Тест 1");
    fixture.test.DateTimeRecorded = QDateTime(QDate(2024, 3, 5), QTime(14, 7));
}

// A printer that writes A4 pages into a PDF file.
void printInto(QPrinter &printer, const QString &pdf, int dpi)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setResolution(dpi);
}

// Where the curves leave ink: bands between the header and the bottom strip.
QRect curveArea(double drawnWidth, double drawnHeight)
{
    return QRect(0, int(drawnHeight * 0.15), int(drawnWidth), int(drawnHeight * 0.75));
}

}  // namespace

class TestPolygramPrint : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString file(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void pageCountsHoldNoEmptyPage();
    void pdfPagesFollowThePaintWidth_data();
    void pdfPagesFollowThePaintWidth();
    void pdfCarriesSizeTitleAndHeaders();
    void pdfPagesShowTheirCurves();
    void pdfHeaderStandsAboveThePolygram();
    void pdfKeepsItsMarginsAndWholeCaptions();
    void unwritablePdfIsReported();
    void pdfCaptionsAreWhole_data();
    void pdfCaptionsAreWhole();
    void printPagesAreLandscapeAndScaledUniformly_data();
    void printPagesAreLandscapeAndScaledUniformly();
    void printStopsWhenAskedBetweenPages();
};

void TestPolygramPrint::pageCountsHoldNoEmptyPage()
{
    QCOMPARE(PolygramPrint::pagesFor(0, 1920), 1);
    QCOMPARE(PolygramPrint::pagesFor(100, 1920), 1);
    QCOMPARE(PolygramPrint::pagesFor(1920, 1920), 1);
    QCOMPARE(PolygramPrint::pagesFor(1921, 1920), 2);
    QCOMPARE(PolygramPrint::pagesFor(3840, 1920), 2);
    QCOMPARE(PolygramPrint::pagesFor(72000, 1653), 44);
    // A4 at 200 dpi less two margins of 10 mm at least.
    QVERIFY(PolygramPrint::pdfPageWidth() <= 1653 - 2 * 79);
    QVERIFY(PolygramPrint::pdfPageWidth() > 1350);
}

void TestPolygramPrint::pdfPagesFollowThePaintWidth_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("pages");
    const int w = PolygramPrint::pdfPageWidth();
    QTest::newRow("100") << 100 << 1;
    QTest::newRow("3840") << 3840 << (3840 + w - 1) / w;
    QTest::newRow("two widths") << 2 * w << 2;
}

void TestPolygramPrint::pdfPagesFollowThePaintWidth()
{
    QFETCH(int, ticks);
    QFETCH(int, pages);
    PolygramFixture fixture;
    fillTest(fixture, ticks);
    const QString pdf = file(QStringLiteral("pages.pdf"));
    QVERIFY(PolygramPrint(&fixture.test, kSubject).writePdf(pdf));
    QCOMPARE(PopplerReader::pages(pdf), pages);
}

void TestPolygramPrint::pdfCarriesSizeTitleAndHeaders()
{
    PolygramFixture fixture;
    fillTest(fixture, 4 * PolygramPrint::pdfPageWidth() + 10);
    const QString pdf = file(QStringLiteral("Иванов(Тест 1).pdf"));
    QVERIFY(PolygramPrint(&fixture.test, kSubject).writePdf(pdf));

    const QMap<QString, QString> info = PopplerReader::info(pdf);
    QCOMPARE(info.value(QStringLiteral("Pages")), QStringLiteral("5"));
    QVERIFY2(info.value(QStringLiteral("Page size")).contains(QStringLiteral("(A4)")),
             qPrintable(info.value(QStringLiteral("Page size"))));
    QVERIFY(qAbs(PopplerReader::pageSize(pdf).width() - 595.3) < 1);  // portrait
    QCOMPARE(info.value(QStringLiteral("Title")), QStringLiteral("Иванов - Тест 1 (05.03.2024 14:07)"));

    const QString second = PopplerReader::text(pdf, 2);
    QVERIFY2(second.contains(QStringLiteral("Страница:2/5")), qPrintable(second));
    QVERIFY(second.contains(QStringLiteral("Обследуемый:Иванов")));
    QVERIFY(second.contains(QStringLiteral("Тест:Тест 1 (05.03.2024 14:07)")));
    QVERIFY(PopplerReader::text(pdf, 5).contains(QStringLiteral("Страница:5/5")));
}

void TestPolygramPrint::pdfPagesShowTheirCurves()
{
    PolygramFixture fixture;
    const int w = PolygramPrint::pdfPageWidth();
    fillTest(fixture, 2 * w + w / 4);  // the last page a quarter full
    const QString pdf = file(QStringLiteral("curves.pdf"));
    QVERIFY(PolygramPrint(&fixture.test, kSubject).writePdf(pdf));
    QCOMPARE(PopplerReader::pages(pdf), 3);

    const QImage first = PopplerReader::page(pdf, 1, 50);
    const QImage last = PopplerReader::page(pdf, 3, 50);
    QVERIFY(!first.isNull() && !last.isNull());
    // The polygram ends at the right margin (30 pt) and is w ticks wide.
    const QRect area = curveArea(first.width(), first.height());
    const int curvesRight = first.width() - int(30 * 50 / 72.0) - 1;
    const int curvesLeft = curvesRight - w * 50 / PolygramPrint::kPdfResolution;
    const int quarter = (curvesRight - curvesLeft) / 4;
    const QRect left(curvesLeft + 2, area.top(), quarter - 4, area.height());
    const QRect right(curvesLeft + quarter + 4, area.top(), curvesRight - curvesLeft - quarter - 4, area.height());
    const int fullLeft = PopplerReader::colourIn(first, left);
    const int fullRight = PopplerReader::colourIn(first, right);
    QVERIFY2(fullLeft > left.width() * left.height() / 50, qPrintable(QString::number(fullLeft)));
    QVERIFY(fullRight > right.width() * right.height() / 50);
    // The last page has curves where its samples are and none beyond.
    QVERIFY(PopplerReader::colourIn(last, left) > fullLeft / 2);
    QCOMPARE(PopplerReader::colourIn(last, right), 0);
}

// The first mark's captions stand near the top: the header must not cover them.
void TestPolygramPrint::pdfHeaderStandsAboveThePolygram()
{
    PolygramFixture fixture;
    fillTest(fixture, 2 * PolygramPrint::pdfPageWidth());
    const QString pdf = file(QStringLiteral("header.pdf"));
    QVERIFY(PolygramPrint(&fixture.test, kSubject).writePdf(pdf));
    const QStringList header = QStringLiteral("Обследуемый:Иванов Тест:Тест 1 (05.03.2024 14:07) Страница:1/2")
                                   .split(QLatin1Char(' '));
    const auto words = PopplerReader::words(pdf, 1);
    double headerBottom = 0;
    for (const auto &word : words) {
        if (header.contains(word.first))
            headerBottom = qMax(headerBottom, word.second.bottom());
    }
    QVERIFY(headerBottom > 0);
    QStringList others;
    for (const auto &word : words) {
        if (!header.contains(word.first) && word.second.top() < headerBottom)
            others << word.first;
    }
    QVERIFY2(others.isEmpty(), qPrintable(others.join(QLatin1Char(' '))));
}

// Nothing within 10 mm of the paper's edges, and no caption cut at the polygram's left.
void TestPolygramPrint::pdfKeepsItsMarginsAndWholeCaptions()
{
    PolygramFixture fixture;
    fillTest(fixture, 2 * PolygramPrint::pdfPageWidth());
    const QString pdf = file(QStringLiteral("margins.pdf"));
    QVERIFY(PolygramPrint(&fixture.test, kSubject).writePdf(pdf));
    const double margin = 10 / 25.4 * 72;  // points
    const QSizeF paper = PopplerReader::pageSize(pdf);
    static const QRegularExpression time(QStringLiteral("^\\d\\d:\\d\\d$"));
    QStringList times;
    for (const auto &word : PopplerReader::words(pdf, 1)) {
        QVERIFY2(word.second.top() >= margin && word.second.bottom() <= paper.height() - margin, qPrintable(word.first));
        if (!time.match(word.first).hasMatch())
            continue;
        times << word.first;
        QVERIFY2(word.second.left() >= margin && word.second.right() <= paper.width() - margin, qPrintable(word.first));
    }
    QVERIFY2(times.contains(QStringLiteral("00:00")), qPrintable(times.join(' ')));
    const int dpi = 50;
    const QImage image = PopplerReader::page(pdf, 1, dpi);
    const int strip = int(10 / 25.4 * dpi);
    QCOMPARE(PopplerReader::inkIn(image, QRect(0, 0, strip, image.height())), 0);
    QCOMPARE(PopplerReader::inkIn(image, QRect(image.width() - strip, 0, strip, image.height())), 0);
    QCOMPARE(PopplerReader::inkIn(image, QRect(0, 0, image.width(), strip)), 0);
    QCOMPARE(PopplerReader::inkIn(image, QRect(0, image.height() - strip, image.width(), strip)), 0);
}

void TestPolygramPrint::pdfCaptionsAreWhole_data()
{
    QTest::addColumn<int>("pastCaption");  // the recording's end, from a caption's tick
    for (const int past : {-25, -8, 0, 8, 25})
        QTest::addRow("%d", past) << past;
}

// At 300 dpi each time caption shows whole, in its strip, with no axis bar
// or tick mark crossing it, also where the recording ends within a page.
void TestPolygramPrint::pdfCaptionsAreWhole()
{
    QFETCH(int, pastCaption);
    PolygramFixture fixture;
    const int w = PolygramPrint::pdfPageWidth();
    fillTest(fixture, (w + w / 2) / 200 * 200 + pastCaption);
    const QString pdf = file(QStringLiteral("captions.pdf"));
    QVERIFY(PolygramPrint(&fixture.test, kSubject).writePdf(pdf));
    const int dpi = 300;
    const QImage image = PopplerReader::page(pdf, 2, dpi);
    QVERIFY(!image.isNull());
    static const QRegularExpression time(QStringLiteral("^\\d\\d:\\d\\d$"));
    QVector<QRect> inks;
    for (const auto &word : PopplerReader::words(pdf, 2)) {
        if (!time.match(word.first).hasMatch())
            continue;
        const QRectF points = word.second;
        const QRect box(QPoint(qFloor(points.left() * dpi / 72), qFloor(points.top() * dpi / 72)),
                        QPoint(qCeil(points.right() * dpi / 72), qCeil(points.bottom() * dpi / 72)));
        // A line that crosses the caption leaves ink just outside its box.
        const QRect frame = box.adjusted(-2, -2, 2, 2);
        const int outside = PopplerReader::inkIn(image, frame) - PopplerReader::inkIn(image, box);
        QVERIFY2(outside == 0, qPrintable(QStringLiteral("%1 crossed: %2").arg(word.first).arg(outside)));
        const QRect ink = PopplerReader::inkBounds(image, box);
        QVERIFY2(ink.width() > box.width() * 3 / 4, qPrintable(word.first + QStringLiteral(" cut at its side")));
        inks << ink;
    }
    QVERIFY(inks.size() >= 6);  // the top and bottom rows
    // A caption cut at its top or bottom is lower than the others.
    const auto tallest = std::max_element(inks.begin(), inks.end(), [](const QRect &a, const QRect &b) {
        return a.height() < b.height();
    });
    for (const QRect &ink : inks)
        QVERIFY2(ink.height() >= tallest->height() - 2, qPrintable(QString::number(ink.height())));
}

void TestPolygramPrint::unwritablePdfIsReported()
{
    PolygramFixture fixture;
    fillTest(fixture, 100);
    const QString plain = file(QStringLiteral("plain"));
    QFile blocker(plain);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(!PolygramPrint(&fixture.test, kSubject).writePdf(plain + QStringLiteral("/x.pdf")));
    QVERIFY(!QFile::exists(plain + QStringLiteral("/x.pdf")));
}

void TestPolygramPrint::printPagesAreLandscapeAndScaledUniformly_data()
{
    QTest::addColumn<int>("dpi");
    QTest::newRow("150") << 150;
    QTest::newRow("600") << 600;
}

void TestPolygramPrint::printPagesAreLandscapeAndScaledUniformly()
{
    QFETCH(int, dpi);
    PolygramFixture fixture;
    fillTest(fixture, 2 * PolygramPrint::printPageWidth());
    const QString pdf = file(QStringLiteral("print.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printInto(printer, pdf, dpi);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    const PolygramPrint print(&fixture.test, kSubject);
    QCOMPARE(print.printPageCount(), 2);
    QCOMPARE(print.print(printer, [](int) { return true; }), 2);

    QCOMPARE(PopplerReader::pages(pdf), 2);
    QVERIFY(qAbs(PopplerReader::pageSize(pdf).width() - 841.9) < 1);
    for (int page = 1; page <= 2; ++page) {
        const QImage image = PopplerReader::page(pdf, page, 40);
        QVERIFY(image.width() > image.height());
        // A4 is narrower than the canvas: its width sets the one scale.
        const double drawnHeight = image.width() * 1080.0 / 1920.0;
        const QRect area = curveArea(image.width(), drawnHeight);
        QVERIFY(PopplerReader::colourIn(image, area) > area.width() * area.height() / 50);
        const QRect rightEdge(image.width() * 9 / 10, area.top(), image.width() / 10, area.height());
        QVERIFY(PopplerReader::inkIn(image, rightEdge) > 0);
        const QRect below(0, int(drawnHeight) + 2, image.width(), image.height() - int(drawnHeight) - 2);
        QCOMPARE(PopplerReader::inkIn(image, below), 0);
    }
}

void TestPolygramPrint::printStopsWhenAskedBetweenPages()
{
    PolygramFixture fixture;
    fillTest(fixture, 5000);
    const QString pdf = file(QStringLiteral("stopped.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printInto(printer, pdf, 150);
    QList<int> asked;
    const auto stopAfterOne = [&asked](int done) {
        asked << done;
        return done < 1;
    };
    QCOMPARE(PolygramPrint(&fixture.test, kSubject).print(printer, stopAfterOne), 1);
    QCOMPARE(asked, (QList<int>{0, 1}));
    QCOMPARE(PopplerReader::pages(pdf), 1);
}

VUG_TEST_MAIN(TestPolygramPrint, QGuiApplication)
#include "tst_polygramprint.moc"
