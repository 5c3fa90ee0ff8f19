#pragma once

class QWidget;

namespace Fancy {

// The windows give some sizes in pixels for the application font at scale 1.0.
// At a larger "Масштаб шрифта" such a size grows with the font; at 1.0 and
// below it stays as given.
class FontScale
{
public:
    // Scales the application font and remembers the factor.
    static void apply(double factor);
    static double factor();

    // pixels at the current scale.
    static int px(int pixels);
    // The same, grown no further than limit (a screen's room), never below pixels.
    static int px(int pixels, int limit);

    // The free room of the screen the widget is on, or of the primary screen.
    static int screenWidth(const QWidget *widget);
    static int screenHeight(const QWidget *widget);
};

}  // namespace Fancy
