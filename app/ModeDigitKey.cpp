#include "ModeDigitKey.h"

#include <QKeyEvent>

namespace {

// X11 key codes of the digit row 1-5 (evdev code + 8) name the physical keys,
// so they hold for any layout, including those whose digits need Shift.
constexpr quint32 kX11ScanCodeOne = 10;
// The digit characters' codes, which the Latin and Cyrillic layouts share.
constexpr quint32 kVirtualKeyOne = 0x31;

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
    // Synthetic and offscreen key events carry no native codes.
    if (scanCode == 0 && virtualKey == 0 && key->key() >= Qt::Key_1 && key->key() <= Qt::Key_5)
        return key->key() - Qt::Key_1;
    return -1;
}
