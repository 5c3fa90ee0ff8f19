#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The subject export package ".dqmz", made of PackageEntries: the first entry
// is the subject file, the others its recordings (as RecordingRules has them).
class SubjectPackage
{
public:
    // Asked before an existing file of that name is replaced.
    using ReplaceQuestion = std::function<bool(const QString &fileName)>;

    struct ExportResult {
        QString package;       // the written package; empty when nothing was written
        QStringList files;
        QString error;         // why nothing was written
        bool refused = false;  // an existing package was not to be replaced
        QStringList links;     // recordings left out: links, not files
        // Lines naming the links left out, each after a line break; empty when none was.
        QString leftOutReport() const;
    };
    // Writes folder/<base>.dqmz with the subject file, its pre-test videos and
    // its tests' videos, under a temporary name renamed at the end.
    static ExportResult exportSubject(const QString &subjectPath, const QString &folder,
                                      const ReplaceQuestion &mayReplace);
    // The files a package of the subject holds, in entry order: the subject
    // file, then the recordings that are its own by name (a pre-test video:
    // the base name, ".", the time stamp, ".avi"; a test video: the name its
    // test in the file gives) and that no other subject file beside it could
    // own (InspectionMedia::otherOwners). Only regular files go in: the
    // recordings that are symbolic links are left out and added to links.
    static QStringList packageFiles(const QString &subjectPath, QStringList *links = nullptr);

    struct ImportResult {
        QStringList imported;  // destination paths
        QStringList skipped;   // "name: why", the first kListedSkips
        int skippedCount = 0;
        QString stop;          // why reading stopped before the end, empty when it read through
        bool cut = false;      // the package ends inside an entry
        bool refused = false;  // an existing subject was not to be replaced
        QStringList addedKeys;       // paths of the subject's keys the key tree gained
        QStringList joinedKeys;      // paths of the subject's keys that took the tree's key of that path
        bool keysNotStored = false;  // the key tree lacked some and could not be written
        QString keysPastBounds;      // why none was added: the tree would be past a key file's bounds
        void skip(const QString &entry);
        // What happened, short enough for a message box however many were skipped.
        QString report() const;
    };
    static const int kListedSkips = 20;
    // Reads the package into the target folder; recordings go to its "__1__".
    // Only the subject's own recordings are taken (as packageFiles names
    // them), each name once; an existing file is replaced only when the
    // existing subject is. The subject file must pass SQLite's integrity
    // check, and a journal left beside the old one goes with it. The keys the
    // subject holds that the reference book's key tree lacks join the tree,
    // at the paths the subject file keeps, so that a search can choose them;
    // one the tree holds at the same path under another identifier is
    // rewritten in the subject file to the tree's identifier instead.
    static ImportResult importPackage(const QString &packagePath, const QString &targetFolder,
                                      const ReplaceQuestion &mayReplace);

    // The largest name and the limits of the format.
    static const int kMaxNameBytes = 1024;
    static const qint64 kMaxFileBytes = Q_INT64_C(0xFFFFFFFF);
};
