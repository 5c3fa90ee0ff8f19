#include "fancy/PanelStyle.h"

#include "fancy/ShadowBlur.h"

#include <QApplication>
#include <QCommonStyle>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmapCache>
#include <QStyleOption>
#include <QWidget>

#include <cmath>

namespace Fancy {

namespace {

// Both start invalid, which reads as black, until the user picks a colour.
QColor &requestedColour()
{
    static QColor colour;
    return colour;
}

QColor &effectiveColour()
{
    static QColor colour;
    return colour;
}

int clampChannel(double value)
{
    if (value > 255.0)
        return 255;
    const int truncated = int(value);
    return truncated < 0 ? 0 : truncated;
}

QImage grayscaled(const QPixmap &pixmap)
{
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            const int gray = (11 * qRed(pixel) + 16 * qGreen(pixel) + 5 * qBlue(pixel)) >> 5;
            line[x] = qRgba(gray, gray, gray, qAlpha(pixel));
        }
    }
    return image;
}

// The icon with its shadow on a transparent pixmap grown by the blur margin.
QPixmap shadowedIcon(const QIcon &icon, const QSize &size, QIcon::Mode mode, int radius, const QColor &colour,
                     const QPoint &offset)
{
    QPixmap px = icon.pixmap(size, QIcon::Normal, QIcon::Off);
    const int ratio = int(std::ceil(px.devicePixelRatio()));
    const int r = radius * ratio;

    QPixmap cache(px.size() + QSize(2 * r, 2 * r));
    cache.fill(Qt::transparent);

    if (mode == QIcon::Disabled)
        px = QPixmap::fromImage(grayscaled(px));

    QImage tmp(px.size() + QSize(2 * r, 2 * r + 1), QImage::Format_ARGB32_Premultiplied);
    tmp.fill(Qt::transparent);
    {
        QPainter tmpPainter(&tmp);
        tmpPainter.setCompositionMode(QPainter::CompositionMode_Source);
        tmpPainter.drawPixmap(QPoint(r, r), px);
    }
    tmp = blurredAlpha(tmp, r);
    {
        // Filled twice on purpose: the shadow's alpha is the blurred alpha
        // times the colour's alpha squared, which keeps it soft.
        QPainter tmpPainter(&tmp);
        tmpPainter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tmpPainter.fillRect(tmp.rect(), colour);
        tmpPainter.fillRect(tmp.rect(), colour);
    }
    {
        QPainter cachePainter(&cache);
        cachePainter.drawImage(cache.rect(), tmp);
        cachePainter.drawPixmap(QPoint(r + ratio * offset.x(), r + ratio * offset.y()), px);
    }
    cache.setDevicePixelRatio(ratio);
    return cache;
}

QPixmap arrowPixmap(const QCommonStyle *style, QStyle::PrimitiveElement element, const QStyleOption *option,
                    int size, int ratio)
{
    QImage image(int(size * ratio), int(size * ratio), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);

    QStyleOption tweak = *option;
    tweak.state = QStyle::State_Enabled;
    if (!(option->state & QStyle::State_Enabled)) {
        tweak.palette.setColor(QPalette::ButtonText, option->palette.mid().color());
        tweak.rect = image.rect();
        style->QCommonStyle::drawPrimitive(element, &tweak, &painter);
    } else {
        // A faint dark copy one device pixel lower gives the light arrow an edge.
        tweak.palette.setColor(QPalette::ButtonText, Qt::black);
        painter.setOpacity(0.2);
        tweak.rect = image.rect().translated(0, ratio);
        style->QCommonStyle::drawPrimitive(element, &tweak, &painter);
        tweak.palette.setColor(QPalette::ButtonText, QColor(220, 220, 220, 255));
        painter.setOpacity(1.0);
        tweak.rect = image.rect();
        style->QCommonStyle::drawPrimitive(element, &tweak, &painter);
    }
    painter.end();
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

} // namespace

qreal PanelStyle::tabFontSize()
{
    return 7.5;
}

QColor PanelStyle::panelColor(bool light)
{
    return light ? effectiveColour().lighter(230) : effectiveColour();
}

QColor PanelStyle::panelHighlight(bool light)
{
    const QColor c = panelColor(light);
    const int value = clampChannel(c.value() * (light ? 1.06 : 1.16));
    return QColor::fromHsv(c.hue(), clampChannel(c.saturation()), value, 255);
}

QColor PanelStyle::panelShadow(bool light)
{
    const QColor c = panelColor(light);
    return QColor::fromHsv(c.hue(), clampChannel(c.saturation() * 1.1), clampChannel(c.value() * 0.7), 255);
}

QColor PanelStyle::panelBorder(bool light)
{
    const QColor c = panelColor(light);
    return QColor::fromHsv(c.hue(), c.saturation(), c.value() / 2, 255);
}

void PanelStyle::setPanelColor(const QColor &colour)
{
    requestedColour() = colour;
    const QColor c = QColor::fromHsv(colour.hue(), int(colour.saturation() * 0.7), 64 + colour.value() / 3, 255);
    if (!c.isValid() || c == effectiveColour())
        return;
    effectiveColour() = c;
    const QWidgetList topLevels = QApplication::topLevelWidgets();
    for (QWidget *widget : topLevels)
        widget->update();
}

QColor PanelStyle::requestedPanelColor()
{
    return requestedColour();
}

QString PanelStyle::verticalGradientKey(const QRect &spanRect, const QRect &clipRect, bool light)
{
    return QString::asprintf("mh_vertical %d %d %d %d %d", spanRect.width(), spanRect.height(), clipRect.width(),
                             clipRect.height(), int(panelColor(light).rgb()));
}

QString PanelStyle::iconShadowKey(const QIcon &icon, QIcon::Mode mode, int height)
{
    return QStringLiteral("icon %0 %1 %2").arg(icon.cacheKey()).arg(int(mode)).arg(height);
}

QString PanelStyle::arrowKey(QStyle::PrimitiveElement element, const QStyleOption *option, int size, int ratio)
{
    return QString::asprintf("arrow-%s-%d-%d-%d-%lld-%f", "$qt_ia", int(option->state), int(element), size,
                             static_cast<long long>(option->palette.cacheKey()), double(ratio));
}

void PanelStyle::paintVerticalGradient(QPainter *painter, const QRect &spanRect, const QRect &clipRect, bool light)
{
    const QString key = verticalGradientKey(spanRect, clipRect, light);
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap(clipRect.size());
        QPainter p(&pixmap);
        const QRect rect(0, 0, clipRect.width(), clipRect.height());
        QLinearGradient gradient(spanRect.topRight(), spanRect.topLeft());
        gradient.setColorAt(0, panelHighlight(light).lighter(117));
        gradient.setColorAt(1, panelShadow(light).darker(109));
        p.fillRect(rect, gradient);
        p.setPen(QColor(255, 255, 255, 80));
        p.drawLine(rect.topRight() - QPoint(1, 0), rect.bottomRight() - QPoint(1, 0));
        p.setPen(QColor(0, 0, 0, 90));
        p.drawLine(rect.topLeft(), rect.bottomLeft());
        p.end();
        QPixmapCache::insert(key, pixmap);
    }
    painter->drawPixmap(clipRect.topLeft(), pixmap);
}

void PanelStyle::paintIconWithShadow(const QIcon &icon, const QRect &rect, QPainter *painter, QIcon::Mode mode,
                                     int radius, const QColor &colour, const QPoint &offset)
{
    const QString key = iconShadowKey(icon, mode, rect.height());
    QPixmap cache;
    if (!QPixmapCache::find(key, &cache)) {
        cache = shadowedIcon(icon, rect.size(), mode, radius, colour, offset);
        QPixmapCache::insert(key, cache);
    }
    const qreal ratio = cache.devicePixelRatio();
    const int w = qRound(cache.width() / ratio);
    const int h = qRound(cache.height() / ratio);
    const QPoint centre((rect.left() + rect.right()) / 2, (rect.top() + rect.bottom()) / 2);
    const QRect target(centre.x() - offset.x() - (w - 1) / 2, centre.y() - offset.y() - (h - 1) / 2, w, h);
    painter->drawPixmap(target, cache);
}

void PanelStyle::paintArrow(QStyle::PrimitiveElement element, QPainter *painter, const QStyleOption *option)
{
    const QRect rect = option->rect;
    if (rect.width() <= 1 || rect.height() <= 1)
        return;
    const int ratio = painter->device()->devicePixelRatio();
    const int size = qMin(rect.width(), rect.height());
    const QString key = arrowKey(element, option, size, ratio);
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        const auto *style = qobject_cast<const QCommonStyle *>(QApplication::style());
        if (!style)
            return;
        pixmap = arrowPixmap(style, element, option, size, ratio);
        QPixmapCache::insert(key, pixmap);
    }
    painter->drawPixmap(QPoint(rect.left() + (rect.width() - size) / 2, rect.top() + (rect.height() - size) / 2),
                        pixmap);
}

} // namespace Fancy
