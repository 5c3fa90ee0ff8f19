#include "data/FileChooser.h"
#include "data/SpravDB.h"
#include "resources/VugResources.h"
#include "subjects/PersoneTagsWidget.h"
#include "subjects/SubjectPackage.h"
#include "tests/data/StoreFixtures.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QStandardItemModel>
#include <QTreeView>

#include <atomic>
#include <csignal>
#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// Bytes the disk has free for regular files while armed; below zero: as much as they need.
std::atomic<qint64> g_diskFree{-1};

}  // namespace

// The disk as it fills: a write past the free bytes comes up short, the next
// fails with ENOSPC, as the kernel has it.
extern "C" ssize_t write(int descriptor, const void *bytes, size_t count)
{
    using Write = ssize_t (*)(int, const void *, size_t);
    static const auto system = reinterpret_cast<Write>(dlsym(RTLD_NEXT, "write"));
    struct stat status {};
    const qint64 free = g_diskFree;
    if (free < 0 || fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode))
        return system(descriptor, bytes, count);
    if (free == 0) {
        errno = ENOSPC;
        return -1;
    }
    const ssize_t written = system(descriptor, bytes, std::min<size_t>(count, size_t(free)));
    if (written > 0)
        g_diskFree -= written;
    return written;
}

namespace {

enum class Caller { KeyExport, PackageExport, PackageImport };
enum class Fault { FullDisk, ShortWrite };

// Files may grow to this many bytes; the caller's new file is larger.
constexpr qint64 kRoom = 64;

// Runs call with the fault in force: a disk with kRoom bytes free, or a
// process that may write no file past kRoom bytes (SIGXFSZ ignored, so the
// write comes up short instead of ending the process).
template<typename Call>
void withFault(Fault fault, Call call)
{
    if (fault == Fault::FullDisk) {
        g_diskFree = kRoom;
        call();
        g_diskFree = -1;
        return;
    }
    rlimit original {};
    getrlimit(RLIMIT_FSIZE, &original);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = original;
    limited.rlim_cur = kRoom;
    setrlimit(RLIMIT_FSIZE, &limited);
    call();
    setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, oldHandler);
}

QStringList hiddenFiles(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden | QDir::System);
}

}  // namespace

Q_DECLARE_METATYPE(Caller)
Q_DECLARE_METATYPE(Fault)

// What a caller did: the file it was to write over, its bytes before, what it said.
struct Outcome
{
    QString destination;
    QByteArray old;
    QStringList told;
};

class TestWholeFileCallers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void refusedWriteLeavesTheOldFileAndIsTold_data();
    void refusedWriteLeavesTheOldFileAndIsTold();

private:
    Outcome keyExport(Fault fault, const QString &folder);
    Outcome packageExport(Fault fault, const QString &folder);
    Outcome packageImport(Fault fault, const QString &folder);

    QString m_chosen;
};

void TestWholeFileCallers::initTestCase()
{
    initVugResources();
    FileChooser::setChooser([this](const FileChooser::Request &) { return m_chosen; });
}

void TestWholeFileCallers::refusedWriteLeavesTheOldFileAndIsTold_data()
{
    QTest::addColumn<Caller>("caller");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("cause");
    const QString full = QStringLiteral("диск заполнен");
    const QString tooLarge = QStringLiteral("файл больше, чем позволено записать");
    QTest::newRow("key export, full disk") << Caller::KeyExport << Fault::FullDisk << full;
    QTest::newRow("key export, short write") << Caller::KeyExport << Fault::ShortWrite << tooLarge;
    QTest::newRow("package export, full disk") << Caller::PackageExport << Fault::FullDisk << full;
    QTest::newRow("package export, short write") << Caller::PackageExport << Fault::ShortWrite << tooLarge;
    QTest::newRow("package over a subject, full disk") << Caller::PackageImport << Fault::FullDisk << full;
    QTest::newRow("package over a subject, short write") << Caller::PackageImport << Fault::ShortWrite << tooLarge;
}

void TestWholeFileCallers::refusedWriteLeavesTheOldFileAndIsTold()
{
    QFETCH(Caller, caller);
    QFETCH(Fault, fault);
    QFETCH(QString, cause);
    QTemporaryDir dir;
    const Outcome outcome = caller == Caller::KeyExport       ? keyExport(fault, dir.path())
                            : caller == Caller::PackageExport ? packageExport(fault, dir.path())
                                                              : packageImport(fault, dir.path());
    QVERIFY(!outcome.old.isEmpty());
    QCOMPARE(StoreFixtures::fileBytes(outcome.destination), outcome.old);
    QCOMPARE(hiddenFiles(QFileInfo(outcome.destination).absolutePath()), QStringList());
    QCOMPARE(outcome.told.size(), 1);
    QVERIFY2(outcome.told.first().contains(cause), qPrintable(outcome.told.first()));
}

Outcome TestWholeFileCallers::keyExport(Fault fault, const QString &folder)
{
    SpravDB::sPathFileSprav = folder + QStringLiteral("/sprav.sqmz");
    Outcome outcome{folder + QStringLiteral("/ключи.kqmz"), "old keys", {}};
    StoreFixtures::writeFile(outcome.destination, outcome.old);
    PersoneTagsWidget tab;
    tab.loadTagModel(QString());
    const auto act = [&tab](const QString &text) {
        for (QAction *action : tab.editActions()) {
            if (action->text().startsWith(text))
                action->trigger();
        }
    };
    for (int i = 0; i < 8; ++i) {
        act(QStringLiteral("Добавить ключ"));
        tab.model()->setData(tab.treeView()->currentIndex(), QStringLiteral("Ключ %1").arg(i));
    }
    m_chosen = outcome.destination;
    MessageBoxAnswerer answerer({QMessageBox::Ok});
    withFault(fault, [&act] { act(QStringLiteral("Экспорт")); });
    outcome.told = answerer.asked();
    SpravDB::sPathFileSprav.clear();
    return outcome;
}

Outcome TestWholeFileCallers::packageExport(Fault fault, const QString &folder)
{
    const QString subject = folder + QStringLiteral("/Петров.qmz");
    StoreFixtures::makeSubjectFile(subject);
    QDir(folder).mkdir(QStringLiteral("out"));
    Outcome outcome{folder + QStringLiteral("/out/Петров.dqmz"), "old package", {}};
    StoreFixtures::writeFile(outcome.destination, outcome.old);
    SubjectPackage::ExportResult result;
    withFault(fault, [&] {
        result = SubjectPackage::exportSubject(subject, folder + QStringLiteral("/out"),
                                               [](const QString &) { return true; });
    });
    outcome.told << result.error << result.package;
    outcome.told.removeAll(QString());
    return outcome;
}

Outcome TestWholeFileCallers::packageImport(Fault fault, const QString &folder)
{
    const QString subject = folder + QStringLiteral("/Петров.qmz");
    StoreFixtures::makeSubjectFile(subject);
    const QString package =
        SubjectPackage::exportSubject(subject, folder, [](const QString &) { return true; }).package;
    QDir(folder).mkdir(QStringLiteral("target"));
    Outcome outcome{folder + QStringLiteral("/target/Петров.qmz"), {}, {}};
    StoreFixtures::makeSubjectFile(outcome.destination);
    outcome.old = StoreFixtures::fileBytes(outcome.destination);
    SubjectPackage::ImportResult result;
    withFault(fault, [&] {
        result = SubjectPackage::importPackage(package, folder + QStringLiteral("/target"),
                                               [](const QString &) { return true; });
    });
    outcome.told << result.stop << result.skipped << result.imported;
    outcome.told.removeAll(QString());
    return outcome;
}

VUG_TEST_MAIN(TestWholeFileCallers, QApplication)
#include "tst_wholefilecallers.moc"
