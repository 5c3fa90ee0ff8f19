#include "RecoveryNote.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool RecoveryNote::read(const QString &file, QString &text)
{
    // Opened without waiting and without following a link, then checked on
    // the descriptor: what is read is what was checked.
    const int descriptor = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    struct stat status {};
    QFile note;
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > kMaxBytes
        || !note.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return false;
    }
    const QByteArray bytes = note.read(kMaxBytes + 1);
    if (bytes.size() > kMaxBytes)
        return false;
    text = QString::fromUtf8(bytes);
    return true;
}

QString RecoveryNote::subjectIn(const QString &rootFolder, const QString &note)
{
    const QString path = note.trimmed();
    const QFileInfo file(path);
    if (path.isEmpty() || file.isRelative() || !isPlainFile(path) || file.suffix() != QLatin1String("qmz"))
        return QString();
    const QString root = QFileInfo(rootFolder).canonicalFilePath();
    const QString subject = file.canonicalFilePath();
    return !root.isEmpty() && subject.startsWith(root + QLatin1Char('/')) ? subject : QString();
}

bool RecoveryNote::isPlainFile(const QString &path)
{
    const QFileInfo file(path);
    return !file.isSymLink() && file.isFile();
}
