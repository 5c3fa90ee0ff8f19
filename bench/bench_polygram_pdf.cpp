// The PDF of an hour-long test (72000 samples, 13 channels, 44 A4 pages at
// 200 dpi) and its print-out: every page through the print preview's page
// routine into a 600 dpi printer with PDF output. Beside each, as baseline,
// one page alone. Peak memory is the resident high-water mark of each run,
// reset before it, so a whole that costs no more than one page shows that
// memory does not grow with the page count.
#include "polygram/PolygramPrint.h"
#include "tests/polygram/PolygramFixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>

namespace {

const QString kSubject = QStringLiteral("Иванов");

// Resets the resident high-water mark of this process.
void resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

// The resident high-water mark in MB.
double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

void run(QTextStream &out, const QString &label, const QString &file, const std::function<int()> &write)
{
    resetPeak();
    QElapsedTimer timer;
    timer.start();
    const int pages = write();
    const double seconds = timer.nsecsElapsed() / 1e9;
    out << QStringLiteral("%1: %2 pages in %3 s (%4 ms a page), peak resident %5 MB, file %6 MB\n")
               .arg(label, -24)
               .arg(pages, 3)
               .arg(seconds, 0, 'f', 2)
               .arg(seconds * 1000 / qMax(1, pages), 0, 'f', 1)
               .arg(peakMegabytes(), 0, 'f', 1)
               .arg(QFileInfo(file).size() / 1e6, 0, 'f', 1);
    out.flush();
}

int writePdf(Inspection::_Test *test, const QString &file)
{
    const PolygramPrint print(test, kSubject);
    if (!print.writePdf(file))
        return 0;
    return PolygramPrint::pagesFor(test->samples(ChannelCode::GSR)->size(), PolygramPrint::pdfPageWidth());
}

int printPdf(Inspection::_Test *test, const QString &file)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setResolution(600);
    return PolygramPrint(test, kSubject).print(printer, [](int) { return true; });
}

}  // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;

    PolygramFixture fixture;
    fixture.fillOneHour();
    Inspection::_Test &hour = fixture.test;
    Inspection::_Test onePdfPage = hour;
    Inspection::_Test onePrintPage = hour;
    for (int code = 0; code < ChannelCode::Count; ++code) {
        onePdfPage.samples(code)->resize(PolygramPrint::pdfPageWidth());
        onePrintPage.samples(code)->resize(PolygramPrint::kCanvasWidth);
    }

    const QString pdf = dir.filePath(QStringLiteral("hour.pdf"));
    const QString printed = dir.filePath(QStringLiteral("printed.pdf"));
    // A first page warms fonts and caches so neither measurement carries them.
    writePdf(&onePdfPage, pdf);
    run(out, QStringLiteral("PDF, one page"), pdf, [&] { return writePdf(&onePdfPage, pdf); });
    run(out, QStringLiteral("PDF, the hour"), pdf, [&] { return writePdf(&hour, pdf); });
    run(out, QStringLiteral("Print 600 dpi, one page"), printed, [&] { return printPdf(&onePrintPage, printed); });
    run(out, QStringLiteral("Print 600 dpi, the hour"), printed, [&] { return printPdf(&hour, printed); });
    return 0;
}
