#include "BinaryJsonObject.h"

#include <QJsonArray>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// An object's table holds one word per member, the offset of the member's
// entry: the value word, the key, then the value's own bytes. Everything is
// 4-byte aligned and little-endian.
constexpr quint32 kHeaderSize = 8;  // "qbjs", version 1
constexpr quint32 kBaseSize = BinaryJsonObject::kBaseSize;
constexpr quint32 kWordSize = BinaryJsonObject::kWordSize;
constexpr quint32 kInlineFlag = BinaryJsonObject::kInlineFlag;
constexpr quint32 kLatinKeyFlag = BinaryJsonObject::kLatinKeyFlag;
constexpr quint32 kFlagBits = 0x1f;
constexpr int kOffsetShift = BinaryJsonObject::kOffsetShift;
constexpr int kMaxLatin1Key = 0x7fff;
// Values larger than this, read in pieces, are read only when asked for.
constexpr quint64 kLeftAbove = 64 * 1024;

quint32 wordAt(const char *at)
{
    return qFromLittleEndian<quint32>(at);
}

void putWord(char *at, quint32 word)
{
    qToLittleEndian(word, at);
}

quint64 aligned(quint64 size)
{
    return (size + 3) & ~quint64(3);
}

bool fitsLatin1(const QString &key)
{
    return key.size() <= kMaxLatin1Key
           && std::all_of(key.begin(), key.end(), [](QChar c) { return c.unicode() < 256; });
}

quint64 keySize(const QString &key, bool latin)
{
    return latin ? aligned(2 + quint64(key.size())) : aligned(4 + 2 * quint64(key.size()));
}

// The key stored at `at`; false when it does not fit in `room` bytes.
bool readKey(StoredBytes &bytes, quint32 at, quint32 room, bool latin, QString &key)
{
    const quint32 prefix = latin ? 2 : 4;
    const char *head = room < prefix ? nullptr : bytes.bytes(at, prefix);
    if (!head)
        return false;
    const quint32 length = latin ? qFromLittleEndian<quint16>(head) : wordAt(head);
    if (length > (room - prefix) / (latin ? 1 : 2))
        return false;
    const char *chars = bytes.bytes(at + prefix, latin ? length : 2 * length);
    if (!chars)
        return false;
    if (latin) {
        key = QString::fromLatin1(chars, int(length));
    } else {
        key.resize(int(length));
        qFromLittleEndian<quint16>(chars, length, key.data());
    }
    return true;
}

// Padding is zero, as Qt writes it.
void writeKey(char *at, const QString &key, bool latin)
{
    std::memset(at, 0, size_t(keySize(key, latin)));
    if (latin) {
        qToLittleEndian(quint16(key.size()), at);
        const QByteArray latin1 = key.toLatin1();
        std::memcpy(at + 2, latin1.constData(), size_t(latin1.size()));
    } else {
        putWord(at, quint32(key.size()));
        qToLittleEndian<quint16>(key.utf16(), key.size(), at + 4);
    }
}

// The bytes a value keeps apart from its word, left where they are; false
// when its type is unknown or they do not lie between the object's base and
// `end`. Read in pieces, a large value stays in the stored bytes.
bool readValueData(StoredBytes &bytes, quint32 baseAt, quint32 end, quint32 word, BinaryJsonObject::Value &value)
{
    const int type = int(word & 7);
    const bool inlineValue = (word & kInlineFlag) != 0;
    if (type == BinaryJsonObject::Null || type == BinaryJsonObject::Bool
        || (type == BinaryJsonObject::Double && inlineValue))
        return true;
    if (type > BinaryJsonObject::Object)
        return false;
    const quint32 at = word >> kOffsetShift;
    const char *head = at < kBaseSize || at > end || end - at < kWordSize ? nullptr : bytes.bytes(baseAt + at, kWordSize);
    if (!head)
        return false;
    quint64 storage = 8;
    if (type == BinaryJsonObject::String)
        storage = inlineValue ? 2 + quint64(qFromLittleEndian<quint16>(head)) : 4 + 2 * quint64(wordAt(head));
    else if (type != BinaryJsonObject::Double)
        storage = wordAt(head);
    storage = aligned(storage);
    if (storage < (type >= BinaryJsonObject::Array ? kBaseSize : kWordSize) || storage > end - at)
        return false;
    if (!bytes.inMemory() && storage > kLeftAbove) {
        value.storedAt = baseAt + at;
        value.storedSize = quint32(storage);
        return true;
    }
    const char *data = bytes.bytes(baseAt + at, quint32(storage));
    if (!data)
        return false;
    value.data = bytes.inMemory() ? QByteArray::fromRawData(data, int(storage)) : QByteArray(data, int(storage));
    return true;
}

// Qt keeps a number in its word when it is whole, nonzero and below 2^26 in
// magnitude, every other one as a double of its own.
bool fitsInWord(double number)
{
    return number == std::trunc(number) && std::fabs(number) >= 1 && std::fabs(number) < (1 << 26);
}

bool jsonValue(const QJsonValue &json, BinaryJsonObject::Value &value);

// Laid out as Qt lays out a finished array: the elements' bytes in order, then the table.
bool arrayValue(const QJsonArray &array, BinaryJsonObject::Value &value)
{
    QVector<BinaryJsonObject::Value> elements(array.size());
    quint64 size = kBaseSize + quint64(kWordSize) * quint64(array.size());
    for (int i = 0; i < array.size(); ++i) {
        if (!jsonValue(array.at(i), elements[i]))
            return false;
        size += quint64(elements[i].data.size());
    }
    if (size >= BinaryJsonObject::kMaxSize)
        return false;
    value.word = BinaryJsonObject::Array;
    value.data = QByteArray(int(size), Qt::Uninitialized);
    char *bytes = value.data.data();
    const quint32 length = quint32(elements.size());
    const quint32 tableOffset = length == 0 ? 0 : quint32(size) - kWordSize * length;
    putWord(bytes, quint32(size));
    putWord(bytes + 4, length << 1);
    putWord(bytes + 8, tableOffset);
    quint32 at = kBaseSize;
    for (quint32 i = 0; i < length; ++i) {
        const BinaryJsonObject::Value &element = elements[int(i)];
        quint32 word = element.word;
        if (!element.data.isEmpty()) {
            word = (word & kFlagBits) | at << kOffsetShift;
            std::memcpy(bytes + at, element.data.constData(), size_t(element.data.size()));
            at += quint32(element.data.size());
        }
        putWord(bytes + tableOffset + kWordSize * i, word);
    }
    return true;
}

// The value as Qt stores it; false when it is too large for the format.
bool jsonValue(const QJsonValue &json, BinaryJsonObject::Value &value)
{
    value = BinaryJsonObject::Value();
    switch (json.type()) {
    case QJsonValue::Bool:
        value.word = BinaryJsonObject::Bool | quint32(json.toBool()) << kOffsetShift;
        return true;
    case QJsonValue::Double: {
        const double number = json.toDouble();
        if (fitsInWord(number)) {
            value.word = BinaryJsonObject::Double | kInlineFlag | quint32(qint32(number)) << kOffsetShift;
        } else {
            value.word = BinaryJsonObject::Double;
            value.data.resize(sizeof(double));
            qToLittleEndian(number, value.data.data());
        }
        return true;
    }
    case QJsonValue::String: {
        // A string is stored as a key is.
        const QString string = json.toString();
        const bool latin = fitsLatin1(string);
        if (keySize(string, latin) >= BinaryJsonObject::kMaxSize)
            return false;
        value.word = BinaryJsonObject::String | (latin ? kInlineFlag : 0);
        value.data.resize(int(keySize(string, latin)));
        writeKey(value.data.data(), string, latin);
        return true;
    }
    case QJsonValue::Array:
        return arrayValue(json.toArray(), value);
    case QJsonValue::Object: {
        BinaryJsonObject object;
        if (!object.readJson(json.toObject()))
            return false;
        value = object.toValue();
        return !value.data.isEmpty();
    }
    default:
        return true;
    }
}

}  // namespace

bool BinaryJsonObject::readJson(const QJsonObject &object)
{
    m_members.clear();
    m_members.reserve(object.size());
    for (auto it = object.begin(); it != object.end(); ++it) {
        Value value;
        if (!jsonValue(it.value(), value)) {
            m_members.clear();
            return false;
        }
        insert(it.key(), value);
    }
    return true;
}

bool BinaryJsonObject::readDocument(const QByteArray &document)
{
    StoredBytes bytes(document);
    return readDocument(bytes);
}

bool BinaryJsonObject::readDocument(StoredBytes &bytes)
{
    m_members.clear();
    const char *header = bytes.bytes(0, kHeaderSize);
    if (!header || std::memcmp(header, "qbjs", 4) != 0 || wordAt(header + 4) != 1)
        return false;
    return readBase(bytes, kHeaderSize, bytes.size() - kHeaderSize);
}

bool BinaryJsonObject::readValue(const Value &value)
{
    m_members.clear();
    StoredBytes bytes(value.owner.isNull() ? value.data : value.owner);
    const quint32 at = quint32(value.data.constData() - bytes.whole().constData());
    return value.type() == Object && readBase(bytes, at, quint32(value.data.size()));
}

bool BinaryJsonObject::readValue(StoredBytes &bytes, const Value &value)
{
    if (!value.isLeft())
        return readValue(value);
    m_members.clear();
    return value.type() == Object && readBase(bytes, value.storedAt, value.storedSize);
}

bool BinaryJsonObject::readLeftValues(StoredBytes &bytes)
{
    for (Member &member : m_members) {
        Value &value = member.value;
        if (!value.isLeft())
            continue;
        const char *data = bytes.bytes(value.storedAt, value.storedSize);
        if (!data)
            return false;
        value.data = QByteArray(data, int(value.storedSize));
        value.storedAt = value.storedSize = 0;
    }
    return true;
}

bool BinaryJsonObject::readBase(StoredBytes &bytes, quint32 baseAt, quint32 available)
{
    const char *head = available < kBaseSize ? nullptr : bytes.bytes(baseAt, kBaseSize);
    if (!head)
        return false;
    const quint32 size = wordAt(head);
    const quint32 lengthWord = wordAt(head + 4);
    const quint32 length = lengthWord >> 1;
    const quint32 tableOffset = wordAt(head + 8);
    if (!(lengthWord & 1) || size < kBaseSize || size > available)
        return false;
    if (length == 0)
        return true;  // Qt leaves the table offset of an empty object 0
    if (tableOffset < kBaseSize || tableOffset > size || length > (size - tableOffset) / kWordSize)
        return false;
    m_members.reserve(int(length));
    quint32 previous = 0;
    for (quint32 i = 0; i < length; ++i) {
        Member member;
        const char *slot = bytes.bytes(baseAt + tableOffset + kWordSize * i, kWordSize);
        const quint32 at = slot ? wordAt(slot) : 0;
        // Keys in ascending order, as Qt checks them, so a document read here
        // is one Qt would take as well. Read in pieces, entries are taken
        // only front to back, as they are written, so each piece is read once.
        if (!slot || (!bytes.inMemory() && at < previous) || !readMember(bytes, baseAt, tableOffset, at, member)
            || (!m_members.isEmpty() && member.key < m_members.last().key)) {
            m_members.clear();
            return false;
        }
        m_members.append(member);
        previous = at;
    }
    return true;
}

bool BinaryJsonObject::readMember(StoredBytes &bytes, quint32 baseAt, quint32 tableOffset, quint32 at, Member &member)
{
    const char *entry = at < kBaseSize || at >= tableOffset || tableOffset - at < kWordSize
                            ? nullptr
                            : bytes.bytes(baseAt + at, kWordSize);
    if (!entry)
        return false;
    const quint32 word = wordAt(entry);
    member.latinKey = (word & kLatinKeyFlag) != 0;
    member.value.word = word & ~kLatinKeyFlag;
    member.value.owner = bytes.whole();
    return readKey(bytes, baseAt + at + kWordSize, tableOffset - at - kWordSize, member.latinKey, member.key)
           && readValueData(bytes, baseAt, tableOffset, word, member.value);
}

int BinaryJsonObject::indexOf(const QString &key) const
{
    for (int i = 0; i < m_members.size(); ++i) {
        if (m_members[i].key == key)
            return i;
    }
    return -1;
}

void BinaryJsonObject::insert(const QString &key, const Value &value)
{
    const auto place = std::lower_bound(m_members.begin(), m_members.end(), key,
                                        [](const Member &member, const QString &k) { return member.key < k; });
    if (place != m_members.end() && place->key == key) {
        place->value = value;
        return;
    }
    m_members.insert(place, Member{key, fitsLatin1(key), value});
}

BinaryJsonObject::Value BinaryJsonObject::take(const QString &key)
{
    const int index = indexOf(key);
    return index < 0 ? Value() : m_members.takeAt(index).value;
}

BinaryJsonObject::Value BinaryJsonObject::value(const QString &key) const
{
    const int index = indexOf(key);
    return index < 0 ? Value() : m_members[index].value;
}

QByteArray BinaryJsonObject::toDocument() const
{
    QByteArray document = base(kHeaderSize);
    if (document.isEmpty())
        return document;
    std::memcpy(document.data(), "qbjs", 4);
    putWord(document.data() + 4, 1);
    return document;
}

BinaryJsonObject::Value BinaryJsonObject::toValue() const
{
    Value value;
    value.data = base(0);
    if (!value.data.isEmpty())
        value.word = Object;
    return value;
}

// Laid out as Qt lays out a finished object: entries in key order, each
// followed by its value's bytes, then the table. Written after `prefix` bytes.
QByteArray BinaryJsonObject::base(quint32 prefix) const
{
    const quint32 length = quint32(m_members.size());
    quint64 size = kBaseSize + quint64(kWordSize) * length;
    for (const Member &member : m_members)
        size += kWordSize + keySize(member.key, member.latinKey) + quint64(member.value.data.size());
    if (size >= kMaxSize)
        return QByteArray();
    QByteArray bytes(int(prefix + size), Qt::Uninitialized);
    char *object = bytes.data() + prefix;
    const quint32 tableOffset = length == 0 ? 0 : quint32(size) - kWordSize * length;
    putWord(object, quint32(size));
    putWord(object + 4, length << 1 | 1);
    putWord(object + 8, tableOffset);
    quint32 at = kBaseSize;
    for (quint32 i = 0; i < length; ++i) {
        const Member &member = m_members[int(i)];
        putWord(object + tableOffset + kWordSize * i, at);
        quint32 word = member.value.word | (member.latinKey ? kLatinKeyFlag : 0);
        const quint32 entry = at;
        writeKey(object + entry + kWordSize, member.key, member.latinKey);
        at += kWordSize + quint32(keySize(member.key, member.latinKey));
        if (!member.value.data.isEmpty()) {
            word = (word & kFlagBits) | at << kOffsetShift;
            std::memcpy(object + at, member.value.data.constData(), size_t(member.value.data.size()));
            at += quint32(member.value.data.size());
        }
        putWord(object + entry, word);
    }
    return bytes;
}
