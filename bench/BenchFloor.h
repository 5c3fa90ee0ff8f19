#pragma once

// The floor of a subject-file job: SQLite reading the same rows in one
// process, every byte touched, and the median of interleaved rounds.
#include <QByteArray>
#include <QFile>
#include <QElapsedTimer>
#include <QString>
#include <QVector>

#include <algorithm>
#include <sqlite3.h>

namespace BenchFloor {

// Seconds to read the rows a select names (its columns summed byte by byte,
// so nothing stays unread); -1 when the file does not open.
inline double readSeconds(const QString &path, const char *select)
{
    QElapsedTimer timer;
    timer.start();
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return -1;
    }
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db, select, -1, &statement, nullptr);
    volatile unsigned sum = 0;
    while (statement && sqlite3_step(statement) == SQLITE_ROW) {
        for (int column = 0; column < sqlite3_column_count(statement); ++column) {
            const auto *bytes = static_cast<const unsigned char *>(sqlite3_column_blob(statement, column));
            const int size = sqlite3_column_bytes(statement, column);
            unsigned part = 0;
            for (int i = 0; i < size; ++i)
                part += bytes[i];
            sum = sum + part;
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return timer.nsecsElapsed() / 1e9;
}

inline double median(QVector<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace BenchFloor
