#include "SubjectPackage.h"

#include "BookKeys.h"
#include "PackageEntries.h"
#include "RecordingRules.h"

#include "data/DatabaseFileLock.h"
#include "data/InspectionMedia.h"
#include "data/InspectionStore.h"
#include "data/InspectionTestNames.h"
#include "data/SharedConnection.h"
#include "data/WholeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <cstdio>

using namespace PackageEntries;

namespace {

const QString kSubjectSuffix = QStringLiteral(".qmz");

bool renameFile(const QString &from, const QString &to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// The problem, with the system's reason where a write of the file failed.
QString withCause(const QString &problem, const WholeFile &file)
{
    const QString cause = file.failure();
    return problem.isEmpty() || cause.isEmpty() ? problem : problem + QStringLiteral(": ") + cause;
}

// SQLite rolls a journal left beside a database (a save cut short) into
// whatever file next opens under its name: the old file's side files are
// moved aside while the new file takes its place, and put back if it cannot.
// All of it under the old file's exclusive lock: a journal of another
// program's open transaction is live, and its file is not taken from it.
QString commitSubjectFile(WholeFile &file, const QString &destination)
{
    const DatabaseFileLock lock(destination);
    if (lock.isBusy())
        return tr("файл занят другой программой");
    const QString temporary = file.file().fileName();
    QStringList moved;
    const auto aside = [&temporary, &destination](const QString &side) {
        return temporary + side.mid(destination.size());
    };
    const auto putBack = [&moved, &aside]() {
        for (const QString &side : moved)
            renameFile(aside(side), side);
    };
    for (const QString &side : SharedConnection::sideFiles(destination)) {
        if (!QFileInfo::exists(side) && !QFileInfo(side).isSymLink())
            continue;
        if (!renameFile(side, aside(side))) {
            putBack();
            return tr("не удалось убрать файл «%1», оставленный прежним файлом").arg(QFileInfo(side).fileName());
        }
        moved << side;
    }
    // Once the new file is in place the old one's side files are never put back beside it.
    const bool committed = file.commit();
    if (file.isInPlace()) {
        for (const QString &side : moved)
            QFile::remove(aside(side));
    } else {
        putBack();
    }
    return committed ? QString() : tr("не удалось записать файл");
}

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

// One entry into its destination, written whole beside it first.
QString importEntry(QFile &package, const Header &header, const QString &destination, QByteArray *head)
{
    if (header.declared > quint64(QStorageInfo(QFileInfo(destination).absolutePath()).bytesAvailable())) {
        skipEntry(package, header);
        return tr("не хватает места на диске");
    }
    WholeFile file(destination);
    if (!file.open()) {
        skipEntry(package, header);
        return tr("не удалось создать файл");
    }
    QString problem = inflateEntry(package, header, file.file(), head);
    if (problem.isEmpty() && head)
        problem = subjectFileProblem(file.file(), *head);
    if (problem.isEmpty() && head)
        problem = commitSubjectFile(file, destination);
    else if (problem.isEmpty() && !file.commit())
        problem = tr("не удалось записать файл");
    return withCause(problem, file);
}

// Why the first entry cannot be the subject file; empty when it can.
QString subjectEntryProblem(const Header &header)
{
    if (!header.name.endsWith(kSubjectSuffix) || header.name.size() == kSubjectSuffix.size())
        return tr("Первая запись «%1» — не файл обследуемого").arg(header.name);
    // The subjects' tree does not show hidden files.
    if (header.name.startsWith(QLatin1Char('.')))
        return tr("Файл обследуемого «%1» скрыт: имя начинается с точки").arg(header.name);
    // Larger than any subject file the program writes: a small package may inflate to gigabytes.
    if (header.declared > InspectionStore::kMaxFileBytes)
        return tr("Файл обследуемого «%1» слишком велик (%2 МБ): программа таких не создаёт")
            .arg(header.name)
            .arg(header.declared >> 20);
    return QString();
}

// The first entry, the subject file, into the target folder: its path, empty
// when it was not written (result says why). replacing tells whether it took
// the place of an existing subject.
QString importSubjectEntry(QFile &package, const QString &targetFolder,
                           const SubjectPackage::ReplaceQuestion &mayReplace, SubjectPackage::ImportResult &result,
                           bool &replacing)
{
    Header header;
    QString problem;
    switch (readHeader(package, header, problem)) {
    case HeaderStatus::End:
        result.stop = tr("Пакет пуст");
        return QString();
    case HeaderStatus::Cut:
        result.cut = true;
        result.stop = tr("Пакет обрывается в первой записи");
        return QString();
    case HeaderStatus::Damaged:
        result.stop = tr("Пакет повреждён: %1").arg(problem);
        return QString();
    case HeaderStatus::Read:
        break;
    }
    result.stop = subjectEntryProblem(header);
    if (!result.stop.isEmpty())
        return QString();
    const QString subject = targetFolder + QLatin1Char('/') + header.name;
    const QString existing = sameNamedSubject(targetFolder, header.name);
    replacing = !existing.isEmpty();
    if (replacing && !mayReplace(header.name)) {
        result.refused = true;
        return QString();
    }
    QByteArray head;
    problem = importEntry(package, header, subject, &head);
    if (!problem.isEmpty()) {
        result.stop = tr("Файл обследуемого «%1»: %2").arg(header.name, problem);
        return QString();
    }
    // The replaced subject was stored under a decomposed name: one file stays.
    if (replacing && existing != subject) {
        for (const QString &path : QStringList{existing} + SharedConnection::sideFiles(existing))
            QFile::remove(path);
    }
    result.imported << subject;
    return subject;
}

// The entries after the subject file, each recording the rules allow into
// the target folder's "__1__".
void importRecordings(QFile &package, const QString &targetFolder, RecordingRules rules,
                      SubjectPackage::ImportResult &result)
{
    const QString media = targetFolder + QStringLiteral("/__1__");
    QDir().mkpath(media);
    if (!isFolderInside(media, targetFolder)) {
        result.stop = tr("Папка записей %1 ведёт за пределы папки").arg(media);
        return;
    }
    Header header;
    QString problem;
    forever {
        const HeaderStatus status = readHeader(package, header, problem);
        if (status == HeaderStatus::End)
            return;
        if (status == HeaderStatus::Cut) {
            result.cut = true;
            return;
        }
        if (status == HeaderStatus::Damaged) {
            result.stop = tr("Пакет повреждён: %1").arg(problem);
            return;
        }
        const QString destination = media + QLatin1Char('/') + header.name;
        problem = rules.refusal(header.name, destination);
        if (problem.isEmpty())
            problem = importEntry(package, header, destination, nullptr);
        else
            skipEntry(package, header);
        if (problem.isEmpty())
            result.imported << destination;
        else
            result.skip(QStringLiteral("%1: %2").arg(header.name, problem));
    }
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
    const RecordingRules rules(subjectPath, false);
    QStringList files{subjectPath};
    for (const QString &path : InspectionMedia::preTestFiles(subjectPath)) {
        if (rules.owns(QFileInfo(path).fileName()) && regular(path))
            files << path;
    }
    const QDir media(QFileInfo(subjectPath).absolutePath() + QStringLiteral("/__1__"));
    QStringList videos;
    for (const QString &name : rules.testVideoNames()) {
        if (rules.owns(name) && regular(media.filePath(name)))
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
    WholeFile package(target);
    if (!package.open()) {
        result.error = tr("Не удалось создать файл в папке %1").arg(folder);
        return result;
    }
    for (const QString &path : result.files) {
        result.error = withCause(writeEntry(package.file(), path), package);
        if (!result.error.isEmpty())
            return result;
    }
    if (!package.commit()) {
        result.error = withCause(tr("Не удалось записать пакет %1").arg(target), package);
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
    bool replacing = false;
    const QString subject = importSubjectEntry(package, targetFolder, mayReplace, result, replacing);
    if (subject.isEmpty())
        return result;
    BookKeys::addSubjectKeysToBook(subject, result);
    importRecordings(package, targetFolder, RecordingRules(subject, replacing), result);
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
