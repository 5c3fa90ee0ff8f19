#pragma once

#include <QString>
#include <QtGlobal>

// A file from elsewhere, opened only when it is a regular file itself: a FIFO
// would block its reader, a link to a device never end it, a directory give
// nothing. Opened without waiting and without following a link, then checked
// on the descriptor, so what is read is what was checked.
class PlainFile
{
public:
    PlainFile(const QString &path, qint64 maxBytes);
    ~PlainFile();
    PlainFile(const PlainFile &) = delete;
    PlainFile &operator=(const PlainFile &) = delete;

    bool isOpen() const { return m_descriptor >= 0; }
    // Nothing is at the path at all.
    bool isMissing() const { return m_missing; }
    // Why it was not opened, in words for the examiner; empty when open.
    QString refusal() const { return m_refusal; }
    qint64 size() const { return m_size; }
    // A name under which others open this very file, as long as it is held.
    QString heldPath() const;
    // Closed with this object; -1 when not open.
    int descriptor() const { return m_descriptor; }

private:
    int m_descriptor = -1;
    qint64 m_size = 0;
    bool m_missing = false;
    QString m_refusal;
};
