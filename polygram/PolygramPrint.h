#pragma once

#include "data/Inspection.h"

#include <QImage>
#include <QRect>
#include <QString>

#include <functional>

class QPainter;
class QPrinter;

// Cuts a recorded test into pages of consecutive time at one tick per pixel
// and draws them for a printer (through a fixed canvas) or into a PDF file
// (straight onto the page). Needs no window.
class PolygramPrint
{
public:
    // The print canvas: every print page is drawn here first, then scaled.
    static constexpr int kCanvasWidth = 1920;
    static constexpr int kCanvasHeight = 1080;
    static constexpr int kPdfResolution = 200;

    PolygramPrint(Inspection::_Test *test, const QString &subjectText);

    // Pages of pageWidth ticks that hold samples; one page at least.
    static int pagesFor(int samples, int pageWidth);
    int printPageCount() const;
    // The ticks a print page shows: the canvas less the captions' room.
    static int printPageWidth();

    // The header lines of a page, numbered from 1.
    QString subjectLine() const;
    QString testLine() const;
    static QString pageLine(int number, int pages);

    // The canvas of a print page, counted from 0, headers included.
    QImage printCanvas(int page) const;
    // Scales the canvas uniformly into pageRect (painter coordinates).
    void drawPrintPage(int page, QPainter &painter, const QRectF &pageRect) const;
    // Prints the printer's page range in landscape, within the printer's
    // margins and never closer to the edge than it can print. proceed runs
    // before each page with the number of pages done; false stops. Returns
    // the pages printed.
    int print(QPrinter &printer, const std::function<bool(int done)> &proceed) const;

    // Writes an A4 PDF with margins, titled with the subject and the test;
    // false when the file could not be written.
    bool writePdf(const QString &fileName) const;
    // The ticks a PDF page shows: its paint width less the captions' room.
    static int pdfPageWidth();  // for tests
    // "subject - test (recording date)".
    QString documentTitle() const;

private:
    static void keepMinimumMargins(QPrinter &printer);

    Inspection::_Test *m_test;
    QString m_subject;

    int samples() const;
    // A page numbered from 1: header lines lineStep apart over the polygram.
    void drawPage(QPainter &painter, const QRect &page, int number, int pages, int lineStep) const;
};
