#include "SharedHelpers.h"

#include <QApplication>
#include <QMainWindow>

QString romanNumeral(int n)
{
    static const char *const units[] = {"I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX", "X"};
    if (n < 1 || n > 50)
        return QString();
    const int k = n - 1;
    if (k <= 9)
        return QLatin1String(units[k]);
    return QString(k / 10, QLatin1Char('X')) + QLatin1String(units[k % 10]);
}

QString inTests(int count)
{
    const bool singular = count % 10 == 1 && count % 100 != 11;
    return QStringLiteral("в %1 %2").arg(count).arg(singular ? QStringLiteral("тесте") : QStringLiteral("тестах"));
}

QColor withLightness(QColor color, int lightness)
{
    // Out-of-range lightness would give an invalid colour; the nearest valid one is meant.
    return QColor::fromHsl(color.hslHue(), color.hslSaturation(), qBound(0, lightness, 255), 255);
}

QMainWindow *findMainWindow()
{
    const QWidgetList widgets = QApplication::topLevelWidgets();
    for (QWidget *widget : widgets) {
        if (auto *window = qobject_cast<QMainWindow *>(widget))
            return window;
    }
    return nullptr;
}
