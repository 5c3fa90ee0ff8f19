#include "SubjectStore.h"

#include "data/Inspection.h"
#include "data/InspectionMedia.h"

#include <QDir>
#include <QFileInfo>

#include <limits>
#include <unistd.h>

namespace {

const QString kSubjectExtension = QStringLiteral(".qmz");

}  // namespace

QString SubjectStore::createFolder(const QString &parent, const QString &pattern)
{
    QDir dir(parent);
    for (int i = 0; i < kNameAttempts; ++i) {
        const QString name = pattern.arg(i);
        if (dir.mkdir(name))
            return dir.filePath(name);
    }
    return QString();
}

QString SubjectStore::freeSubjectPath(const QString &folder, const QString &pattern)
{
    for (int i = 0; i < kNameAttempts; ++i) {
        const QString candidate = folder + QLatin1Char('/') + QString(pattern).replace(QLatin1String("%0"), QString::number(i))
                                  + kSubjectExtension;
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
    return QString();
}

// A name ends up as a file name in the entry's own folder: a separator would
// move it elsewhere, a leading dot would hide it (or make "." and ".."), ""
// would leave ".qmz". Dots inside are initials: "Петров П.П." is a name.
SubjectStore::NameProblem SubjectStore::checkName(const QString &text)
{
    const QString name = text.trimmed();
    if (name.isEmpty())
        return NameProblem::Empty;
    if (name.startsWith(QLatin1Char('.')))
        return NameProblem::LeadingDot;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\'))
            return NameProblem::Separator;
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return NameProblem::Control;
    }
    return NameProblem::None;
}

int SubjectStore::longestOwnedName(const QString &path, const QString &text, bool folder)
{
    const int base = text.trimmed().toUtf8().size();
    if (folder)
        return base;
    static const int stampedVideo = QByteArray(".ddMMyyyyhhmmss.avi").size();
    int longest = base + qMax(stampedVideo, kSubjectExtension.size());
    Inspection subject;
    subject.load(path);
    const int oldBase = InspectionMedia::subjectBaseName(subject).toUtf8().size();
    for (const Inspection::_Test &test : subject.tests) {
        const int video = QFileInfo(InspectionMedia::testVideoName(subject, test)).fileName().toUtf8().size();
        longest = qMax(longest, base + video - oldBase);
    }
    return longest;
}

int SubjectStore::nameLimit(const QString &folder)
{
    const long limit = pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return limit > 0 ? int(qMin<long>(limit, std::numeric_limits<int>::max())) : 255;
}

QString SubjectStore::renamedPath(const QString &path, const QString &text, bool folder)
{
    return QFileInfo(path).absolutePath() + QLatin1Char('/') + text.trimmed() + (folder ? QString() : kSubjectExtension);
}

QString SubjectStore::rename(const QString &path, const QString &text, bool folder, NameProblem *problem)
{
    *problem = checkName(text);
    if (*problem != NameProblem::None)
        return QString();
    const QString target = renamedPath(path, text, folder);
    if (target == path) {
        *problem = NameProblem::Unchanged;
        return QString();
    }
    if (longestOwnedName(path, text, folder) > nameLimit(QFileInfo(path).absolutePath())) {
        *problem = NameProblem::TooLong;
        return QString();
    }
    // rename(2) would put a folder in place of an empty one of that name; a
    // case-only change names the same entry on case-blind disks.
    if (QFileInfo::exists(target) && target.compare(path, Qt::CaseInsensitive) != 0) {
        *problem = NameProblem::Taken;
        return QString();
    }
    const bool renamed = folder ? QDir().rename(path, target) : QFile::rename(path, target);
    if (!renamed) {
        *problem = NameProblem::Failed;
        return QString();
    }
    return target;
}

QStringList SubjectStore::subjectFiles(const QString &subjectPath)
{
    QStringList files{subjectPath};
    Inspection subject;
    // A damaged or foreign file lists no tests, so no videos.
    subject.load(subjectPath);
    const InspectionMedia::OtherOwners others = InspectionMedia::otherOwners(subjectPath);
    for (const Inspection::_Test &test : subject.tests) {
        const QString video = InspectionMedia::testVideoName(subject, test);
        const bool theirs = !others.ownerOf(QFileInfo(video).fileName()).isEmpty();
        if (QFileInfo(video).isFile() && !files.contains(video) && !theirs)
            files << video;
    }
    for (const QString &path : InspectionMedia::preTestFiles(subjectPath)) {
        if (others.ownerOf(QFileInfo(path).fileName()).isEmpty())
            files << path;
    }
    return files;
}

QString SubjectStore::trashSubject(const QString &subjectPath)
{
    for (const QString &file : subjectFiles(subjectPath)) {
        if (!InspectionMedia::moveToTrash(file))
            return file;
    }
    return QString();
}
