#include "PackageEntries.h"

#include "SubjectPackage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextCodec>
#include <QtEndian>

#include <limits>
#include <zlib.h>

namespace {

const qint64 kChunk = 1 << 20;
const int kMaxFileNameBytes = 255;

using PackageEntries::tr;

bool writeInt32(QIODevice &device, qint32 value)
{
    const qint32 le = qToLittleEndian(value);
    return device.write(reinterpret_cast<const char *>(&le), 4) == 4;
}

bool readExactly(QFile &package, char *buffer, qint64 count)
{
    return package.read(buffer, count) == count;
}

// A bare file name, or why not.
QString nameProblem(const QByteArray &raw, QString &name)
{
    const int zero = raw.indexOf('\0');
    const QByteArray bytes = zero < 0 ? raw : raw.left(zero);
    if (bytes.isEmpty())
        return tr("пустое имя");
    if (bytes.size() > kMaxFileNameBytes)
        return tr("слишком длинное имя");
    QTextCodec::ConverterState state;
    name = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars > 0 || state.remainingChars > 0)
        return tr("имя не в UTF-8");
    // Names that look the same are the same: «Й» composed or decomposed.
    name = name.normalized(QString::NormalizationForm_C);
    // Double dots inside a name are fine ("Петров А..qmz"); "." and ".." are not.
    const QString inside = QStringLiteral("folder/") + name;
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || QDir::cleanPath(inside) != inside)
        return tr("имя ведёт за пределы папки");
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return tr("имя с управляющими символами");
    }
    return QString();
}

}  // namespace

namespace PackageEntries {

const QByteArray kDatabaseHeader("SQLite format 3\0", 16);

QString tr(const char *text)
{
    return QCoreApplication::translate("SubjectPackage", text);
}

// The file deflated at level 1 as qCompress would; the data length is filled
// in once known.
QString writeEntry(QFile &package, const QString &path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return tr("Не удалось прочитать файл %1").arg(path);
    const QByteArray name = QFileInfo(path).fileName().toUtf8();
    const qint64 size = in.size();
    if (!writeInt32(package, name.size()) || package.write(name) != name.size())
        return tr("Не удалось записать пакет");
    const qint64 lengthAt = package.pos();
    const quint32 declared = qToBigEndian(quint32(size));
    if (!writeInt32(package, 0) || package.write(reinterpret_cast<const char *>(&declared), 4) != 4)
        return tr("Не удалось записать пакет");

    z_stream z{};
    deflateInit(&z, 1);
    QByteArray input(int(kChunk), Qt::Uninitialized);
    QByteArray output(int(kChunk), Qt::Uninitialized);
    QString error;
    qint64 read = 0;
    int flush = Z_NO_FLUSH;
    while (error.isEmpty() && flush != Z_FINISH) {
        const qint64 got = in.read(input.data(), kChunk);
        if (got < 0) {
            error = tr("Не удалось прочитать файл %1").arg(path);
            break;
        }
        read += got;
        flush = got == 0 ? Z_FINISH : Z_NO_FLUSH;
        z.next_in = reinterpret_cast<Bytef *>(input.data());
        z.avail_in = uInt(got);
        do {
            z.next_out = reinterpret_cast<Bytef *>(output.data());
            z.avail_out = uInt(kChunk);
            deflate(&z, flush);
            const qint64 produced = kChunk - z.avail_out;
            if (package.write(output.constData(), produced) != produced)
                error = tr("Не удалось записать пакет");
        } while (error.isEmpty() && z.avail_out == 0);
    }
    deflateEnd(&z);
    if (!error.isEmpty())
        return error;
    if (read != size)
        return tr("Файл %1 изменился во время экспорта").arg(path);
    const qint64 dataLength = package.pos() - lengthAt - 4;
    if (dataLength > std::numeric_limits<qint32>::max())
        return tr("Файл %1 слишком велик для пакета").arg(path);
    const qint64 end = package.pos();
    if (!package.seek(lengthAt) || !writeInt32(package, qint32(dataLength)) || !package.seek(end))
        return tr("Не удалось записать пакет");
    return QString();
}

HeaderStatus readHeader(QFile &package, Header &header, QString &problem)
{
    if (package.atEnd())
        return HeaderStatus::End;
    qint32 length = 0;
    if (!readExactly(package, reinterpret_cast<char *>(&length), 4))
        return HeaderStatus::Cut;
    length = qFromLittleEndian(length);
    if (length < 1 || length > SubjectPackage::kMaxNameBytes) {
        problem = tr("неверная длина имени (%1)").arg(length);
        return HeaderStatus::Damaged;
    }
    if (length > package.bytesAvailable())
        return HeaderStatus::Cut;
    const QByteArray raw = package.read(length);
    problem = nameProblem(raw, header.name);
    if (!problem.isEmpty()) {
        problem = QStringLiteral("«%1»: %2").arg(QString::fromUtf8(raw.left(kMaxFileNameBytes)), problem);
        return HeaderStatus::Damaged;
    }
    qint32 dataLength = 0;
    if (!readExactly(package, reinterpret_cast<char *>(&dataLength), 4))
        return HeaderStatus::Cut;
    dataLength = qFromLittleEndian(dataLength);
    if (dataLength < 4) {
        problem = tr("«%1»: неверная длина данных (%2)").arg(header.name).arg(dataLength);
        return HeaderStatus::Damaged;
    }
    if (dataLength > package.bytesAvailable())
        return HeaderStatus::Cut;
    quint32 declared = 0;
    readExactly(package, reinterpret_cast<char *>(&declared), 4);
    header.declared = qFromBigEndian(declared);
    header.dataLength = dataLength - 4;
    return HeaderStatus::Read;
}

// The entry is good only when the stream ends exactly at the block's end with
// exactly that length.
QString inflateEntry(QFile &package, const Header &header, QIODevice &out, QByteArray *head)
{
    const qint64 end = package.pos() + header.dataLength;
    z_stream z{};
    inflateInit(&z);
    QByteArray input(int(kChunk), Qt::Uninitialized);
    QByteArray output(int(kChunk), Qt::Uninitialized);
    QString problem;
    qint64 left = header.dataLength;
    qint64 total = 0;
    int status = Z_OK;
    while (problem.isEmpty() && status != Z_STREAM_END && left > 0) {
        const qint64 got = package.read(input.data(), qMin(left, kChunk));
        if (got <= 0) {
            problem = tr("не удалось прочитать пакет");
            break;
        }
        left -= got;
        z.next_in = reinterpret_cast<Bytef *>(input.data());
        z.avail_in = uInt(got);
        while (problem.isEmpty() && status != Z_STREAM_END && (z.avail_in > 0 || z.avail_out == 0)) {
            z.next_out = reinterpret_cast<Bytef *>(output.data());
            z.avail_out = uInt(kChunk);
            status = inflate(&z, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
                problem = tr("данные повреждены");
                break;
            }
            const qint64 produced = kChunk - z.avail_out;
            total += produced;
            if (total > header.declared) {
                problem = tr("данные длиннее заявленного");
                break;
            }
            if (head && head->size() < kDatabaseHeader.size())
                head->append(output.constData(), int(qMin<qint64>(produced, kDatabaseHeader.size() - head->size())));
            if (out.write(output.constData(), produced) != produced)
                problem = tr("не удалось записать файл");
            if (status == Z_BUF_ERROR && z.avail_in == 0)
                break;
        }
    }
    if (problem.isEmpty() && (status != Z_STREAM_END || z.avail_in > 0 || left > 0))
        problem = status == Z_STREAM_END ? tr("поток короче блока") : tr("поток оборван");
    if (problem.isEmpty() && total != header.declared)
        problem = tr("данные короче заявленного");
    inflateEnd(&z);
    package.seek(end);
    return problem;
}

void skipEntry(QFile &package, const Header &header)
{
    package.seek(package.pos() + header.dataLength);
}

}  // namespace PackageEntries
