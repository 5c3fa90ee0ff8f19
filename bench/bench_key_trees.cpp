// Trees of many folders: a key file at its size cap (10 000 keys, each 64
// levels deep in folders of its own) read as the import reads it and opened
// in the questionnaire from the reference book, and a question book of
// 100 000 folders filled as the book dock fills it; each beside 5 keys or 5
// folders in the same run. "--million" adds a book of 1 000 000 folders.
#include "bench/BenchClock.h"
#include "bench/BenchHome.h"
#include "data/Inspection.h"
#include "data/SharedConnection.h"
#include "data/SpravDB.h"
#include "subjects/PersonePropertyDlg.h"
#include "subjects/TagTreeText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kRounds = 3;

// Every folder of every key distinct: the most items a text of that size makes.
QByteArray keyFile(int keys, int depth)
{
    QString text;
    for (int key = 0; key < keys; ++key) {
        QString path;
        for (int level = 0; level + 1 < depth; ++level)
            path += QStringLiteral("%1/").arg(key * depth + level, 4, 36, QLatin1Char('0'));
        path += QStringLiteral("Ключ %1").arg(key);
        text += QUuid::createUuid().toString() + QStringLiteral("\t0\t") + path + QLatin1Char('\n');
    }
    return tagFileBytes(text);
}

// A book whose folders hang ten to a parent.
void makeBook(const QString &path, int folders)
{
    QFile::remove(path);
    SpravDB::sPathFileSprav = path;
    SpravDB book;
    QSqlDatabase &database = SharedConnection::database();
    database.transaction();
    QSqlQuery insert(database);
    insert.prepare(QStringLiteral("INSERT INTO folder_quest (id, folder_id, folder_name) VALUES (?, ?, ?)"));
    for (int id = 1; id <= folders; ++id) {
        insert.addBindValue(id);
        insert.addBindValue(id / 10);
        insert.addBindValue(QStringLiteral("Папка %1").arg(id));
        insert.exec();
    }
    database.commit();
}

struct Figure {
    double cpu = 1e9;
    double wall = 1e9;
};

// The best of the rounds: the machine is shared.
Figure measure(const std::function<void()> &job)
{
    Figure best;
    for (int round = 0; round < kRounds; ++round) {
        const double cpu = processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        job();
        best.cpu = std::min(best.cpu, processCpuSeconds() - cpu);
        best.wall = std::min(best.wall, wall.nsecsElapsed() / 1e9);
    }
    return best;
}

void report(const char *what, const QString &size, const Figure &figure)
{
    std::printf("%-34s %-26s cpu %8.3f s  wall %8.3f s  peak %7.0f MB\n", what, qPrintable(size), figure.cpu,
                figure.wall, peakResidentMegabytes());
    std::fflush(stdout);
}

void readKeys(const QByteArray &bytes)
{
    QStandardItemModel model;
    QString text = tagFileText(bytes);
    QTextStream in(&text, QIODevice::ReadOnly);
    buildTagTree(&model, in);
    model.sort(0);
}

void openQuestionnaire(const QString &subject)
{
    PersonePropertyDlg dialog(nullptr, subject, PersonePropertyDlg::TagsTab);
    dialog.show();
    QCoreApplication::processEvents();
}

void keyTrees(const QString &home, int keys)
{
    const QByteArray bytes = keyFile(keys, MaxTagDepth);
    const QString size = QStringLiteral("%1 keys, %2 KB").arg(keys).arg(bytes.size() / 1024);
    if (bytes.size() > MaxTagFileBytes)
        std::printf("key file above the cap\n");
    report("key file read, built and sorted", size, measure([&bytes] { readKeys(bytes); }));

    const QString subject = home + QStringLiteral("/Иванов.qmz");
    Inspection(subject).saveTestStruct(nullptr);
    SpravDB::sPathFileSprav = home + QStringLiteral("/keys.sqmz");
    SpravDB().writeTags(tagFileText(bytes));
    report("questionnaire opened on its keys", size, measure([&subject] { openQuestionnaire(subject); }));
}

void bookTree(const QString &home, int folders)
{
    makeBook(home + QStringLiteral("/book.sqmz"), folders);
    const Figure figure = measure([] {
        QStandardItemModel model;
        SpravDB().loadQuestTree(&model, 0, model.invisibleRootItem());
    });
    report("question book filled", QStringLiteral("%1 folders").arg(folders), figure);
}

}  // namespace

int main(int argc, char *argv[])
{
    BenchHome home;
    QApplication app(argc, argv);
    keyTrees(home.path(), 5);
    keyTrees(home.path(), 10000);
    bookTree(home.path(), 5);
    bookTree(home.path(), 100000);
    if (app.arguments().contains(QStringLiteral("--million")))
        bookTree(home.path(), 1000000);
    return 0;
}
