#pragma once

#include <QByteArray>

// What a binary JSON record from elsewhere must stay within before Qt reads
// it: Qt validates and converts the document recursively, once per level, so
// a deep enough record overflows the stack; one whose values share their
// containers takes exponential time.
namespace BinaryJsonBounds {

// Deeper than any record the program writes, shallow enough for Qt's recursion.
const int kMaxDepth = 128;
// What Qt builds costs far more than the bytes it is built from (an empty
// object stored in 16 bytes takes about a hundred once read), so what a
// document expands to is counted too. Past these counts it is none the
// program writes: its longest array is a recording's 72000 samples a channel.
const quint32 kMaxElements = 1 << 17;    // elements of one array or object
const quint32 kMaxContainers = 1 << 19;  // arrays and objects of one document
const quint32 kMaxValues = 1 << 21;      // values of one document, at any depth

// True when bytes hold a document whose containers lie inside each other, no
// deeper than kMaxDepth, no more than the bytes can hold and within the counts
// above; walked without recursion.
bool withinBounds(const QByteArray &bytes);

}  // namespace BinaryJsonBounds
