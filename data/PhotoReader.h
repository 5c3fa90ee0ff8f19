#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// Photos decoded no larger than they are looked at. The size is read from the
// header before any pixel: a small file of a huge picture unpacks to gigabytes.
namespace PhotoReader {

enum class Result {
    Read,
    TooLarge,    // more pixels than kMaxPixels; not decoded
    Unreadable,  // no picture in a format Qt reads
    NoMemory,    // a picture within the bound, yet memory for it ran out
};

// Far past any camera frame or photo the program stores.
constexpr qint64 kMaxPixels = 40000000;

// Decodes bytes into image; with a valid bound, scaled down to fit within it
// (never enlarged, proportions kept). image is null unless Read.
Result read(const QByteArray &bytes, QImage &image, const QSize &bound = QSize());
// The same for a picture file.
Result readFile(const QString &path, QImage &image);

}  // namespace PhotoReader
