#pragma once

#include <QImage>

namespace Fancy {

// Soft shadow mask: the alpha channel of image blurred over about radius
// pixels, returned as a premultiplied image whose colour channels are zero.
QImage blurredAlpha(const QImage &image, int radius);

} // namespace Fancy
