#include "PhotoReader.h"

#include <QBuffer>
#include <QImageReader>

namespace PhotoReader {

namespace {

Result readFrom(QImageReader &reader, QImage &image, const QSize &bound)
{
    image = QImage();
    const QSize size = reader.size();
    if (!size.isValid())
        return Result::Unreadable;
    if (qint64(size.width()) * size.height() > kMaxPixels)
        return Result::TooLarge;
    QSize target = size;
    if (bound.isValid() && (size.width() > bound.width() || size.height() > bound.height()))
        target = size.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (target != size)
        reader.setScaledSize(target);
    if (reader.read(&image))
        return Result::Read;
    // Qt tells a failed allocation as bad data; a picture that would fit tells which.
    return QImage(target, QImage::Format_ARGB32).isNull() ? Result::NoMemory : Result::Unreadable;
}

}  // namespace

Result read(const QByteArray &bytes, QImage &image, const QSize &bound)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return readFrom(reader, image, bound);
}

Result readFile(const QString &path, QImage &image)
{
    QImageReader reader(path);
    return readFrom(reader, image, QSize());
}

}  // namespace PhotoReader
