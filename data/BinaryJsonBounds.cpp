#include "BinaryJsonBounds.h"

#include <QVector>
#include <QtEndian>

namespace BinaryJsonBounds {

namespace {

// Qt's layout: an 8-byte header ("qbjs", version 1), then the root container.
// A container is a 12-byte head (size, length with the object flag in bit 0,
// table offset), its contents, then a table of one 32-bit slot per element:
// the value itself for an array, the offset of a key/value entry for an
// object. A value keeps its type in bits 0-2 and an offset from its
// container in bits 5-31.
const quint32 kHeaderSize = 8;
const quint32 kContainerHead = 12;
const quint32 kSlot = 4;
const quint32 kArray = 4;
const quint32 kObject = 5;

struct Container {
    quint32 at;       // where it starts in the bytes
    quint32 maxSize;  // the room its parent leaves it
    int depth;
};

quint32 word(const QByteArray &bytes, quint32 at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

// The slot holding element i's value; 0 when an object's entry lies outside it.
quint32 valueAt(const QByteArray &bytes, const Container &container, quint32 tableOffset, bool isObject, quint32 i)
{
    const quint32 slot = container.at + tableOffset + i * kSlot;
    if (!isObject)
        return slot;
    const quint32 entry = word(bytes, slot);
    return quint64(entry) + kSlot < tableOffset ? container.at + entry : 0;
}

}  // namespace

bool withinBounds(const QByteArray &bytes)
{
    if (quint32(bytes.size()) < kHeaderSize + kContainerHead)
        return true;  // Qt refuses it by itself
    // A true document has at most one value per slot it holds: more means
    // values share containers.
    qint64 valuesLeft = qMin<qint64>(bytes.size() / kSlot, kMaxValues);
    quint32 containersLeft = kMaxContainers;
    QVector<Container> pending{{kHeaderSize, quint32(bytes.size()) - kHeaderSize, 1}};
    while (!pending.isEmpty()) {
        const Container container = pending.takeLast();
        if (container.depth > kMaxDepth || quint64(container.at) + kContainerHead > quint64(bytes.size()))
            return false;
        const quint32 size = word(bytes, container.at);
        const quint32 length = word(bytes, container.at + 4) >> 1;
        const bool isObject = word(bytes, container.at + 4) & 1;
        const quint32 tableOffset = word(bytes, container.at + 8);
        if (size > container.maxSize || quint64(tableOffset) + quint64(length) * kSlot > size
            || length > kMaxElements)
            return false;
        valuesLeft -= length;
        if (valuesLeft < 0)
            return false;
        for (quint32 i = 0; i < length; ++i) {
            const quint32 slot = valueAt(bytes, container, tableOffset, isObject, i);
            if (slot == 0)
                return false;
            const quint32 value = word(bytes, slot);
            const quint32 type = value & 7;
            const quint32 offset = value >> 5;
            if (type != kArray && type != kObject)
                continue;
            if (offset < kContainerHead || quint64(offset) + kSlot > tableOffset || containersLeft-- == 0)
                return false;
            pending.append({container.at + offset, tableOffset - offset, container.depth + 1});
        }
    }
    return true;
}

}  // namespace BinaryJsonBounds
