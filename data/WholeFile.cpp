#include "WholeFile.h"

#include "Diagnostics.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The temporary name a whole file is written under beside its destination,
// "." + name + "." + Qt's six letters, of a file with one of the endings.
bool isTemporaryName(const QString &name, const QString &endings)
{
    const QRegularExpression pattern(QStringLiteral("^\\.[^.].*\\.(%1)\\.[A-Za-z]{6}$").arg(endings),
                                     QRegularExpression::CaseInsensitiveOption);
    return pattern.match(name).hasMatch();
}

// Removes the file when it is a temporary file as a cut write left it: a
// regular file of this user's, still owner-only (it is widened only just
// before the rename), that no write holds locked.
void removeLeftover(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int file = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (file < 0)
        return;
    struct stat status {};
    const bool left = fstat(file, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == geteuid()
                      && (status.st_mode & 07777) == 0600 && ::flock(file, LOCK_EX | LOCK_NB) == 0;
    if (left && ::unlink(name.constData()) == 0)
        qCDebug(vugApp) << "removed a temporary file a write cut short left:" << path;
    ::close(file);
}

void removeLeftoversIn(const QString &folder, const QString &endings)
{
    if (QFileInfo(folder).isSymLink())
        return;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks)) {
        if (isTemporaryName(name, endings))
            removeLeftover(dir.filePath(name));
    }
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
    if (!m_temporary.openUnbuffered()) {
        m_errorNumber = errno;
        return false;
    }
    // Held until the rename: removeLeftovers passes over a file being written.
    ::flock(m_temporary.handle(), LOCK_EX | LOCK_NB);
    return true;
}

bool WholeFile::commit()
{
    // On the disk before the rename: after a power cut the destination holds
    // the old file or the new one, never an empty one.
    if (!m_temporary.isOpen())
        return false;
    const bool written = m_temporary.syncToDisk();
    const QByteArray temporary = QFile::encodeName(m_temporary.fileName());
    errno = 0;
    if (!written || fchmod(m_temporary.handle(), 0666 & ~creationMask()) != 0
        || std::rename(temporary.constData(), QFile::encodeName(m_destination).constData()) != 0) {
        m_errorNumber = errno;
        m_temporary.close();
        return false;
    }
    m_inPlace = true;
    m_temporary.setAutoRemove(false);
    // The destination is the new file now, but its name may not outlive a
    // power cut until the folder is synced: a failed sync is a failed write,
    // told as one. The file stays, since the old one is gone either way.
    const bool synced = m_temporary.syncFolderToDisk();
    m_temporary.close();
    return synced;
}

QString WholeFile::failure() const
{
    if (m_temporary.failed())
        return CheckedTemporaryFile::reason(m_temporary.failedWith(), m_temporary.failureWords());
    return m_errorNumber == 0 ? QString() : CheckedTemporaryFile::reason(m_errorNumber);
}

QString WholeFile::write(const QString &destination, const QByteArray &bytes)
{
    WholeFile file(destination);
    if (file.open())
        file.file().write(bytes);
    return file.commit() ? QString() : file.failure();
}

void WholeFile::removeLeftovers(const QString &dataFolder)
{
    removeLeftoversIn(dataFolder, QStringLiteral("qmz"));
    removeLeftoversIn(dataFolder + QStringLiteral("/__1__"), QStringLiteral("avi|aac"));
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
