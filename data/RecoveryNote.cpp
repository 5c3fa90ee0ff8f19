#include "RecoveryNote.h"

#include "PlainFile.h"

#include <QFile>
#include <QFileInfo>

bool RecoveryNote::read(const QString &file, QString &text)
{
    PlainFile checked(file, kMaxBytes);
    QFile note;
    if (!checked.isOpen() || !note.open(checked.descriptor(), QIODevice::ReadOnly))
        return false;
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
