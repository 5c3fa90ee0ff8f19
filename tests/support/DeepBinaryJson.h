#pragma once

#include <QByteArray>
#include <QtEndian>

// Qt binary JSON of {"a": [[...]]} with levels arrays nested in one another,
// written byte by byte: building it through Qt would recurse as deep as it nests.
inline QByteArray deepBinaryJson(int levels)
{
    QByteArray out;
    const auto put = [&out](quint32 value) {
        const quint32 little = qToLittleEndian(value);
        out.append(reinterpret_cast<const char *>(&little), 4);
    };
    const quint32 arrays = 12 + 16 * quint32(levels - 1);
    const quint32 objectTable = 20 + arrays;
    out.append("qbjs", 4);
    put(1);
    put(objectTable + 4);  // the object: size, one entry, its table
    put(1 | 1 << 1);
    put(objectTable);
    put(4 | 1 << 4 | 20 << 5);  // an array at 20, its key in Latin-1
    out.append("\x01\x00" "a\x00", 4);
    // Each array holds the next one right after its own head and its
    // one-value table right after that; the last is empty.
    for (int level = 0; level < levels; ++level) {
        const quint32 size = 12 + 16 * quint32(levels - 1 - level);
        const bool last = level + 1 == levels;
        put(size);
        put(last ? 0 : 1 << 1);
        put(last ? 12 : size - 4);
    }
    for (int level = 0; level + 1 < levels; ++level)
        put(4 | 12 << 5);
    put(12);
    return out;
}
