#include "PolygramPrint.h"

#include "drawG.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace {

// A4 portrait with 30 pt above and below: the curves run to the paper's edges.
QPageLayout pdfLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 30, 0, 30),
                       QPageLayout::Point);
}

constexpr int kFirstHeaderBaseline = 40;
constexpr int kCanvasLineStep = 20;

// The polygram of the ticks up to lastTick over area, at one tick per pixel;
// the part past the recording's end stays blank.
void drawRecordedPart(Inspection::_Test *test, QPainter &painter, const QRect &area, int lastTick, int samples)
{
    const int pastEnd = qBound(0, lastTick - samples, area.width());
    drawG painterG(test, 1000);
    painter.save();
    painterG.setRenderHints(painter);
    painter.setClipRect(area.adjusted(0, 0, -pastEnd, 0));
    painterG.drawPolygram(painter, area, lastTick, 0);
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
    return pagesFor(samples(), kCanvasWidth);
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
    QImage canvas(kCanvasWidth, kCanvasHeight, QImage::Format_RGB32);
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
    const QRect area(QPoint(page.left(), top), page.bottomRight());
    drawRecordedPart(m_test, painter, area, number * page.width(), samples());
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

int PolygramPrint::pdfPageWidth()
{
    return pdfLayout().paintRectPixels(kPdfResolution).width();
}

bool PolygramPrint::writePdf(const QString &fileName) const
{
    QPdfWriter writer(fileName);
    writer.setResolution(kPdfResolution);
    writer.setPageLayout(pdfLayout());
    writer.setTitle(fileName);
    const QRect area(QPoint(0, 0), writer.pageLayout().paintRectPixels(kPdfResolution).size());
    const int pages = pagesFor(samples(), area.width());
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
