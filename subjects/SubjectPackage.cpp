#include "SubjectPackage.h"

#include "TagTreeBounds.h"
#include "TagTreeText.h"

#include "data/Inspection.h"
#include "data/DatabaseFileLock.h"
#include "data/InspectionMedia.h"
#include "data/InspectionStore.h"
#include "data/InspectionTestNames.h"
#include "data/SharedConnection.h"
#include "data/SpravDB.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>
#include <QTemporaryFile>
#include <QTextCodec>
#include <QtEndian>

#include <cstdio>
#include <sys/stat.h>
#include <zlib.h>

namespace {

const qint64 kChunk = 1 << 20;
const QByteArray kDatabaseHeader("SQLite format 3\0", 16);
const QString kSubjectSuffix = QStringLiteral(".qmz");
const QString kVideoSuffix = QStringLiteral(".avi");
const int kMaxFileNameBytes = 255;

QString tr(const char *text)
{
    return QCoreApplication::translate("SubjectPackage", text);
}

bool writeInt32(QIODevice &device, qint32 value)
{
    const qint32 le = qToLittleEndian(value);
    return device.write(reinterpret_cast<const char *>(&le), 4) == 4;
}

// Renames a finished temporary file over the destination; a link found
// there is replaced, never followed. The file gets the permissions a newly
// made file would have, not the temporary file's owner-only ones.
bool commitFile(QTemporaryFile &temporary, const QString &destination)
{
    temporary.close();
    const mode_t mask = umask(0);
    umask(mask);
    chmod(QFile::encodeName(temporary.fileName()).constData(), 0666 & ~mask);
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(), QFile::encodeName(destination).constData()) != 0)
        return false;
    temporary.setAutoRemove(false);
    return true;
}

// SQLite rolls a journal left beside a database (a save cut short) into
// whatever file next opens under its name: the old file's side files are
// moved aside while the new file takes its place, and put back if it cannot.
// All of it under the old file's exclusive lock: a journal of another
// program's open transaction is live, and its file is not taken from it.
QString commitSubjectFile(QTemporaryFile &temporary, const QString &destination)
{
    const DatabaseFileLock lock(destination);
    if (lock.isBusy())
        return tr("файл занят другой программой");
    QStringList moved;
    const auto aside = [&temporary, &destination](const QString &side) {
        return temporary.fileName() + side.mid(destination.size());
    };
    const auto putBack = [&moved, &aside]() {
        for (const QString &side : moved)
            std::rename(QFile::encodeName(aside(side)).constData(), QFile::encodeName(side).constData());
    };
    for (const QString &side : SharedConnection::sideFiles(destination)) {
        if (!QFileInfo::exists(side) && !QFileInfo(side).isSymLink())
            continue;
        if (std::rename(QFile::encodeName(side).constData(), QFile::encodeName(aside(side)).constData()) != 0) {
            putBack();
            return tr("не удалось убрать файл «%1», оставленный прежним файлом").arg(QFileInfo(side).fileName());
        }
        moved << side;
    }
    if (!commitFile(temporary, destination)) {
        putBack();
        return tr("не удалось записать файл");
    }
    for (const QString &side : moved)
        QFile::remove(aside(side));
    return QString();
}

// --- writing ---

// Appends one entry: the file deflated at level 1 as qCompress would, read and
// written in chunks; the data length is filled in once known.
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

// --- reading ---

struct EntryHeader {
    QString name;
    qint64 dataLength = 0;  // the compressed block after the declared length
    quint32 declared = 0;   // the uncompressed length
};

enum class HeaderStatus { Read, End, Cut, Damaged };

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

HeaderStatus readHeader(QFile &package, EntryHeader &header, QString &problem)
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

// Inflates the entry's block into out, never past its declared length; the
// entry is good only when the stream ends exactly at the block's end with
// exactly that length. The package is left at the next entry either way.
QString inflateEntry(QFile &package, const EntryHeader &header, QIODevice &out, QByteArray *head = nullptr)
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

// Which recordings of a package may be written into the media folder.
struct RecordingRules {
    QString subjectBase;
    QSet<QString> testVideos;
    InspectionMedia::OtherOwners others;
    bool replacing = false;  // the subject is replaced, and with it its recordings
    QSet<QString> seen;

    // Why the entry is not written; empty when it is. Each name counts once.
    QString refusal(const QString &name, const QString &destination)
    {
        const bool own = testVideos.contains(name)
                         || (InspectionMedia::isPreTestFileName(subjectBase, name)
                             && name.endsWith(kVideoSuffix, Qt::CaseInsensitive));
        const bool again = seen.contains(name);
        seen.insert(name);
        if (!own)
            return tr("не запись этого обследуемого");
        const QString owner = others.ownerOf(name);
        if (!owner.isEmpty())
            return tr("имя записи обследуемого «%1» из этой папки").arg(owner);
        if (again)
            return tr("повторная запись с тем же именем");
        if (!replacing && QFileInfo::exists(destination))
            return tr("такой файл уже есть в папке записей");
        return QString();
    }
};

// Why a bare subject file is not to be used: no database, or one with a
// schema the program never makes.
QString subjectFileProblem(QTemporaryFile &file, const QByteArray &head)
{
    if (head != kDatabaseHeader || !file.flush())
        return tr("это не файл обследуемого");
    const QString refusal = InspectionStore::refusalOf(file.fileName());
    if (!refusal.isEmpty())
        return tr("это не файл обследуемого: %1").arg(refusal);
    const QString damage = SharedConnection::integrityProblem(file.fileName(), QStringLiteral("import"));
    if (!damage.isEmpty())
        return tr("файл обследуемого повреждён: %1").arg(damage);
    // Only the tests' names and ids are read: a test past the bounds is never built.
    QVector<InspectionTest> tests;
    if (InspectionTestNames::read(file.fileName(), tests) != StoreResult::Ok)
        return tr("тесты файла обследуемого не читаются или больше тех, что создаёт программа");
    return QString();
}

// The subject file in the folder whose name is the given one in composed
// form, whichever form it was stored in; empty when there is none.
QString sameNamedSubject(const QString &folder, const QString &name)
{
    const QDir dir(folder);
    if (QFileInfo::exists(dir.filePath(name)))
        return dir.filePath(name);
    for (const QString &existing : dir.entryList({QStringLiteral("*") + kSubjectSuffix}, QDir::Files)) {
        if (existing.normalized(QString::NormalizationForm_C) == name)
            return dir.filePath(existing);
    }
    return QString();
}

bool isFolderInside(const QString &folder, const QString &target)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    const QString root = QFileInfo(target).canonicalFilePath();
    return !canonical.isEmpty() && (canonical == root || canonical.startsWith(root + QLatin1Char('/')));
}

// One entry into its destination through a temporary file beside it.
QString importEntry(QFile &package, const EntryHeader &header, const QString &destination, QByteArray *head)
{
    if (header.declared > quint64(QStorageInfo(QFileInfo(destination).absolutePath()).bytesAvailable())) {
        package.seek(package.pos() + header.dataLength);
        return tr("не хватает места на диске");
    }
    QTemporaryFile temporary(QFileInfo(destination).absolutePath() + QStringLiteral("/.import-XXXXXX"));
    if (!temporary.open()) {
        package.seek(package.pos() + header.dataLength);
        return tr("не удалось создать файл");
    }
    QString problem = inflateEntry(package, header, temporary, head);
    if (problem.isEmpty() && head)
        problem = subjectFileProblem(temporary, *head);
    if (problem.isEmpty() && head)
        problem = commitSubjectFile(temporary, destination);
    else if (problem.isEmpty() && !commitFile(temporary, destination))
        problem = tr("не удалось записать файл");
    return problem;
}

// The subject with the book's identifiers for the keys the book holds by
// path, so that one key does not stand twice in the book.
InspectionPerson joinedPerson(const InspectionPerson &person, const QHash<QUuid, QUuid> &joins)
{
    InspectionPerson joined = person;
    joined.Tags = joinedTagIds(person.Tags, joins);
    joined.TagPaths = joinedTagLines(person.TagPaths, joins);
    return joined;
}

// Adds to the book the subject's keys it lacks, those it holds by path joined
// to its own when join is set (into joins). The book is read, joined,
// checked against a key file's bounds and written in one write transaction:
// keys another writer stores meanwhile stay. A book that is not there or
// cannot be opened is left alone. False when nothing was stored.
bool storeLackingKeys(const InspectionPerson &person, bool join, QHash<QUuid, QUuid> &joins,
                      SubjectPackage::ImportResult &result)
{
    SpravDB sprav;
    if (!sprav.isOpen())
        return false;
    QString lacking;
    const int stored = sprav.updateTags([&](const QString &text) {
        joins = join ? samePathKeys(person.Tags, person.TagPaths, text) : QHash<QUuid, QUuid>();
        const InspectionPerson joined = joinedPerson(person, joins);
        lacking = lackingTagLines(joined.Tags, joined.TagPaths, text);
        // Past the bounds of a key file no key is added: every form would build the tree.
        result.keysPastBounds = lacking.isEmpty() ? QString() : TagTreeBounds::problem(withLines(text, lacking));
        if (!result.keysPastBounds.isEmpty())
            lacking.clear();
        return withLines(text, lacking);
    });
    if (stored != SpravDB::Done) {
        result.keysNotStored = true;
        return false;
    }
    for (const QString &line : lacking.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        result.addedKeys << line.section(QLatin1Char('\t'), 2);
    return true;
}

// The imported subject's keys the book lacks join its key tree. A book that
// is not there or cannot be read is left alone.
void addLackingKeys(const QString &subjectPath, SubjectPackage::ImportResult &result)
{
    InspectionPerson person;
    Inspection(subjectPath).loadPerson(person);
    if (tagIdSet(person.Tags).isEmpty())
        return;
    QHash<QUuid, QUuid> joins;
    if (!storeLackingKeys(person, true, joins, result) || joins.isEmpty())
        return;
    // The subject file takes the joined keys once the book holds them: the
    // book and the subject share one connection, so not within its transaction.
    if (Inspection(subjectPath).savePerson(joinedPerson(person, joins)) != StoreResult::Ok) {
        // The keys join the book as they are.
        storeLackingKeys(person, false, joins, result);
        return;
    }
    const QHash<QUuid, QString> paths = tagPaths(person.TagPaths);
    for (auto join = joins.cbegin(); join != joins.cend(); ++join)
        result.joinedKeys << paths.value(join.key());
    result.joinedKeys.sort();
}

}  // namespace

QStringList SubjectPackage::packageFiles(const QString &subjectPath, QStringList *links)
{
    // A link may lead out of the data folder: its target is no recording of the subject's.
    const auto regular = [links](const QString &path) {
        const QFileInfo file(path);
        if (file.isSymLink() && links)
            *links << path;
        return file.isFile() && !file.isSymLink();
    };
    const InspectionMedia::OtherOwners others = InspectionMedia::otherOwners(subjectPath);
    QStringList files{subjectPath};
    for (const QString &path : InspectionMedia::preTestFiles(subjectPath)) {
        if (path.endsWith(kVideoSuffix, Qt::CaseInsensitive) && others.ownerOf(QFileInfo(path).fileName()).isEmpty()
            && regular(path))
            files << path;
    }
    const QDir media(QFileInfo(subjectPath).absolutePath() + QStringLiteral("/__1__"));
    QStringList videos;
    for (const QString &name : InspectionMedia::testVideoNames(subjectPath)) {
        if (others.ownerOf(name).isEmpty() && regular(media.filePath(name)))
            videos << media.filePath(name);
    }
    videos.sort();
    return files + videos;
}

SubjectPackage::ExportResult SubjectPackage::exportSubject(const QString &subjectPath, const QString &folder,
                                                           const ReplaceQuestion &mayReplace)
{
    ExportResult result;
    result.files = packageFiles(subjectPath, &result.links);
    for (const QString &path : result.files) {
        const QFileInfo file(path);
        if (!file.isFile() || !file.isReadable())
            result.error = tr("Не удалось прочитать файл %1").arg(path);
        else if (file.size() > kMaxFileBytes)
            result.error = tr("Файл %1 слишком велик для пакета (4 ГБ и более)").arg(path);
        if (!result.error.isEmpty())
            return result;
    }
    const QString target = folder + QLatin1Char('/') + QFileInfo(subjectPath).completeBaseName() + QStringLiteral(".dqmz");
    if (QFileInfo::exists(target) && !mayReplace(QFileInfo(target).fileName())) {
        result.refused = true;
        return result;
    }
    QTemporaryFile package(folder + QStringLiteral("/.export-XXXXXX"));
    if (!package.open()) {
        result.error = tr("Не удалось создать файл в папке %1").arg(folder);
        return result;
    }
    for (const QString &path : result.files) {
        result.error = writeEntry(package, path);
        if (!result.error.isEmpty())
            return result;
    }
    if (!package.flush() || !commitFile(package, target)) {
        result.error = tr("Не удалось записать пакет %1").arg(target);
        return result;
    }
    result.package = target;
    return result;
}

SubjectPackage::ImportResult SubjectPackage::importPackage(const QString &packagePath, const QString &targetFolder,
                                                           const ReplaceQuestion &mayReplace)
{
    ImportResult result;
    QFile package(packagePath);
    if (!package.open(QIODevice::ReadOnly)) {
        result.stop = tr("Не удалось открыть пакет %1").arg(packagePath);
        return result;
    }
    EntryHeader header;
    QString problem;
    switch (readHeader(package, header, problem)) {
    case HeaderStatus::End:
        result.stop = tr("Пакет пуст");
        return result;
    case HeaderStatus::Cut:
        result.cut = true;
        result.stop = tr("Пакет обрывается в первой записи");
        return result;
    case HeaderStatus::Damaged:
        result.stop = tr("Пакет повреждён: %1").arg(problem);
        return result;
    case HeaderStatus::Read:
        break;
    }
    if (!header.name.endsWith(kSubjectSuffix) || header.name.size() == kSubjectSuffix.size()) {
        result.stop = tr("Первая запись «%1» — не файл обследуемого").arg(header.name);
        return result;
    }
    // The subjects' tree does not show hidden files.
    if (header.name.startsWith(QLatin1Char('.'))) {
        result.stop = tr("Файл обследуемого «%1» скрыт: имя начинается с точки").arg(header.name);
        return result;
    }
    // Larger than any subject file the program writes: a small package may inflate to gigabytes.
    if (header.declared > InspectionStore::kMaxFileBytes) {
        result.stop = tr("Файл обследуемого «%1» слишком велик (%2 МБ): программа таких не создаёт")
                          .arg(header.name).arg(header.declared >> 20);
        return result;
    }
    const QString subject = targetFolder + QLatin1Char('/') + header.name;
    const QString existing = sameNamedSubject(targetFolder, header.name);
    const bool replacing = !existing.isEmpty();
    if (replacing && !mayReplace(header.name)) {
        result.refused = true;
        return result;
    }
    QByteArray head;
    problem = importEntry(package, header, subject, &head);
    if (!problem.isEmpty()) {
        result.stop = tr("Файл обследуемого «%1»: %2").arg(header.name, problem);
        return result;
    }
    // The replaced subject was stored under a decomposed name: one file stays.
    if (replacing && existing != subject) {
        const QStringList stale = QStringList{existing} + SharedConnection::sideFiles(existing);
        for (const QString &path : stale)
            QFile::remove(path);
    }
    result.imported << subject;
    addLackingKeys(subject, result);

    RecordingRules rules{header.name.left(header.name.size() - kSubjectSuffix.size()),
                         InspectionMedia::testVideoNames(subject), InspectionMedia::otherOwners(subject), replacing,
                         {}};
    const QString media = targetFolder + QStringLiteral("/__1__");
    QDir().mkpath(media);
    if (!isFolderInside(media, targetFolder)) {
        result.stop = tr("Папка записей %1 ведёт за пределы папки").arg(media);
        return result;
    }
    forever {
        const HeaderStatus status = readHeader(package, header, problem);
        if (status == HeaderStatus::End)
            break;
        if (status == HeaderStatus::Cut) {
            result.cut = true;
            break;
        }
        if (status == HeaderStatus::Damaged) {
            result.stop = tr("Пакет повреждён: %1").arg(problem);
            break;
        }
        const QString destination = media + QLatin1Char('/') + header.name;
        problem = rules.refusal(header.name, destination);
        if (problem.isEmpty())
            problem = importEntry(package, header, destination, nullptr);
        else
            package.seek(package.pos() + header.dataLength);
        if (problem.isEmpty())
            result.imported << destination;
        else
            result.skip(QStringLiteral("%1: %2").arg(header.name, problem));
    }
    return result;
}

QString SubjectPackage::ExportResult::leftOutReport() const
{
    if (links.isEmpty())
        return QString();
    QStringList names;
    for (const QString &path : links)
        names << QFileInfo(path).fileName();
    return QLatin1Char('\n') + tr("Не вошли в пакет записи, которые являются ссылками на другие файлы: %1.")
                                   .arg(links.size())
           + QLatin1Char('\n') + names.mid(0, kListedSkips).join(QLatin1Char('\n'));
}

void SubjectPackage::ImportResult::skip(const QString &entry)
{
    if (skipped.size() < kListedSkips)
        skipped << entry;
    ++skippedCount;
}

QString SubjectPackage::ImportResult::report() const
{
    if (refused)
        return tr("Импорт отменён: ничего не изменено.");
    QStringList lines;
    if (imported.isEmpty())
        lines << tr("Ничего не импортировано.");
    else
        lines << tr("Импортировано файлов: %1.").arg(imported.size());
    if (!stop.isEmpty())
        lines << stop;
    if (cut)
        lines << tr("Пакет обрезан: прочитаны только полные записи до обрыва.");
    const auto list = [&lines](const QStringList &items, int count) {
        lines << items.mid(0, kListedSkips);
        if (count > kListedSkips)
            lines << tr("… и ещё %1.").arg(count - kListedSkips);
    };
    if (!addedKeys.isEmpty()) {
        lines << tr("В справочник ключей добавлены ключи обследуемого: %1.").arg(addedKeys.size());
        list(addedKeys, addedKeys.size());
    }
    if (!joinedKeys.isEmpty()) {
        lines << tr("Ключи обследуемого заменены ключами справочника с тем же путём: %1.").arg(joinedKeys.size());
        list(joinedKeys, joinedKeys.size());
    }
    if (keysNotStored)
        lines << tr("Не удалось добавить в справочник ключей ключи обследуемого, которых в нём нет.");
    if (!keysPastBounds.isEmpty())
        lines << tr("Ключи обследуемого, которых нет в справочнике ключей, не добавлены: %1.").arg(keysPastBounds);
    if (skippedCount > 0) {
        lines << tr("Пропущено записей: %1.").arg(skippedCount);
        list(skipped, skippedCount);
    }
    return lines.join(QLatin1Char('\n'));
}
