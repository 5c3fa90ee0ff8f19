#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <functional>

// The bytes of a stored document: whole in memory, or read from where they
// are stored a window at a time, so a recording's row of many megabytes is
// never held whole beside the samples decoded from it.
class StoredBytes
{
public:
    // Reads `length` bytes from `at` into `into`; false when they cannot be read.
    using Reader = std::function<bool(quint32 at, char *into, quint32 length)>;

    explicit StoredBytes(const QByteArray &whole);
    StoredBytes(quint32 size, Reader read);

    quint32 size() const { return m_size; }
    bool inMemory() const { return !m_read; }
    const QByteArray &whole() const { return m_whole; }
    // `length` bytes from `at`, valid until the next call (for bytes in memory,
    // as long as they live); null when they reach past the end or cannot be read.
    const char *bytes(quint32 at, quint32 length);

    // What one read from the store takes at least. Kept small: a damaged row
    // whose offsets jump about costs a window a jump.
    static constexpr quint32 kWindowBytes = 4 * 1024;

private:
    struct Window {
        quint32 at = 0;
        QByteArray data;
    };

    QByteArray m_whole;
    Reader m_read;
    quint32 m_size = 0;
    // Two windows, so a table read in runs and the values it points back to
    // do not push each other out.
    Window m_windows[2];
    int m_last = 0;
};
