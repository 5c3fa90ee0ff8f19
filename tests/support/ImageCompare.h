#pragma once

#include <QImage>
#include <QtGlobal>

// Colour levels antialiasing may round differently by.
constexpr int AntialiasTolerance = 16;

// Pixels of two 32-bit images of one size that differ by more than antialiasing's rounding.
inline int pixelsApart(const QImage &a, const QImage &b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb *left = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const QRgb *right = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            count += qAbs(qRed(left[x]) - qRed(right[x])) > AntialiasTolerance
                     || qAbs(qGreen(left[x]) - qGreen(right[x])) > AntialiasTolerance
                     || qAbs(qBlue(left[x]) - qBlue(right[x])) > AntialiasTolerance;
        }
    }
    return count;
}
