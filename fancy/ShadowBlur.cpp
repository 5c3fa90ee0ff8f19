#include "fancy/ShadowBlur.h"

#include <vector>

namespace Fancy {

namespace {

// One running-sum box pass along a line of count values spaced stride apart;
// values outside the image count as transparent.
void boxPass(std::vector<int> &alpha, int start, int count, int stride, int radius)
{
    std::vector<int> line(count);
    for (int i = 0; i < count; ++i)
        line[i] = alpha[start + i * stride];
    const int window = 2 * radius + 1;
    int sum = 0;
    for (int i = 0; i < radius && i < count; ++i)
        sum += line[i];
    for (int i = 0; i < count; ++i) {
        const int entering = i + radius;
        const int leaving = i - radius - 1;
        if (entering < count)
            sum += line[entering];
        if (leaving >= 0)
            sum -= line[leaving];
        alpha[start + i * stride] = sum / window;
    }
}

void boxBlur(std::vector<int> &alpha, int width, int height, int radius)
{
    for (int y = 0; y < height; ++y)
        boxPass(alpha, y * width, width, 1, radius);
    for (int x = 0; x < width; ++x)
        boxPass(alpha, x, height, width, radius);
}

} // namespace

QImage blurredAlpha(const QImage &image, int radius)
{
    const QImage source = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int width = source.width();
    const int height = source.height();
    std::vector<int> alpha(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        for (int x = 0; x < width; ++x)
            alpha[size_t(y) * width + x] = qAlpha(line[x]);
    }
    // Three box passes approach a Gaussian; their radii add up to radius,
    // so the shadow spreads exactly that far.
    for (int pass = 0; pass < 3; ++pass) {
        const int passRadius = radius / 3 + (pass < radius % 3 ? 1 : 0);
        if (passRadius > 0)
            boxBlur(alpha, width, height, passRadius);
    }
    QImage result(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgba(0, 0, 0, alpha[size_t(y) * width + x]);
    }
    return result;
}

} // namespace Fancy
