#pragma once

#include <QByteArray>
#include <QString>

class QFile;
class QIODevice;

// The entries of a subject package ".dqmz": int32 LE name length, the UTF-8
// name, int32 LE data length and the file in qCompress form (uint32 BE
// length, zlib stream at level 1). Files stream through zlib in chunks; none
// is held whole.
namespace PackageEntries {

struct Header {
    QString name;
    qint64 dataLength = 0;  // the compressed block after the declared length
    quint32 declared = 0;   // the uncompressed length
};

enum class HeaderStatus { Read, End, Cut, Damaged };

// The first bytes of an SQLite database, as a subject file starts.
extern const QByteArray kDatabaseHeader;

// The package's texts, in one translation context.
QString tr(const char *text);

// Appends the file at path as one entry; why not, empty when it was written.
QString writeEntry(QFile &package, const QString &path);
// Reads the next entry's header; its name must be a bare file name. problem
// says why a header is damaged.
HeaderStatus readHeader(QFile &package, Header &header, QString &problem);
// Inflates the entry into out, never past its declared length; head, when
// given, gets the file's first bytes. The package is left at the next entry.
QString inflateEntry(QFile &package, const Header &header, QIODevice &out, QByteArray *head = nullptr);
// Passes over the entry's data to the next entry.
void skipEntry(QFile &package, const Header &header);

}  // namespace PackageEntries
