#pragma once

#include <QByteArray>

// What a binary JSON record from elsewhere must stay within before Qt reads
// it: Qt validates and converts the document recursively, once per level, so
// a deep enough record overflows the stack; one whose values share their
// containers takes exponential time.
namespace BinaryJsonBounds {

// Deeper than any record the program writes, shallow enough for Qt's recursion.
const int kMaxDepth = 128;

// True when bytes hold a document whose containers lie inside each other, no
// deeper than kMaxDepth and no more than the bytes can hold; walked without
// recursion.
bool withinBounds(const QByteArray &bytes);

}  // namespace BinaryJsonBounds
