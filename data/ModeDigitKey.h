#pragma once

class QKeyEvent;

// The mode tab (0-4) that a key of the main keyboard row's digits 1-5 selects,
// whatever the keyboard layout; -1 for any other key. Keypad digits do not count.
int modeDigitOfKey(const QKeyEvent *key);

// The keys of points scoring, told apart by the physical key so that they hold
// with any layout. The values are the character codes the scoring rules name.
enum BallKey {
    BallKeyNone = 0,
    BallKeySpace = 0x20,
    BallKeyDigit0 = 0x30,
    BallKeyDigit1 = 0x31,
    BallKeyDigit2 = 0x32,
    BallKeyDigit3 = 0x33,
    // The key left of 1: changes weights and presentations over the tree.
    BallKeyWeight = 0xC0,
};

// The scoring key of a key press; BallKeyNone for any other key, keypad
// digits included.
BallKey ballKeyOf(const QKeyEvent *key);
