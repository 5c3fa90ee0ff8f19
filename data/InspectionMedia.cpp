#include "InspectionMedia.h"

#include "CheckedTemporaryFile.h"
#include "Diagnostics.h"
#include "Inspection.h"
#include "InspectionTestNames.h"
#include "WholeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace InspectionMedia {

namespace {

// Made only beside a subject's folder that is there: one another program
// moved or deleted is not made anew, empty.
QString createdMediaFolder(const Inspection &inspection)
{
    const QString folder = mediaFolder(inspection);
    if (!QDir(folder).exists())
        QDir().mkdir(folder);
    return folder;
}

// A test name may hold "/" or NUL, which would leave the folder or cut the
// file name short.
QString fileNameSafe(QString name)
{
    return name.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QChar(0), QLatin1Char('_'));
}

QString timeStampedName(const QString &folder, const Inspection &inspection, const QDateTime &when,
                        const char *extension)
{
    const QString path = folder + QLatin1Char('/') + subjectBaseName(inspection)
                         + QLatin1Char('.') + when.toString(QStringLiteral("ddMMyyyyhhmmss"))
                         + QLatin1String(extension);
    return QFileInfo::exists(path) ? QString() : path;
}

QString mediaFolderOf(const QString &subjectPath)
{
    return QFileInfo(subjectPath).absolutePath() + QStringLiteral("/__1__");
}

bool isOwnerSeparator(QChar c)
{
    return c == QLatin1Char('-') || c == QLatin1Char('.');
}

// Whether name starts with base and "-" or ".".
bool extendsBase(const QString &name, const QString &base)
{
    return name.size() > base.size() && isOwnerSeparator(name.at(base.size())) && name.startsWith(base);
}

// A video of gigabytes is copied through this much memory.
constexpr int kCopyChunkBytes = 1 << 20;

// Renames within one file system, never over an entry at to, a link neither:
// EEXIST then. Where the file system cannot rename so, a hard link and the
// removal of the old name do the same. 0 when done, else the error number.
int renamedWithoutReplacing(const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (::link(from.constData(), to.constData()) != 0)
        return errno;
    if (::unlink(from.constData()) == 0)
        return 0;
    const int error = errno;
    ::unlink(to.constData());
    return error;
}

// The source's bytes into the copy a chunk at a time. 0, else the error of a
// failed read; a failed write the copy remembers itself.
int copyBytes(int source, CheckedTemporaryFile &copy)
{
    QByteArray chunk(kCopyChunkBytes, Qt::Uninitialized);
    while (!copy.failed()) {
        const ssize_t got = ::read(source, chunk.data(), size_t(chunk.size()));
        if (got == 0)
            return 0;
        if (got > 0)
            copy.write(chunk.constData(), got);
        else if (errno != EINTR)
            return errno;
    }
    return 0;
}

// The copy, on the disk, takes the name to with the source's permissions, as
// a rename keeps them. Empty when done, else why not, and nothing left at to.
QString putInPlace(CheckedTemporaryFile &copy, const struct stat &source, const QByteArray &to)
{
    if (!copy.syncToDisk())
        return CheckedTemporaryFile::reason(copy.failedWith(), copy.failureWords());
    if (::fchmod(copy.handle(), source.st_mode & 07777) != 0)
        return CheckedTemporaryFile::reason(errno);
    const int error = renamedWithoutReplacing(QFile::encodeName(copy.fileName()), to);
    if (error != 0)
        return CheckedTemporaryFile::reason(error);
    copy.setAutoRemove(false);
    if (copy.syncFolderToDisk())
        return QString();
    ::unlink(to.constData());
    return CheckedTemporaryFile::reason(copy.failedWith(), copy.failureWords());
}

// The open source's bytes whole at to: copied beside it, under no name or a
// temporary one the start-up's removal of cut writes knows, then renamed to
// it. Empty when done, else why not: nothing is left at to nor at the
// temporary name.
QString copiedTo(int source, const QString &to)
{
    // Refused before gigabytes are copied for nothing; the rename refuses anew.
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink())
        return CheckedTemporaryFile::reason(EEXIST);
    struct stat status {};
    if (::fstat(source, &status) != 0)
        return CheckedTemporaryFile::reason(errno);
    if (!S_ISREG(status.st_mode))
        return CheckedTemporaryFile::reason(EINVAL);
    CheckedTemporaryFile copy(WholeFile::temporaryTemplate(to));
    errno = 0;
    if (!copy.openUnbuffered())
        return CheckedTemporaryFile::reason(errno, copy.errorString());
    // Held until it is renamed: the start-up's removal passes over it.
    ::flock(copy.handle(), LOCK_EX | LOCK_NB);
    const int readError = copyBytes(source, copy);
    if (readError != 0)
        return CheckedTemporaryFile::reason(readError);
    return putInPlace(copy, status, QFile::encodeName(to));
}

// Across file systems: copied to the new name, and the source removed only
// then. Empty when done, else why not: nothing is left at to, and the source
// stays whole.
QString copiedAcross(const QByteArray &from, const QString &to)
{
    const int source = ::open(from.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (source < 0)
        return CheckedTemporaryFile::reason(errno);
    const auto closeSource = qScopeGuard([source] { ::close(source); });
    const QString failure = copiedTo(source, to);
    if (!failure.isEmpty())
        return failure;
    if (::unlink(from.constData()) == 0)
        return QString();
    // The video in one place only: the source, which stays whole.
    const int error = errno;
    ::unlink(QFile::encodeName(to).constData());
    return CheckedTemporaryFile::reason(error);
}

// The failure told, and set in why when asked for; true when there was none.
bool done(const QString &failure, const QString &from, const QString &to, QString *why)
{
    if (!failure.isEmpty())
        qCDebug(vugApp) << "not moved:" << from << "to" << to << failure;
    if (why)
        *why = failure;
    return failure.isEmpty();
}

// Empty when moved, else why not.
QString moved(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const int error = renamedWithoutReplacing(source, QFile::encodeName(to));
    if (error == EXDEV)
        return copiedAcross(source, to);
    return error == 0 ? QString() : CheckedTemporaryFile::reason(error);
}

}  // namespace

QString mediaFolder(const Inspection &inspection)
{
    return mediaFolderOf(inspection.path);
}

// The subject part is the whole name but its last extension, so subjects
// such as "Иванов И.И." and "Иванов И.П." never share a video.
QString testVideoPath(const Inspection &inspection, const InspectionTest &test)
{
    createdMediaFolder(inspection);
    return testVideoName(inspection, test);
}

QString testVideoName(const Inspection &inspection, const InspectionTest &test)
{
    return mediaFolder(inspection) + QLatin1Char('/') + subjectBaseName(inspection) + QLatin1Char('-')
           + fileNameSafe(test.name) + QLatin1Char('-') + test.id.toString() + QStringLiteral(".avi");
}

QSet<QString> testVideoNames(const QString &subjectPath)
{
    const Inspection subject(subjectPath);
    QVector<InspectionTest> tests;
    InspectionTestNames::read(subjectPath, tests);
    QSet<QString> names;
    for (const InspectionTest &test : tests)
        names.insert(QFileInfo(testVideoName(subject, test)).fileName());
    return names;
}

void removeTestVideo(const Inspection &inspection, const InspectionTest &test)
{
    QFile::remove(testVideoName(inspection, test));
}

VideoMove moveTestVideo(const Inspection &from, const InspectionTest &fromTest, const Inspection &to,
                        const InspectionTest &toTest, QString *why)
{
    const QString source = testVideoName(from, fromTest);
    if (!QFileInfo::exists(source))
        return VideoMove::NoVideo;
    const QString target = testVideoPath(to, toTest);
    return source == target || moveFile(source, target, why) ? VideoMove::Moved : VideoMove::Stayed;
}

bool moveFile(const QString &from, const QString &to, QString *why)
{
    return done(moved(from, to), from, to, why);
}

bool copyOpenFile(int descriptor, const QString &to, QString *why)
{
    const QString from = QStringLiteral("/proc/self/fd/%1").arg(descriptor);
    if (::lseek(descriptor, 0, SEEK_SET) != 0)
        return done(CheckedTemporaryFile::reason(errno), from, to, why);
    return done(copiedTo(descriptor, to), from, to, why);
}

bool moveToTrash(const QString &path)
{
    if (!QFileInfo::exists(path))
        return true;
    // Qt makes the home Trash folder but not the data folder above it, which a
    // fresh home lacks.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QFile file(path);
    if (!file.moveToTrash())
        return false;
    if (QFileInfo(file.fileName()).isAbsolute())
        return true;
    // Without a usable Trash folder Qt moves the file into "files" and "info"
    // of the working folder and reports success: put it back.
    const QString misplaced = QFileInfo(file.fileName()).absoluteFilePath();
    const QString info = QFileInfo(misplaced).absolutePath() + QStringLiteral("/../info/")
                         + QFileInfo(misplaced).fileName() + QStringLiteral(".trashinfo");
    QFile::rename(misplaced, path);
    QFile::remove(info);
    for (const QString &folder : {QFileInfo(misplaced).absolutePath(), QFileInfo(info).absolutePath()})
        QDir().rmdir(folder);
    return false;
}

QString newVideoFileName(const Inspection &inspection, const QDateTime &when)
{
    return timeStampedName(createdMediaFolder(inspection), inspection, when, ".avi");
}

QString newVideoFileName(const QString &folder, const Inspection &inspection, const QDateTime &when)
{
    return timeStampedName(folder, inspection, when, ".avi");
}

QString newAudioFileName(const Inspection &inspection, const QDateTime &when)
{
    return timeStampedName(createdMediaFolder(inspection), inspection, when, ".aac");
}

QString subjectBaseName(const Inspection &inspection)
{
    return QFileInfo(inspection.path).completeBaseName();
}

QStringList preTestFiles(const QString &subjectPath)
{
    const QString base = QFileInfo(subjectPath).completeBaseName();
    const QDir folder(mediaFolderOf(subjectPath));
    QStringList files;
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        if (isPreTestFileName(base, name))
            files << folder.filePath(name);
    }
    return files;
}

bool isPreTestFileName(const QString &subjectBase, const QString &fileName)
{
    // Only the base name is compared literally: a name such as "1" or "Ivan"
    // must not take "__1__" or "Ivan.Petrov" along.
    static const QRegularExpression stamp(
        QRegularExpression::anchoredPattern(QStringLiteral("\\.[0-9]{14}\\.(?i:avi|aac)")));
    return fileName.startsWith(subjectBase) && stamp.match(fileName.mid(subjectBase.size())).hasMatch();
}

QStringList preTestVideos(const QString &subjectPath)
{
    QStringList videos = preTestFiles(subjectPath).filter(QRegularExpression(QStringLiteral("\\.avi$"),
                                                                             QRegularExpression::CaseInsensitiveOption));
    const QString format = QStringLiteral("ddMMyyyyhhmmss");
    std::stable_sort(videos.begin(), videos.end(), [&format](const QString &a, const QString &b) {
        return QDateTime::fromString(timeStampOf(a), format) < QDateTime::fromString(timeStampOf(b), format);
    });
    return videos;
}

OtherOwners otherOwners(const QString &subjectPath, const QString &renamedTo)
{
    const QFileInfo subject(subjectPath);
    const QString base = subject.completeBaseName();
    const QDir folder = subject.absoluteDir();
    OtherOwners owners;
    for (const QString &name : folder.entryList({QStringLiteral("*.qmz")}, QDir::Files | QDir::Hidden)) {
        if (name == subject.fileName() || folder.filePath(name) == renamedTo)
            continue;
        const QString other = QFileInfo(name).completeBaseName();
        if (!extendsBase(base, other)) {
            owners.bases.insert(other);
            continue;
        }
        owners.names.unite(testVideoNames(folder.filePath(name)));
        owners.extendedBases << other;
    }
    return owners;
}

// Only the name's own prefixes before a "-" or "." are looked up, so the
// cost follows the name, not the number of subjects.
QString OtherOwners::ownerOf(const QString &fileName) const
{
    for (int i = 1; i < fileName.size(); ++i) {
        if (isOwnerSeparator(fileName.at(i)) && bases.contains(fileName.left(i)))
            return fileName.left(i);
    }
    for (const QString &base : extendedBases) {
        if ((names.contains(fileName) && extendsBase(fileName, base)) || isPreTestFileName(base, fileName))
            return base;
    }
    return QString();
}

QString timeStampOf(const QString &fileName)
{
    static const QRegularExpression stamp(QStringLiteral("\\.([0-9]{14})\\.[^./]+$"));
    return stamp.match(fileName).captured(1);
}

}  // namespace InspectionMedia
