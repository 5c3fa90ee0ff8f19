#include "CheckedTemporaryFile.h"

#include <cerrno>
#include <unistd.h>

CheckedTemporaryFile::CheckedTemporaryFile(const QString &templateName)
    : QTemporaryFile(templateName)
{
}

qint64 CheckedTemporaryFile::writeData(const char *data, qint64 length)
{
    // A short write is retried for the rest: the retry fails with the reason.
    qint64 done = 0;
    while (done < length && !m_failed) {
        errno = 0;
        const qint64 written = QTemporaryFile::writeData(data + done, length - done);
        if (written <= 0)
            remember(errno);
        else
            done += written;
    }
    return done > 0 || length == 0 ? done : -1;
}

bool CheckedTemporaryFile::openUnbuffered()
{
    return QTemporaryFile::open(QIODevice::ReadWrite | QIODevice::Unbuffered);
}

bool CheckedTemporaryFile::syncToDisk()
{
    errno = 0;
    if (!m_failed && ::fsync(handle()) != 0)
        remember(errno);
    return !m_failed;
}

void CheckedTemporaryFile::remember(int errorNumber)
{
    m_failed = true;
    m_errorNumber = errorNumber;
    m_words = errorNumber != 0 ? qt_error_string(errorNumber) : errorString();
}
