#include "BinaryJsonNumbers.h"

#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr quint32 kBaseSize = BinaryJsonObject::kBaseSize;
constexpr quint32 kWordSize = BinaryJsonObject::kWordSize;
constexpr quint32 kInlineFlag = BinaryJsonObject::kInlineFlag;
constexpr int kOffsetShift = BinaryJsonObject::kOffsetShift;
constexpr quint32 kDoubleSize = 8;
constexpr qint32 kInlineLimit = 1 << 26;  // what the 27-bit signed inline value holds, 0 aside

quint32 wordAt(const char *at)
{
    return qFromLittleEndian<quint32>(at);
}

bool fitsInWord(qint32 number)
{
    return number != 0 && number > -kInlineLimit && number < kInlineLimit;
}

int wholeOrZero(double number)
{
    return number >= INT_MIN && number <= INT_MAX && number == std::trunc(number) ? int(number) : 0;
}

template <typename Number>
bool writeArray(const QVector<Number> &numbers, BinaryJsonObject::Value &value)
{
    const quint64 doubles = quint64(std::count_if(numbers.begin(), numbers.end(),
                                                  [](Number n) { return !fitsInWord(n); }));
    const quint64 size = kBaseSize + kDoubleSize * doubles + kWordSize * quint64(numbers.size());
    if (size >= BinaryJsonObject::kMaxSize)
        return false;
    value.word = BinaryJsonObject::Array;
    value.data = QByteArray(int(size), Qt::Uninitialized);
    char *array = value.data.data();
    // Qt leaves the table offset of an empty array 0.
    const quint32 tableOffset = numbers.isEmpty() ? 0 : quint32(kBaseSize + kDoubleSize * doubles);
    qToLittleEndian(quint32(size), array);
    qToLittleEndian(quint32(numbers.size()) << 1, array + 4);
    qToLittleEndian(tableOffset, array + 8);
    quint32 at = kBaseSize;
    char *slot = array + tableOffset;
    for (Number number : numbers) {
        if (fitsInWord(number)) {
            qToLittleEndian(quint32(number) << kOffsetShift | kInlineFlag | BinaryJsonObject::Double, slot);
        } else {
            qToLittleEndian(at << kOffsetShift | BinaryJsonObject::Double, slot);
            qToLittleEndian(double(number), array + at);
            at += kDoubleSize;
        }
        slot += kWordSize;
    }
    return true;
}

// The table is taken a run of words at a time, so an array read in pieces
// costs a run beside the numbers. Read in pieces, the doubles are taken only
// front to back, as they are written, so each piece is read once.
template <typename Number>
bool readArray(StoredBytes &bytes, quint32 arrayAt, quint32 available, int type, QVector<Number> &numbers)
{
    const char *head = type != BinaryJsonObject::Array || available < kBaseSize ? nullptr : bytes.bytes(arrayAt, kBaseSize);
    if (!head)
        return false;
    const quint32 size = wordAt(head);
    const quint32 length = wordAt(head + 4) >> 1;
    const quint32 tableOffset = wordAt(head + 8);
    if ((wordAt(head + 4) & 1) || size > available)
        return false;
    if (length > 0 && (tableOffset < kBaseSize || tableOffset > size || length > (size - tableOffset) / kWordSize))
        return false;
    QVector<Number> decoded(static_cast<int>(length));
    constexpr quint32 kRunWords = 4096;
    quint32 previous = 0;
    quint32 words[kRunWords];
    for (quint32 done = 0; done < length;) {
        const quint32 run = qMin(kRunWords, length - done);
        const char *table = bytes.bytes(arrayAt + tableOffset + kWordSize * done, kWordSize * run);
        if (!table)
            return false;
        qFromLittleEndian<quint32>(table, run, words);
        for (quint32 i = 0; i < run; ++i) {
            const quint32 word = words[i];
            if ((word & 7) != BinaryJsonObject::Double)
                return false;
            const quint32 at = word >> kOffsetShift;
            Number &number = decoded[int(done + i)];
            if (word & kInlineFlag) {
                number = Number(qint32(word) >> kOffsetShift);
                continue;
            }
            const bool inOrder = bytes.inMemory() || at >= previous;
            const char *stored = inOrder && at >= kBaseSize && at <= tableOffset - kDoubleSize
                                     ? bytes.bytes(arrayAt + at, kDoubleSize)
                                     : nullptr;
            if (!stored)
                return false;
            previous = at;
            number = Number(wholeOrZero(qFromLittleEndian<double>(stored)));
        }
        done += run;
    }
    numbers.swap(decoded);
    return true;
}

template <typename Number>
bool readArray(StoredBytes &bytes, const BinaryJsonObject::Value &value, QVector<Number> &numbers)
{
    if (value.isLeft())
        return readArray(bytes, value.storedAt, value.storedSize, value.type(), numbers);
    StoredBytes inMemory(value.data);
    return readArray(inMemory, 0, quint32(value.data.size()), value.type(), numbers);
}

// The key as Qt stores a latin1 key: its length, its bytes, zero padding.
QByteArray storedKey(const QString &key)
{
    QByteArray stored(int((2 + key.size() + 3) & ~3), '\0');
    qToLittleEndian(quint16(key.size()), stored.data());
    const QByteArray latin1 = key.toLatin1();
    std::copy(latin1.begin(), latin1.end(), stored.begin() + 2);
    return stored;
}

// One object of whole numbers, its members in key order: each entry its
// word, its key and, for a number kept apart, the double; then the table.
// `keysSize` is what the entries take without their doubles.
char *writeRecord(char *object, const QVector<QByteArray> &keys, const QVector<int> &order, quint32 keysSize,
                  const qint32 *numbers)
{
    const quint32 length = quint32(keys.size());
    const quint32 doubles = quint32(std::count_if(numbers, numbers + length, [](qint32 n) { return !fitsInWord(n); }));
    const quint32 tableOffset = kBaseSize + keysSize + kDoubleSize * doubles;
    const quint32 size = tableOffset + kWordSize * length;
    qToLittleEndian(size, object);
    qToLittleEndian(length << 1 | 1, object + 4);
    qToLittleEndian(length == 0 ? 0 : tableOffset, object + 8);
    quint32 at = kBaseSize;
    for (quint32 i = 0; i < length; ++i) {
        const qint32 number = numbers[order[int(i)]];
        const QByteArray &key = keys[order[int(i)]];
        qToLittleEndian(at, object + tableOffset + kWordSize * i);
        char *entry = object + at;
        std::copy(key.begin(), key.end(), entry + kWordSize);
        at += kWordSize + quint32(key.size());
        quint32 word = BinaryJsonObject::Double | BinaryJsonObject::kLatinKeyFlag;
        if (fitsInWord(number)) {
            word |= kInlineFlag | quint32(number) << kOffsetShift;
        } else {
            word |= at << kOffsetShift;
            qToLittleEndian(double(number), object + at);
            at += kDoubleSize;
        }
        qToLittleEndian(word, entry);
    }
    return object + size;
}

}  // namespace

namespace BinaryJsonNumbers {

bool writeRecords(const QStringList &keys, const QVector<qint32> &numbers, BinaryJsonObject::Value &value)
{
    const int fields = keys.size();
    const int records = fields == 0 ? 0 : numbers.size() / fields;
    QVector<QByteArray> stored;
    QVector<int> order(fields);
    quint32 keysSize = 0;
    for (int i = 0; i < fields; ++i) {
        const QString &key = keys[i];
        if (key.size() > 0x7fff || !std::all_of(key.begin(), key.end(), [](QChar c) { return c.unicode() < 256; }))
            return false;
        stored.append(storedKey(key));
        order[i] = i;
        keysSize += kWordSize + quint32(stored.last().size());
    }
    const quint64 objectSize = kBaseSize + keysSize + kWordSize * quint64(fields);
    std::sort(order.begin(), order.end(), [&keys](int a, int b) { return keys[a] < keys[b]; });
    const quint64 doubles = quint64(std::count_if(numbers.begin(), numbers.end(),
                                                  [](qint32 n) { return !fitsInWord(n); }));
    const quint64 size = kBaseSize + (objectSize + kWordSize) * quint64(records) + kDoubleSize * doubles;
    if (size >= BinaryJsonObject::kMaxSize || records * fields != numbers.size())
        return false;
    value.word = BinaryJsonObject::Array;
    value.data = QByteArray(int(size), Qt::Uninitialized);
    char *array = value.data.data();
    const quint32 tableOffset = records == 0 ? 0 : quint32(size) - kWordSize * quint32(records);
    qToLittleEndian(quint32(size), array);
    qToLittleEndian(quint32(records) << 1, array + 4);
    qToLittleEndian(tableOffset, array + 8);
    char *object = array + kBaseSize;
    for (int r = 0; r < records; ++r) {
        const quint32 at = quint32(object - array);
        qToLittleEndian(BinaryJsonObject::Object | at << kOffsetShift, array + tableOffset + kWordSize * quint32(r));
        object = writeRecord(object, stored, order, keysSize, numbers.constData() + r * fields);
    }
    return true;
}

bool write(const QVector<qint16> &numbers, BinaryJsonObject::Value &value)
{
    return writeArray(numbers, value);
}

bool write(const QVector<qint32> &numbers, BinaryJsonObject::Value &value)
{
    return writeArray(numbers, value);
}

bool read(const BinaryJsonObject::Value &value, QVector<qint16> &numbers)
{
    StoredBytes none{QByteArray()};
    return readArray(none, value, numbers);
}

bool read(const BinaryJsonObject::Value &value, QVector<qint32> &numbers)
{
    StoredBytes none{QByteArray()};
    return readArray(none, value, numbers);
}

bool read(StoredBytes &bytes, const BinaryJsonObject::Value &value, QVector<qint16> &numbers)
{
    return readArray(bytes, value, numbers);
}

bool read(StoredBytes &bytes, const BinaryJsonObject::Value &value, QVector<qint32> &numbers)
{
    return readArray(bytes, value, numbers);
}

}  // namespace BinaryJsonNumbers
