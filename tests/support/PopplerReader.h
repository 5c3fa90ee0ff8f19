#pragma once

// Reads PDF files back with poppler-utils, a reader independent of Qt's writer.
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QSizeF>
#include <QStringList>
#include <QTemporaryDir>
#include <QVector>

namespace PopplerReader {

inline QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// pdfinfo's "Key: value" lines.
inline QMap<QString, QString> info(const QString &pdf)
{
    QMap<QString, QString> fields;
    for (const QString &line : run(QStringLiteral("pdfinfo"), {pdf}).split(QLatin1Char('\n'))) {
        const int colon = line.indexOf(QLatin1Char(':'));
        if (colon > 0)
            fields.insert(line.left(colon), line.mid(colon + 1).trimmed());
    }
    return fields;
}

inline int pages(const QString &pdf)
{
    return info(pdf).value(QStringLiteral("Pages"), QStringLiteral("-1")).toInt();
}

// The first page's size in points, as "W x H pts".
inline QSizeF pageSize(const QString &pdf)
{
    const QStringList parts = info(pdf).value(QStringLiteral("Page size")).split(QLatin1Char(' '));
    return parts.size() >= 3 ? QSizeF(parts[0].toDouble(), parts[2].toDouble()) : QSizeF();
}

// The text of one page, counted from 1, in the order it was drawn.
inline QString text(const QString &pdf, int page)
{
    const QString number = QString::number(page);
    return run(QStringLiteral("pdftotext"),
               {QStringLiteral("-raw"), QStringLiteral("-f"), number, QStringLiteral("-l"), number, pdf,
                QStringLiteral("-")});
}

// The words of one page, counted from 1, with their boxes in points.
inline QVector<QPair<QString, QRectF>> words(const QString &pdf, int page)
{
    const QString number = QString::number(page);
    const QString html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"), number,
                                                           QStringLiteral("-l"), number, pdf, QStringLiteral("-")});
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QVector<QPair<QString, QRectF>> found;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QRectF box(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                         QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
        found.append({m.captured(5), box});
    }
    return found;
}

// One page, counted from 1, rendered at dpi dots per inch.
inline QImage page(const QString &pdf, int page, int dpi)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    const QString number = QString::number(page);
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-singlefile"), QStringLiteral("-r"),
                                     QString::number(dpi), QStringLiteral("-f"), number, QStringLiteral("-l"), number,
                                     pdf, prefix});
    return QImage(prefix + QStringLiteral(".png"));
}

// Pixels that are not near white inside a rectangle of the image.
inline int inkIn(const QImage &image, const QRect &rect)
{
    int ink = 0;
    const QRect inside = rect & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (qGray(image.pixel(x, y)) < 200)
                ++ink;
    return ink;
}

// The smallest rectangle holding the ink inside a rectangle of the image.
inline QRect inkBounds(const QImage &image, const QRect &rect)
{
    QRect bounds;
    const QRect inside = rect & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (qGray(image.pixel(x, y)) < 200)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// Pixels of a clear colour inside a rectangle: curves, not grid or text.
inline int colourIn(const QImage &image, const QRect &rect)
{
    int colour = 0;
    const QRect inside = rect & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.saturation() > 120 && c.value() < 230)
                ++colour;
        }
    return colour;
}

}  // namespace PopplerReader
