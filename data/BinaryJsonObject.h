#pragma once

#include "StoredBytes.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QVector>
#include <QtGlobal>

// One object of a binary JSON document with its members kept in their stored
// form, so a document can be taken apart and put together again without
// passing its values through Qt's JSON types. A recording holds about a
// million sample numbers, and a JSON value object for each made saving and
// loading slow. What this writes is byte for byte what Qt writes.
class BinaryJsonObject
{
public:
    enum Type { Null = 0, Bool = 1, Double = 2, String = 3, Array = 4, Object = 5 };

    // A value as stored: the word of its entry and, unless it fits in the
    // word, the bytes it keeps apart (4-byte aligned). A value read from a
    // document points into the document's bytes, which `owner` keeps alive:
    // copied out, a recording's samples were held three times over.
    struct Value {
        quint32 word = Null;  // type, latin1 flag and the inline value; the offset of data is set on writing
        QByteArray data;
        QByteArray owner;
        // A large value read in pieces is left in the stored bytes: its
        // place and size there, and no data.
        quint32 storedAt = 0;
        quint32 storedSize = 0;
        int type() const { return int(word & 7); }
        bool isLeft() const { return storedSize != 0; }
    };

    // The layout. An object or array starts with its size, its length shifted
    // past the object flag, and the offset of its table. A value word holds
    // the type in 3 bits, a flag for inline values (latin1 strings, whole
    // numbers), the key's latin1 flag, and from bit 5 the inline value or the
    // offset of its bytes. Binary JSON addresses everything with 27 bits.
    static constexpr quint32 kBaseSize = 12;
    static constexpr quint32 kWordSize = 4;
    static constexpr quint32 kInlineFlag = 1 << 3;
    static constexpr quint32 kLatinKeyFlag = 1 << 4;
    static constexpr int kOffsetShift = 5;
    static constexpr quint32 kMaxSize = (quint32(1) << 27) - 1;

    // Take the members of a whole document or of an object value; false, and
    // no members, when the layout reaches outside its bytes or a value lies
    // outside its object.
    bool readDocument(const QByteArray &document);
    bool readValue(const Value &value);
    // The same from bytes read in pieces; members larger than 64 KiB are
    // left there (Value::isLeft) until readLeftValues or a reader of their
    // own takes them.
    bool readDocument(StoredBytes &bytes);
    bool readValue(StoredBytes &bytes, const Value &value);
    // Reads the members left in the bytes into memory; false when they cannot be read.
    bool readLeftValues(StoredBytes &bytes);
    // Take the members of a JSON object in the stored form Qt gives them;
    // false, and no members, when a value is too large for the format.
    bool readJson(const QJsonObject &object);

    // Puts the member in key order, replacing one of the same key.
    void insert(const QString &key, const Value &value);
    // The member's value, removed from the object; a Null value when missing.
    Value take(const QString &key);
    Value value(const QString &key) const;

    // The object as a whole document or as a value; empty (a Null value) when
    // it is too large for the format.
    QByteArray toDocument() const;
    Value toValue() const;

private:
    struct Member {
        QString key;
        bool latinKey = true;
        Value value;
    };

    bool readBase(StoredBytes &bytes, quint32 baseAt, quint32 available);
    // The member whose entry starts at `at` from the base; false when it reaches past the table.
    static bool readMember(StoredBytes &bytes, quint32 baseAt, quint32 tableOffset, quint32 at, Member &member);
    int indexOf(const QString &key) const;
    QByteArray base(quint32 prefix) const;

    QVector<Member> m_members;
};
