#include "TemporaryVideo.h"

#include "CheckedTemporaryFile.h"
#include "Diagnostics.h"
#include "InspectionMedia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSysInfo>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kNameTries = 8;

// The kind and this machine: on a shared folder another station's locks may
// not be seen here, so only this machine's files are ever taken for leftovers.
QString prefixOf(TemporaryVideo::Kind kind)
{
    static const QString machine =
        QSysInfo::machineHostName().remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")));
    return (kind == TemporaryVideo::Kind::Test ? QStringLiteral(".vug-recording-") : QStringLiteral(".vug-pretest-"))
           + machine + QLatin1Char('-');
}

QString newName(TemporaryVideo::Kind kind)
{
    return prefixOf(kind) + QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-')
           + QString::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, QLatin1Char('0'))
           + QStringLiteral(".avi");
}

bool sameFile(const struct stat &a, const struct stat &b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

}  // namespace

TemporaryVideo::TemporaryVideo(const QString &folder, Kind kind)
{
    if (!QFileInfo(folder).isDir())
        QDir().mkdir(folder);
    make(folder, kind);
}

// A start's removal of leftovers may take the file between its making and its
// lock: then another name is made.
void TemporaryVideo::make(const QString &folder, Kind kind)
{
    for (int i = 0; i < kNameTries; ++i) {
        m_path = folder + QLatin1Char('/') + newName(kind);
        const int file = ::open(QFile::encodeName(m_path).constData(),
                                O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (file < 0 && errno == EEXIST)
            continue;
        if (file < 0)
            break;
        struct stat status {};
        if (::flock(file, LOCK_EX) == 0 && ::fstat(file, &status) == 0 && status.st_nlink > 0) {
            m_handle = file;
            return;
        }
        ::close(file);
    }
    qCDebug(vugMedia) << "no temporary video made in" << folder << qt_error_string(errno);
}

TemporaryVideo::~TemporaryVideo()
{
    if (m_handle >= 0)
        ::close(m_handle);
}

QString TemporaryVideo::whereNow() const
{
    struct stat held {};
    if (m_handle < 0 || ::fstat(m_handle, &held) != 0)
        return QFileInfo::exists(m_path) ? m_path : QString();
    // The recorder opens the file by its name once it starts: one moved away
    // before that left the recorder's own file at the name.
    if (held.st_size == 0 && QFileInfo(m_path).size() > 0)
        return m_path;
    if (held.st_nlink == 0)
        return QString();
    char target[PATH_MAX];
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(m_handle);
    const ssize_t length = ::readlink(link.constData(), target, sizeof target);
    if (length <= 0 || length == ssize_t(sizeof target))
        return QString();
    const QByteArray name(target, int(length));
    struct stat there {};
    // Moved again since: read from the handle rather than take another file.
    if (::lstat(name.constData(), &there) != 0 || !sameFile(held, there))
        return QString();
    return QFile::decodeName(name);
}

bool TemporaryVideo::holdsBytes() const
{
    const QString lies = whereNow();
    struct stat held {};
    if (!lies.isEmpty())
        return QFileInfo(lies).size() > 0;
    return m_handle >= 0 && ::fstat(m_handle, &held) == 0 && held.st_size > 0;
}

QString TemporaryVideo::moveTo(const QString &target)
{
    const QString lies = whereNow();
    QString why;
    if (!lies.isEmpty())
        InspectionMedia::moveFile(lies, target, &why);
    else if (m_handle >= 0)
        InspectionMedia::copyOpenFile(m_handle, target, &why);
    else
        why = CheckedTemporaryFile::reason(ENOENT);
    return why;
}

void TemporaryVideo::remove()
{
    const QString lies = whereNow();
    if (!lies.isEmpty())
        QFile::remove(lies);
}

void TemporaryVideo::removeLeftovers(const QString &folder)
{
    static const QRegularExpression own(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(prefixOf(Kind::Test)) + QStringLiteral("[0-9]+-[0-9a-f]{8}\\.avi")));
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks)) {
        if (!own.match(name).hasMatch())
            continue;
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        const int file = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (file < 0)
            continue;
        struct stat status {};
        // Held by the recording that writes it, in this program or another of this machine.
        if (::fstat(file, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid()
            && ::flock(file, LOCK_EX | LOCK_NB) == 0 && ::unlink(path.constData()) == 0)
            qCDebug(vugMedia) << "removed the video of a recording whose program ended:" << name;
        ::close(file);
    }
}
