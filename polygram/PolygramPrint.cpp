#include "PolygramPrint.h"

#include "drawG.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace {

// A4 portrait with a margin of 30 pt (10.6 mm) all round.
QPageLayout pdfLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(30, 30, 30, 30),
                       QPageLayout::Point);
}

// A time caption stands centred on its tick: the polygram keeps half a
// caption's room from the page's sides, so the first and last captions are
// whole. The captions are in the application's font.
int captionRoom(const QPaintDevice &device)
{
    return QFontMetrics(QGuiApplication::font(), &device).horizontalAdvance(QStringLiteral("00:00")) / 2 + 2;
}

QImage blankCanvas()
{
    return QImage(PolygramPrint::kCanvasWidth, PolygramPrint::kCanvasHeight, QImage::Format_RGB32);
}

constexpr int kFirstHeaderBaseline = 40;
constexpr int kCanvasLineStep = 20;

// The polygram of the ticks up to lastTick over area, at one tick per pixel;
// the part past the recording's end stays blank. The captions of ticks at
// the area's sides reach room beyond them.
void drawRecordedPart(Inspection::_Test *test, QPainter &painter, const QRect &area, int lastTick, int samples,
                      int room)
{
    const int pastEnd = qBound(0, lastTick - samples, area.width());
    drawG painterG(test, 1000);
    painterG.options |= drawG::CaptionsOfTheAreaOnly;
    if (pastEnd > 0)
        painterG.captionsEnd = area.width() - pastEnd;
    painter.save();
    painterG.setRenderHints(painter);
    // The polygram painter places its time captions for an area at x = 0.
    painter.translate(area.left(), 0);
    const QRect atZero = area.translated(-area.left(), 0);
    painter.setClipRect(atZero.adjusted(-room, 0, pastEnd > 0 ? -pastEnd : room, 0));
    painterG.drawPolygram(painter, atZero, lastTick, 0);
    painter.restore();
}

}  // namespace

PolygramPrint::PolygramPrint(Inspection::_Test *test, const QString &subjectText)
    : m_test(test), m_subject(subjectText)
{
}

int PolygramPrint::pagesFor(int samples, int pageWidth)
{
    if (samples <= 0 || pageWidth <= 0)
        return 1;
    return (samples + pageWidth - 1) / pageWidth;
}

int PolygramPrint::samples() const
{
    return m_test->samples(ChannelCode::GSR)->size();
}

int PolygramPrint::printPageCount() const
{
    return pagesFor(samples(), printPageWidth());
}

int PolygramPrint::printPageWidth()
{
    return kCanvasWidth - 2 * captionRoom(blankCanvas());
}

QString PolygramPrint::subjectLine() const
{
    return QStringLiteral("Обследуемый:") + m_subject;
}

QString PolygramPrint::testLine() const
{
    return QStringLiteral("Тест:") + m_test->headerText();
}

QString PolygramPrint::pageLine(int number, int pages)
{
    return QString::asprintf("Страница:%d/%d", number, pages);
}

QImage PolygramPrint::printCanvas(int page) const
{
    QImage canvas = blankCanvas();
    QPainter painter(&canvas);
    drawPage(painter, canvas.rect(), page + 1, printPageCount(), kCanvasLineStep);
    return canvas;
}

// The header lines, then the polygram under them: its captions reach up to its top.
void PolygramPrint::drawPage(QPainter &painter, const QRect &page, int number, int pages, int lineStep) const
{
    painter.fillRect(page, Qt::white);
    int baseline = page.top() + kFirstHeaderBaseline;
    for (const QString &line : {subjectLine(), testLine(), pageLine(number, pages)}) {
        painter.drawText(page.left(), baseline, line);
        baseline += lineStep;
    }
    const int top = baseline - lineStep + painter.fontMetrics().descent() + lineStep / 2;
    const int room = captionRoom(*painter.device());
    const QRect area(QPoint(page.left() + room, top), page.bottomRight() - QPoint(room, 0));
    drawRecordedPart(m_test, painter, area, number * area.width(), samples(), room);
}

void PolygramPrint::drawPrintPage(int page, QPainter &painter, const QRectF &pageRect) const
{
    const QImage canvas = printCanvas(page);
    // One scale for both axes, so the curves keep their shape on any paper.
    const double scale = qMin(pageRect.width() / kCanvasWidth, pageRect.height() / kCanvasHeight);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRectF(pageRect.topLeft(), QSizeF(kCanvasWidth * scale, kCanvasHeight * scale)), canvas);
    painter.restore();
}

int PolygramPrint::print(QPrinter &printer, const std::function<bool(int done)> &proceed) const
{
    const int pages = printPageCount();
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(1, pages);
    // Before painting begins, so the first page turns as well.
    printer.setPageOrientation(QPageLayout::Landscape);
    keepMinimumMargins(printer);
    QPainter painter;
    if (!painter.begin(&printer))
        return 0;
    const QRectF pageRect(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    int printed = 0;
    for (int p = printer.fromPage(); p <= printer.toPage(); ++p) {
        if (!proceed(printed))
            break;
        if (printed > 0)
            printer.newPage();
        drawPrintPage(p - 1, painter, pageRect);
        ++printed;
    }
    painter.end();
    return printed;
}

void PolygramPrint::keepMinimumMargins(QPrinter &printer)
{
    const QMarginsF set = printer.pageLayout().margins();
    const QMarginsF least = printer.pageLayout().minimumMargins();
    printer.setPageMargins(QMarginsF(qMax(set.left(), least.left()), qMax(set.top(), least.top()),
                                     qMax(set.right(), least.right()), qMax(set.bottom(), least.bottom())),
                           printer.pageLayout().units());
}

int PolygramPrint::pdfPageWidth()
{
    QPdfWriter writer(QString{});  // nothing is written without a painter
    writer.setResolution(kPdfResolution);
    return pdfLayout().paintRectPixels(kPdfResolution).width() - 2 * captionRoom(writer);
}

QString PolygramPrint::documentTitle() const
{
    return m_subject + QStringLiteral(" - ") + m_test->headerText();
}

bool PolygramPrint::writePdf(const QString &fileName) const
{
    QPdfWriter writer(fileName);
    writer.setResolution(kPdfResolution);
    writer.setPageLayout(pdfLayout());
    writer.setTitle(documentTitle());
    const QRect area(QPoint(0, 0), writer.pageLayout().paintRectPixels(kPdfResolution).size());
    const int pages = pagesFor(samples(), area.width() - 2 * captionRoom(writer));
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    for (int number = 1; number <= pages; ++number) {
        if (number > 1)
            writer.newPage();
        drawPage(painter, area, number, pages, painter.fontMetrics().height());
    }
    if (!painter.end())
        return false;
    return QFileInfo(fileName).size() > 0;
}
