#include "WholeFile.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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
    return m_temporary.open();
}

bool WholeFile::commit()
{
    // On the disk before the rename: after a power cut the destination holds
    // the old file or the new one, never an empty one.
    const bool synced = m_temporary.flush() && ::fsync(m_temporary.handle()) == 0;
    m_temporary.close();
    const QByteArray temporary = QFile::encodeName(m_temporary.fileName());
    if (!synced || m_temporary.error() != QFileDevice::NoError
        || chmod(temporary.constData(), 0666 & ~creationMask()) != 0
        || std::rename(temporary.constData(), QFile::encodeName(m_destination).constData()) != 0)
        return false;
    m_temporary.setAutoRemove(false);
    syncFolderOf(m_destination);
    return true;
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
