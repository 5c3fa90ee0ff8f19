#include "data/SpravDB.h"
#include "subjects/TagTreeText.h"
#include "tests/support/TestHome.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

const QUuid KeyA("{11111111-2222-3333-4444-555555555555}");
const QUuid KeyB("{aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}");
const QUuid KeyC("{01234567-89ab-cdef-0123-456789abcdef}");

QStandardItem *folder(QStandardItem *parent, const QString &name)
{
    QStandardItem *item = newTagFolderItem(name);
    parent->appendRow(item);
    return item;
}

QStandardItem *key(QStandardItem *parent, const QString &name, const QUuid &id, bool checked = false)
{
    QStandardItem *item = newTagItem(name, id, checked);
    parent->appendRow(item);
    return item;
}

int build(QStandardItemModel &model, QString text, const QString &ids = QString())
{
    QTextStream in(&text, QIODevice::ReadOnly);
    return buildTagTree(&model, in, ids);
}

// Every item as "path" (folders marked "+", checked keys "*"), depth first.
QStringList outline(const QStandardItemModel &model, const QModelIndex &parent = QModelIndex(),
                    const QString &prefix = QString())
{
    QStringList lines;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        const QString path = prefix + index.data().toString();
        const QString mark = isTagFolder(index) ? "+" : index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? "*" : "";
        lines << path + mark;
        lines << outline(model, index, path + "/");
    }
    return lines;
}

QString line(const QUuid &id, bool checked, const QString &path)
{
    return id.toString() + '\t' + (checked ? "1" : "0") + '\t' + path + '\n';
}

}  // namespace

class TestTagTreeText : public QObject
{
    Q_OBJECT
private slots:
    void keysAreWrittenWithTheirFolderPaths();
    void filesReadBackStrictlyAsUtf8();
    void readingRecreatesTheFolders();
    void unreadableLinesAreSkippedAndCounted();
    void keysAreCheckedByIdentifierNotByText();
    void keyFilesReadWhateverTheirLineEnds();
    void subjectKeepsKeysTheTreeDoesNotHold();
    void manyFoldersReadInLinearTimeAndDeepPathsAreSkipped();
    void treeTextRoundTripsThroughTheReferenceBook();
    void everyFolderSharesOneIcon();
};

void TestTagTreeText::keysAreWrittenWithTheirFolderPaths()
{
    QStandardItemModel model;
    QStandardItem *a = folder(model.invisibleRootItem(), "А");
    key(folder(a, "В"), "Б", KeyA, true);
    folder(a, "Пустая");
    QStandardItem *deep = folder(folder(folder(a, "Г"), "Д"), "Е");
    key(deep, "Ж", KeyB);
    key(model.invisibleRootItem(), "Наверху", KeyC, true);

    QString checked;
    QCOMPARE(tagTreeText(&model, &checked),
             line(KeyA, true, "А/В/Б") + line(KeyB, false, "А/Г/Д/Е/Ж") + line(KeyC, true, "Наверху"));
    QCOMPARE(checked, KeyA.toString() + '\t' + KeyC.toString() + '\t');
}

void TestTagTreeText::filesReadBackStrictlyAsUtf8()
{
    QStandardItemModel model;
    key(folder(folder(model.invisibleRootItem(), "А"), "В"), "Б", KeyA, true);
    key(model.invisibleRootItem(), "Ключ", KeyB);
    QTemporaryDir dir;
    QFile file(dir.filePath("keys.kqmz"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(tagFileBytes(tagTreeText(&model)));
    file.close();

    QProcess reader;
    reader.start(QStringLiteral(VUG_PYTHON), {QStringLiteral(TAGFILE_READER), file.fileName()});
    QVERIFY(reader.waitForFinished(30000));
    QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
    const QJsonArray lines = QJsonDocument::fromJson(reader.readAllStandardOutput()).array();
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0].toArray().toVariantList(), QVariantList({KeyA.toString(), "1", "А/В/Б"}));
    QCOMPARE(lines[1].toArray().toVariantList(), QVariantList({KeyB.toString(), "0", "Ключ"}));
}

void TestTagTreeText::readingRecreatesTheFolders()
{
    QStandardItemModel model;
    QCOMPARE(build(model, line(KeyA, false, "А/В/Б") + line(KeyB, false, "А/Г") + line(KeyC, true, "Один"),
                   KeyA.toString() + '\t'),
             0);
    QCOMPARE(outline(model), QStringList({"А+", "А/В+", "А/В/Б*", "А/Г", "Один"}));
    const QModelIndex b = model.index(0, 0, model.index(0, 0, model.index(0, 0)));
    QCOMPARE(b.data(TagIdRole).toUuid(), KeyA);
    QVERIFY(model.itemFromIndex(b)->isCheckable());
    QVERIFY(!model.item(0)->isCheckable());

    // The flag field is not the subject's mark; the id list is.
    QCOMPARE(tagTreeText(&model), line(KeyA, true, "А/В/Б") + line(KeyB, false, "А/Г") + line(KeyC, false, "Один"));
}

void TestTagTreeText::unreadableLinesAreSkippedAndCounted()
{
    QStandardItemModel model;
    const QString text = line(KeyA, false, "А/Б") + "\n\n"
        + KeyB.toString() + "\t0\n"                               // two fields
        + KeyB.toString() + "\t0\tА/В\tлишнее\n"                  // four fields
        + "не ключ\t0\tА/Г\n"                                     // no identifier
        + QUuid().toString() + "\t0\tА/Д\n"                       // null identifier
        + line(KeyC, false, "А/Б")                                // a repeated path is a second key
        + line(KeyB, false, "Ниже пустой строки");
    QCOMPARE(build(model, text), 4);
    QCOMPARE(outline(model), QStringList({"А+", "А/Б", "А/Б", "Ниже пустой строки"}));
}

void TestTagTreeText::keysAreCheckedByIdentifierNotByText()
{
    QStandardItemModel model;
    // A part of an identifier, or an empty one, ticks nothing.
    build(model, line(KeyA, false, "А") + line(KeyB, false, "Б"),
          KeyA.toString().left(10) + "\t\t" + KeyB.toString().toUpper() + '\t');
    QCOMPARE(outline(model), QStringList({"А", "Б*"}));
}

void TestTagTreeText::keyFilesReadWhateverTheirLineEnds()
{
    const QByteArray lf = tagFileBytes(line(KeyA, false, "Папка/Ключ") + line(KeyB, true, "Второй"));
    QByteArray crlf = lf;
    crlf.replace("\n", "\r\n");
    int bad = -1;
    QCOMPARE(tagFileText("\xEF\xBB\xBF" + crlf, &bad), tagFileText(lf));
    QCOMPARE(bad, 0);
    QStandardItemModel model;
    QCOMPARE(build(model, tagFileText("\xEF\xBB\xBF" + crlf)), 0);
    QCOMPARE(outline(model), QStringList({"Папка+", "Папка/Ключ", "Второй"}));

    // Another encoding loses its lines, not the valid ones; so does a line with a zero byte.
    const QByteArray cp1251 = KeyC.toString().toLatin1() + "\t0\t\xCF\xE0\xEF\xEA\xE0\n";
    const QByteArray zero = KeyC.toString().toLatin1() + QByteArray("\t0\tНоль\0\n", 13);
    const QString text = tagFileText(cp1251 + zero + lf, &bad);
    QCOMPARE(bad, 2);
    QCOMPARE(text, tagFileText(lf));
}

// A hundred thousand folders would take hours if each key searched its
// folder's rows; a path past the depth bound is one skipped line.
void TestTagTreeText::manyFoldersReadInLinearTimeAndDeepPathsAreSkipped()
{
    const int many = 100000;
    QString text;
    for (int folder = 0; folder < many; ++folder)
        text += line(QUuid::createUuid(), false, QString::number(folder) + "/Ключ");
    QStringList deep;
    for (int level = 0; level < many; ++level)
        deep << QString::number(level);
    text += line(KeyA, false, deep.join('/'));
    text += line(KeyB, false, deep.mid(0, MaxTagDepth).join('/'));
    QStandardItemModel model;
    QCOMPARE(build(model, text), 1);
    QCOMPARE(model.rowCount(), many);
    QCOMPARE(model.item(0)->rowCount(), 2);  // its key, and the folder of the deepest kept path
}

void TestTagTreeText::subjectKeepsKeysTheTreeDoesNotHold()
{
    const QString tree = line(KeyA, true, "А") + line(KeyB, false, "Б");
    const QUuid unknown = QUuid::createUuid();
    const QString old = KeyB.toString() + '\t' + unknown.toString() + '\t';
    // B was unticked: it goes; the unknown key stays, once.
    QCOMPARE(mergeSubjectTags(KeyA.toString() + '\t', old, tree), KeyA.toString() + '\t' + unknown.toString() + '\t');
    QCOMPARE(mergeSubjectTags(QString(), old + unknown.toString() + '\t', tree), unknown.toString() + '\t');
}

void TestTagTreeText::treeTextRoundTripsThroughTheReferenceBook()
{
    QTemporaryDir dir;
    SpravDB::sPathFileSprav = dir.filePath("sprav.sqmz");
    QStandardItemModel model;
    key(folder(model.invisibleRootItem(), "Город"), "Москва", KeyA, true);
    key(model.invisibleRootItem(), "Без папки", KeyB);
    const QString text = tagTreeText(&model);
    {
        SpravDB sprav;
        QCOMPARE(sprav.writeTags(text), SpravDB::Result::Done);
    }
    QString read;
    {
        SpravDB sprav;
        QCOMPARE(sprav.readTags(read), SpravDB::Result::Done);
    }
    QStandardItemModel back;
    build(back, read, KeyA.toString() + '\t');
    QCOMPARE(tagTreeText(&back), text);
    SpravDB::sPathFileSprav.clear();
}

// A picture read per folder made a tree of many folders cost seconds and gigabytes.
void TestTagTreeText::everyFolderSharesOneIcon()
{
    QTemporaryDir dir;
    SpravDB::sPathFileSprav = dir.filePath("sprav.sqmz");
    QStandardItemModel keys, book;
    build(keys, line(KeyA, false, "А/Б/Ключ") + line(KeyB, false, "В/Ключ"));
    SpravDB sprav;
    sprav.insertFolderQuest(sprav.insertFolderQuest(0, "А"), "Б");
    sprav.loadQuestTree(&book, 0, nullptr);
    QSet<qint64> icons;
    for (QStandardItemModel *model : {&keys, &book}) {
        for (QStandardItem *item : model->findItems("*", Qt::MatchWildcard | Qt::MatchRecursive)) {
            if (!item->icon().isNull())
                icons << item->icon().cacheKey();
        }
    }
    QCOMPARE(icons.size(), 1);
}

VUG_TEST_MAIN(TestTagTreeText, QGuiApplication)
#include "tst_tagtreetext.moc"
