#pragma once

class QKeyEvent;

// The mode tab (0-4) that a key of the main keyboard row's digits 1-5 selects,
// whatever the keyboard layout; -1 for any other key. Keypad digits do not count.
int modeDigitOfKey(const QKeyEvent *key);
