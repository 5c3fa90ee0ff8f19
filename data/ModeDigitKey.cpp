#include "ModeDigitKey.h"

#include <QKeyEvent>

namespace {

// X11 key codes of the digit row 1-5 (evdev code + 8) name the physical keys,
// so they hold for any layout, including those whose digits need Shift.
constexpr quint32 kX11ScanCodeOne = 10;
constexpr quint32 kX11ScanCodeZero = 19;
constexpr quint32 kX11ScanCodeSpace = 65;
constexpr quint32 kX11ScanCodeLeftOfOne = 49;
// The digit characters' codes, which the Latin and Cyrillic layouts share.
constexpr quint32 kVirtualKeyOne = 0x31;

// Synthetic and offscreen key events carry no native codes.
bool withoutNativeCodes(const QKeyEvent *key)
{
    return key->nativeScanCode() == 0 && key->nativeVirtualKey() == 0;
}

BallKey ballKeyOfScanCode(quint32 scanCode)
{
    switch (scanCode) {
    case kX11ScanCodeZero:
        return BallKeyDigit0;
    case kX11ScanCodeOne:
    case kX11ScanCodeOne + 1:
    case kX11ScanCodeOne + 2:
        return BallKey(BallKeyDigit1 + int(scanCode - kX11ScanCodeOne));
    case kX11ScanCodeSpace:
        return BallKeySpace;
    case kX11ScanCodeLeftOfOne:
        return BallKeyWeight;
    default:
        return BallKeyNone;
    }
}

BallKey ballKeyOfQtKey(int key)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_3)
        return BallKey(BallKeyDigit0 + key - Qt::Key_0);
    if (key == Qt::Key_Space)
        return BallKeySpace;
    if (key == Qt::Key_QuoteLeft)
        return BallKeyWeight;
    return BallKeyNone;
}

}  // namespace

int modeDigitOfKey(const QKeyEvent *key)
{
    if (key->modifiers() & Qt::KeypadModifier)
        return -1;
    const quint32 scanCode = key->nativeScanCode();
    const quint32 virtualKey = key->nativeVirtualKey();
    if (scanCode >= kX11ScanCodeOne && scanCode < kX11ScanCodeOne + 5)
        return int(scanCode - kX11ScanCodeOne);
    if (virtualKey >= kVirtualKeyOne && virtualKey < kVirtualKeyOne + 5)
        return int(virtualKey - kVirtualKeyOne);
    if (withoutNativeCodes(key) && key->key() >= Qt::Key_1 && key->key() <= Qt::Key_5)
        return key->key() - Qt::Key_1;
    return -1;
}

BallKey ballKeyOf(const QKeyEvent *key)
{
    if (key->modifiers() & Qt::KeypadModifier)
        return BallKeyNone;
    if (withoutNativeCodes(key))
        return ballKeyOfQtKey(key->key());
    const BallKey physical = ballKeyOfScanCode(key->nativeScanCode());
    if (physical != BallKeyNone)
        return physical;
    const quint32 keysym = key->nativeVirtualKey();
    if ((keysym >= BallKeyDigit0 && keysym <= BallKeyDigit3) || keysym == BallKeySpace)
        return BallKey(keysym);
    return BallKeyNone;
}
