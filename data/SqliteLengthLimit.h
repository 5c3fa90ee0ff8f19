#pragma once

#include <QtGlobal>

struct sqlite3;

// While it lives, SQLite makes no text or blob on the shared connection longer
// than the bound: reading a longer value fails at once instead of taking its
// size in memory. The size of a blob (length()) is still read from its cell
// header alone.
class SqliteLengthLimit
{
public:
    explicit SqliteLengthLimit(qint64 bound);
    ~SqliteLengthLimit();
    SqliteLengthLimit(const SqliteLengthLimit &) = delete;
    SqliteLengthLimit &operator=(const SqliteLengthLimit &) = delete;

private:
    sqlite3 *m_handle = nullptr;
    int m_previous = 0;
};
