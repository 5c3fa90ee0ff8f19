#include "WholeFile.h"

#include "Diagnostics.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What marks this program's temporary names, ahead of Qt's six letters: other
// programs (synchronisation tools among them) write hidden ".<name>.XXXXXX"
// copies too, and theirs are not the start's to remove.
const char kMark[] = "~vorkel.";

// A temporary name of this program's: "." + name + mark + six letters.
bool isTemporaryName(const char *name)
{
    static const QRegularExpression pattern(QStringLiteral("^\\..+%1[A-Za-z]{6}$")
                                                .arg(QRegularExpression::escape(QLatin1String(kMark))));
    // Hidden names only are looked at: the listing's other thousands cost nothing.
    return name[0] == '.' && std::strstr(name, kMark) && pattern.match(QFile::decodeName(name)).hasMatch();
}

// Removes the file when it is a temporary file as a cut write left it: a
// regular file of this user's, still owner-only (it is widened only just
// before the rename), that no write holds locked.
void removeLeftover(int folder, const char *name, const QByteArray &path)
{
    const int file = ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (file < 0)
        return;
    struct stat status {};
    const bool left = fstat(file, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == geteuid()
                      && (status.st_mode & 07777) == 0600 && ::flock(file, LOCK_EX | LOCK_NB) == 0;
    if (left && ::unlinkat(folder, name, 0) == 0)
        qCDebug(vugApp) << "removed a temporary file a write cut short left:" << QFile::decodeName(path);
    ::close(file);
}

bool isFolder(int folder, const dirent &entry)
{
    if (entry.d_type != DT_UNKNOWN)
        return entry.d_type == DT_DIR;
    struct stat status {};
    return ::fstatat(folder, entry.d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode);
}

// One listing of each folder, links not followed, hidden folders (the tree
// shows none) not entered.
void removeLeftoversIn(const QByteArray &path, int depth)
{
    const int descriptor = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0)
        return;
    DIR *folder = ::fdopendir(descriptor);
    if (!folder) {
        ::close(descriptor);
        return;
    }
    while (const dirent *entry = ::readdir(folder)) {
        if (entry->d_name[0] != '.' && depth < 64 && isFolder(descriptor, *entry))
            removeLeftoversIn(path + '/' + entry->d_name, depth + 1);
        else if (isTemporaryName(entry->d_name))
            removeLeftover(descriptor, entry->d_name, path + '/' + entry->d_name);
    }
    ::closedir(folder);
}

}  // namespace

WholeFile::WholeFile(const QString &destination)
    : m_destination(destination), m_temporary(temporaryTemplate(destination))
{
}

QString WholeFile::temporaryTemplate(const QString &destination)
{
    const QFileInfo info(destination);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QLatin1String(kMark)
           + QStringLiteral("XXXXXX");
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
    removeLeftoversIn(QFile::encodeName(dataFolder), 0);
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
