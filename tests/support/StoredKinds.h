#pragma once

#include <QProcess>
#include <QString>

// The kinds of the rows a subject file stores under a test's id, read by
// Python's sqlite3 (VUG_PYTHON, given by the test's build), e.g. "1,2".
inline QString storedKinds(const QString &path, const QString &testId)
{
    QProcess python;
    python.start(VUG_PYTHON, {"-c",
                              "import sqlite3, sys\n"
                              "c = sqlite3.connect(sys.argv[1])\n"
                              "rows = c.execute('select data_type from inspection where test_id = ? order by data_type',"
                              " (sys.argv[2],))\n"
                              "print(','.join(str(k) for (k,) in rows))",
                              path, testId});
    if (!python.waitForFinished(20000) || python.exitCode() != 0)
        return QStringLiteral("failed: ") + QString::fromUtf8(python.readAllStandardError());
    return QString::fromUtf8(python.readAllStandardOutput()).trimmed();
}
