#include "WholeFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString tr(const char *text) { return QCoreApplication::translate("WholeFile", text); }

// The directory's entry for the renamed file reaches the disk too.
void syncFolderOf(const QString &path)
{
    const QByteArray name = QFile::encodeName(QFileInfo(path).absolutePath());
    const int folder = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return;
    ::fsync(folder);
    ::close(folder);
}

}  // namespace

WholeFile::WholeFile(const QString &destination)
    : m_destination(destination),
      m_temporary(QFileInfo(destination).absolutePath() + QStringLiteral("/.") + QFileInfo(destination).fileName()
                  + QStringLiteral(".XXXXXX"))
{
}

bool WholeFile::open()
{
    errno = 0;
    if (m_temporary.openUnbuffered())
        return true;
    m_errorNumber = errno;
    return false;
}

bool WholeFile::commit()
{
    // On the disk before the rename: after a power cut the destination holds
    // the old file or the new one, never an empty one.
    if (!m_temporary.isOpen())
        return false;
    const bool written = m_temporary.syncToDisk();
    m_temporary.close();
    const QByteArray temporary = QFile::encodeName(m_temporary.fileName());
    errno = 0;
    if (!written || chmod(temporary.constData(), 0666 & ~creationMask()) != 0
        || std::rename(temporary.constData(), QFile::encodeName(m_destination).constData()) != 0) {
        m_errorNumber = errno;
        return false;
    }
    m_temporary.setAutoRemove(false);
    syncFolderOf(m_destination);
    return true;
}

QString WholeFile::failure() const
{
    const int number = m_temporary.failed() ? m_temporary.failedWith() : m_errorNumber;
    const QString words = m_temporary.failed() || number == 0 ? m_temporary.failureWords() : qt_error_string(number);
    if (number == ENOSPC || number == EDQUOT)
        return tr("диск заполнен: %1").arg(words);
    if (number == EFBIG)
        return tr("файл больше, чем позволено записать: %1").arg(words);
    return words;
}

QString WholeFile::write(const QString &destination, const QByteArray &bytes)
{
    WholeFile file(destination);
    if (file.open())
        file.file().write(bytes);
    return file.commit() ? QString() : file.failure();
}

unsigned WholeFile::creationMask()
{
    static const unsigned mask = [] {
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : status.readAll().split('\n')) {
                if (line.startsWith("Umask:")) {
                    bool ok = false;
                    const unsigned value = line.mid(6).trimmed().toUInt(&ok, 8);
                    if (ok)
                        return value;
                }
            }
        }
        // The usual mask where the kernel does not tell it.
        return 022u;
    }();
    return mask;
}
