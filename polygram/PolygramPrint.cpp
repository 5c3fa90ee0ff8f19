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

void drawPolygramArea(Inspection::_Test *test, QPainter &painter, const QRect &area, int lastTick)
{
    drawG painterG(test, 1000);
    painterG.setRenderHints(painter);
    painter.fillRect(area, Qt::white);
    painterG.drawPolygram(painter, area, lastTick, 0);
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
    const int number = page + 1;
    drawPolygramArea(m_test, painter, canvas.rect(), number * kCanvasWidth);
    painter.drawText(0, 40, subjectLine());
    painter.drawText(0, 60, testLine());
    painter.drawText(0, 80, pageLine(number, printPageCount()));
    return canvas;
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

void PolygramPrint::drawPdfPage(QPainter &painter, const QRect &area, int number, int pages) const
{
    drawPolygramArea(m_test, painter, area, number * area.width());
    const int h = painter.fontMetrics().height();
    painter.drawText(0, 40, subjectLine());
    painter.drawText(0, h + 40, testLine());
    painter.drawText(0, 2 * h + 40, pageLine(number, pages));
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
        drawPdfPage(painter, area, number, pages);
    }
    if (!painter.end())
        return false;
    return QFileInfo(fileName).size() > 0;
}
