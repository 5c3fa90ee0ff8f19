#pragma once

#include <QString>

// What a subject-file operation achieved, with its cause, for callers that
// tell the examiner. Compares with its codes as a plain enumeration does.
class StoreResult
{
public:
    enum Code {
        Ok,          // done
        NotOpen,     // no subject file: an empty path, a missing file, or one that cannot be opened
        Refused,     // a file that is there but no subject file the program could use; nothing read or changed
        Damaged,     // read what could be read; the file or some of its rows are damaged and were skipped
        TooLarge,    // the document exceeds what the stored format can hold; nothing was written
        NotWritten,  // nothing to save, or the statement wrote no row
        Busy,        // another program holds the file's lock; nothing read or changed, try again later
        Changed,     // another program changed the row since it was read; nothing was written
    };

    StoreResult(Code code = Ok) : m_code(code) {}
    // The cause as the system or the check gave it: for Changed, what changed
    // (a test's name or a record's); else the system's words, or empty.
    StoreResult(Code code, const QString &cause) : m_code(code), m_cause(cause) {}

    // The first failure of two; a lock that stopped the store outweighs what
    // was read before it: the examiner tries again rather than taking the
    // file for damaged.
    static StoreResult worse(const StoreResult &a, const StoreResult &b)
    {
        if (b == Busy)
            return b;
        return a == Ok ? b : a;
    }

    operator Code() const { return m_code; }
    Code code() const { return m_code; }
    const QString &cause() const { return m_cause; }

private:
    Code m_code;
    QString m_cause;
};
