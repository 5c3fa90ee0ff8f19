#include "CheckedTemporaryFile.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
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

bool CheckedTemporaryFile::syncFolderToDisk()
{
    const QByteArray name = QFile::encodeName(QFileInfo(fileName()).absolutePath());
    const int folder = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return !m_failed;
    errno = 0;
    if (!m_failed && ::fsync(folder) != 0 && errno != EINVAL)
        remember(errno);
    ::close(folder);
    return !m_failed;
}

QString CheckedTemporaryFile::reason(int errorNumber, const QString &words)
{
    const QString said = words.isEmpty() ? qt_error_string(errorNumber) : words;
    if (errorNumber == ENOSPC || errorNumber == EDQUOT)
        return QCoreApplication::translate("WholeFile", "диск заполнен: %1").arg(said);
    if (errorNumber == EFBIG)
        return QCoreApplication::translate("WholeFile", "файл больше, чем позволено записать: %1").arg(said);
    return said;
}

void CheckedTemporaryFile::remember(int errorNumber)
{
    m_failed = true;
    m_errorNumber = errorNumber;
    m_words = errorNumber != 0 ? qt_error_string(errorNumber) : errorString();
}
