#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>

class Inspection;
struct InspectionTest;

// Names of the video and sound files kept beside a subject file, in the
// companion folder "__1__" that all subjects of one folder share. Every path
// but mediaFolder's creates the folder when it is missing and the subject's
// folder is there.
namespace InspectionMedia {

QString mediaFolder(const Inspection &inspection);
QString testVideoPath(const Inspection &inspection, const InspectionTest &test);
// The same path without creating the folder, for callers that only look.
QString testVideoName(const Inspection &inspection, const InspectionTest &test);
// The file names testVideoName gives the tests of the subject file at
// subjectPath, its tests read no further than their names.
QSet<QString> testVideoNames(const QString &subjectPath);
// Deletes the test's video; a missing file is no error.
void removeTestVideo(const Inspection &inspection, const InspectionTest &test);
enum class VideoMove { Moved, NoVideo, Stayed };
// The video of a recording follows it from one subject's companion folder to
// another's, or to the name of another test: to where it is placed. A video is
// never put over another one, and one that cannot follow stays where it was,
// whole, why telling the cause as moveFile does.
VideoMove moveTestVideo(const Inspection &from, const InspectionTest &fromTest, const Inspection &to,
                        const InspectionTest &toTest, QString *why = nullptr);
// Moves a file to a new name, across file systems too; never over another file
// nor a link. The file ends whole at the new name or, when false, whole at the
// old one with nothing at the new name: across file systems it is copied
// beside the new name, on the disk before it takes that name, and only then
// removed at the old one. why, when given, is set to the cause of a failure in
// words for the examiner ("диск заполнен: …").
bool moveFile(const QString &from, const QString &to, QString *why = nullptr);
// Writes the whole of an open file at a new name as moveFile copies across file
// systems, never over another file; the open file is left as it is.
bool copyOpenFile(int descriptor, const QString &to, QString *why = nullptr);
// Moves a file to the desktop's Trash; true as well when there is no such
// file. A failed move leaves the file where it was.
bool moveToTrash(const QString &path);
// Time-stamped names of a pre-test video and a speech recording; empty when
// that file exists already.
QString newVideoFileName(const Inspection &inspection, const QDateTime &when);
// The same video's name in another folder, where the subject's video lies.
QString newVideoFileName(const QString &folder, const Inspection &inspection, const QDateTime &when);
QString newAudioFileName(const Inspection &inspection, const QDateTime &when);
// The subject file's name without folder and without its last extension.
QString subjectBaseName(const Inspection &inspection);
// The pre-test videos and speech files of the subject file at subjectPath, as
// paths in its companion folder, sorted: the base name taken literally, ".",
// the 14-digit time stamp, ".avi" or ".aac" in any letter case.
QStringList preTestFiles(const QString &subjectPath);
// Whether a file name in the companion folder is such a pre-test file of the
// subject with that base name.
bool isPreTestFileName(const QString &subjectBase, const QString &fileName);
// The pre-test videos among them, oldest first by the time stamp in their names.
QStringList preTestVideos(const QString &subjectPath);
// The 14 digits just before a media file name's extension; empty when the
// name carries no time stamp there.
QString timeStampOf(const QString &fileName);

// The recordings the other subject files beside a subject could own. A name
// of another subject's base name followed by "-" or "." is never this
// subject's, whatever its own file says: its file chooses its test names
// freely. Where this subject's base name itself extends another's
// ("Петрова-Водкина" beside "Петрова"), only the names that file gives count.
struct OtherOwners {
    QSet<QString> bases;
    QStringList extendedBases;  // the subjects this one's name extends
    QSet<QString> names;        // and their tests' videos
    // The base name of a subject that could own the file name; empty when none.
    QString ownerOf(const QString &fileName) const;
};
// renamedTo: the subject file's new path when it has just been renamed and its
// recordings still carry the old name; that file is no other subject.
OtherOwners otherOwners(const QString &subjectPath, const QString &renamedTo = QString());

}  // namespace InspectionMedia
