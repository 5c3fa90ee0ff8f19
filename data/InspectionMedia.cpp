#include "InspectionMedia.h"

#include "Inspection.h"
#include "InspectionTestNames.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

namespace InspectionMedia {

namespace {

QString createdMediaFolder(const Inspection &inspection)
{
    const QString folder = mediaFolder(inspection);
    if (!QDir(folder).exists())
        QDir(folder).mkpath(QStringLiteral("."));
    return folder;
}

// A test name may hold "/" or NUL, which would leave the folder or cut the
// file name short.
QString fileNameSafe(QString name)
{
    return name.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QChar(0), QLatin1Char('_'));
}

QString timeStampedName(const Inspection &inspection, const QDateTime &when, const char *extension)
{
    const QString path = createdMediaFolder(inspection) + QLatin1Char('/') + subjectBaseName(inspection)
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

}  // namespace

QString mediaFolder(const Inspection &inspection)
{
    return mediaFolderOf(inspection.path);
}

QString tempVideoPath(const Inspection &inspection)
{
    return createdMediaFolder(inspection) + QStringLiteral("/temp.avi");
}

QString tempPreTestVideoPath(const Inspection &inspection)
{
    return createdMediaFolder(inspection) + QStringLiteral("/temp_pretest.avi");
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

bool moveTestVideo(const Inspection &from, const InspectionTest &fromTest, const Inspection &to,
                   const InspectionTest &toTest)
{
    const QString source = testVideoName(from, fromTest);
    if (!QFileInfo::exists(source))
        return true;
    const QString target = testVideoPath(to, toTest);
    return source == target || moveFile(source, target);
}

// QFile::rename copies across file systems by itself, and refuses an existing target.
bool moveFile(const QString &from, const QString &to)
{
    return !QFileInfo(to).isSymLink() && QFile::rename(from, to);
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
    return timeStampedName(inspection, when, ".avi");
}

QString newAudioFileName(const Inspection &inspection, const QDateTime &when)
{
    return timeStampedName(inspection, when, ".aac");
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
