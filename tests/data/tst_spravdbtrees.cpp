#include "SpravFixtures.h"
#include "data/Inspection.h"
#include "tests/support/DeepBinaryJson.h"
#include "tests/support/TestHome.h"

#include <QGuiApplication>
#include <QStandardItemModel>

using namespace SpravFixtures;

namespace {

const QColor kGreen(0, 127, 0);
const QColor kBlue(0, 0, 127);
const QColor kRed(127, 0, 0);
const QColor kGrey(127, 127, 127);

QStringList texts(const QStandardItemModel &model, const QStandardItem *parent = nullptr)
{
    QStringList result;
    const int rows = parent ? parent->rowCount() : model.rowCount();
    for (int row = 0; row < rows; ++row)
        result << (parent ? parent->child(row) : model.item(row))->text();
    return result;
}

QStandardItem *childNamed(const QStandardItemModel &model, const QStandardItem *parent, const QString &text)
{
    const int rows = parent ? parent->rowCount() : model.rowCount();
    for (int row = 0; row < rows; ++row) {
        QStandardItem *item = parent ? parent->child(row) : model.item(row);
        if (item->text() == text)
            return item;
    }
    return nullptr;
}

int itemCount(const QStandardItemModel &model)
{
    int total = 0;
    QList<QStandardItem *> pending = {model.invisibleRootItem()};
    while (!pending.isEmpty()) {
        QStandardItem *item = pending.takeLast();
        for (int row = 0; row < item->rowCount(); ++row) {
            pending << item->child(row);
            ++total;
        }
    }
    return total;
}

QColor foreground(const QStandardItem *item)
{
    return item->foreground().color();
}

}  // namespace

class TestSpravDBTrees : public QObject
{
    Q_OBJECT

private slots:
    void init() { SpravDB::bUSA = false; }

    void deepQuestTree_data() { addSetColumn(); }
    void deepQuestTree()
    {
        QFETCH(bool, usa);
        QTemporaryDir dir;
        const QString path = usePath(dir);
        SpravDB::bUSA = usa;
        int outer = 0, deep = 0, deepQuest = 0;
        {
            SpravDB db;
            db.insertQuest(0, QStringLiteral("Z top"), 2);
            outer = db.insertFolderQuest(0, QStringLiteral("B folder"));
            db.insertQuest(0, QStringLiteral("A top"), 102);
            const int inner = db.insertFolderQuest(outer, QStringLiteral("Inner"));
            db.insertQuest(outer, QStringLiteral("a quest"), 0);
            deep = db.insertFolderQuest(inner, QStringLiteral("Deep"));
            db.insertQuest(inner, QStringLiteral("inner q"), 1);
            deepQuest = db.insertQuest(deep, QStringLiteral("строка 1\nстрока 2 — 100%"), 104);
        }
        QVERIFY(execute(path, {QStringLiteral("INSERT INTO %1 (folder_id, quest_name) VALUES (0, 'Без вида')")
                                   .arg(table("quest"))}));
        QStandardItemModel model;
        {
            SpravDB db;
            QCOMPARE(db.loadQuestTree(&model, 0, nullptr), SpravDB::Result::Done);
        }
        // Folders and questions sorted together by text at every level.
        QCOMPARE(texts(model), QStringList({"A top", "B folder", "Z top", "Без вида"}));
        QStandardItem *folder = model.item(1);
        QCOMPARE(folder->data(SpravDB::IdRole).toInt(), outer);
        QVERIFY(!folder->icon().pixmap(16, 16).isNull());
        QCOMPARE(texts(model, folder), QStringList({"Inner", "a quest"}));
        QStandardItem *inner = folder->child(0);
        QCOMPARE(texts(model, inner), QStringList({"Deep", "inner q"}));
        QStandardItem *deepFolder = inner->child(0);
        QCOMPARE(deepFolder->data(SpravDB::IdRole).toInt(), deep);
        QStandardItem *question = deepFolder->child(0);
        QCOMPARE(question->text(), QStringLiteral("строка 1\nстрока 2 — 100%"));
        QCOMPARE(question->data(SpravDB::IdRole).toInt(), deepQuest);
        QCOMPARE(question->data(SpravDB::KindRole).toInt(), 104);
        QCOMPARE(foreground(question), kRed);
        QCOMPARE(question->flags(), QStandardItem().flags());
        QStandardItem *withoutKind = model.item(3);
        QCOMPARE(withoutKind->data(SpravDB::KindRole).toInt(), -1);
        QCOMPARE(foreground(withoutKind), kGrey);

        // The other set's tree is empty.
        QStandardItemModel other;
        SpravDB::bUSA = !usa;
        SpravDB db;
        QCOMPARE(db.loadQuestTree(&other, 0, nullptr), SpravDB::Result::Done);
        QCOMPARE(other.rowCount(), 0);
    }

    void questColours()
    {
        QTemporaryDir dir;
        usePath(dir);
        const QMap<int, QColor> colours = {
            {0, kGreen}, {102, kGreen}, {1, kBlue}, {103, kBlue}, {105, kBlue}, {106, kBlue}, {107, kBlue},
            {2, kRed}, {104, kRed}, {-1, kGrey}, {101, kGrey}, {10000, kGrey}, {55, kGrey},
        };
        QStandardItemModel model;
        SpravDB db;
        for (auto it = colours.begin(); it != colours.end(); ++it)
            db.insertQuest(0, QString::number(it.key()), it.key());
        QCOMPARE(db.loadQuestTree(&model, 0, nullptr), SpravDB::Result::Done);
        QCOMPARE(model.rowCount(), colours.size());
        for (int row = 0; row < model.rowCount(); ++row) {
            const int kind = model.item(row)->data(SpravDB::KindRole).toInt();
            QCOMPARE(model.item(row)->text(), QString::number(kind));
            QCOMPARE(foreground(model.item(row)), colours.value(kind));
        }
    }

    void testTree_data() { addSetColumn(); }
    void testTree()
    {
        QFETCH(bool, usa);
        QTemporaryDir dir;
        usePath(dir);
        SpravDB::bUSA = usa;
        Inspection::_Test control(QStringLiteral("Control"));
        control.addTheme(QStringLiteral("Тест"), QuestionKind::Test, 1, -1);
        control.addTheme(QStringLiteral("Контроль"), QuestionKind::Control, 1, -1);
        control.addNullTheme(QStringLiteral("Нулевой"));
        Inspection::_Test test(QStringLiteral("Test"));
        test.addTheme(QStringLiteral("Тест"), QuestionKind::Test, 1, -1);
        Inspection::_Test neutral(QStringLiteral("Neutral"));
        neutral.addTheme(QStringLiteral("Имя"), QuestionKind::Neutral, 1, -1);
        int folderId = 0, controlId = 0;
        QStandardItemModel model;
        QStandardItem *root = new QStandardItem(QStringLiteral("root"));
        model.appendRow(root);
        {
            SpravDB db;
            folderId = db.insertFolderTest(0, QStringLiteral("Папка"));
            controlId = db.insertTest(folderId, control);
            db.insertTest(folderId, test);
            db.insertTest(folderId, neutral);
            QCOMPARE(db.loadTestTree(&model, 0, root), SpravDB::Result::Done);
        }
        QCOMPARE(model.rowCount(), 1);
        QStandardItem *folder = root->child(0);
        QCOMPARE(folder->text(), QStringLiteral("Папка"));
        QCOMPARE(folder->data(SpravDB::IdRole).toInt(), folderId);
        QVERIFY(!folder->isDragEnabled());
        QVERIFY(folder->isDropEnabled());
        QCOMPARE(texts(model, folder), QStringList({"Control", "Neutral", "Test"}));
        QStandardItem *item = folder->child(0);
        QCOMPARE(item->data(SpravDB::IdRole).toInt(), controlId);
        QCOMPARE(foreground(item), kBlue);
        QCOMPARE(foreground(folder->child(1)), QColor(Qt::black));
        QCOMPARE(foreground(folder->child(2)), kRed);
        QVERIFY(item->isEditable() && item->isDragEnabled() && !item->isDropEnabled());
        QString expected = control.formatText();
        expected.chop(1);
        QCOMPARE(item->toolTip(), expected);
        QCOMPARE(item->toolTip().count(QLatin1Char('\n')), 2);
    }

    void damagedTestIsListedToBeRenamedOrDeleted_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("not binary JSON") << QByteArray("\x01\x02\x03\x04\x05");
        QTest::newRow("100 000 levels deep") << deepBinaryJson(100000);
    }
    void damagedTestIsListedToBeRenamedOrDeleted()
    {
        QFETCH(QByteArray, data);
        QTemporaryDir dir;
        const QString path = usePath(dir);
        { SpravDB db; }
        QVERIFY(execute(path, {"INSERT INTO test (id, folder_id, data) VALUES (7, 0, x'" + QString::fromLatin1(data.toHex())
                                   + "')"}));
        QStandardItemModel model;
        SpravDB db;
        QCOMPARE(db.loadTestTree(&model, 0, nullptr), SpravDB::Result::Done);
        QCOMPARE(texts(model), QStringList({"Повреждённая методика №7"}));
        QCOMPARE(model.item(0)->data(SpravDB::IdRole).toInt(), 7);
        QVERIFY(model.item(0)->isEditable());
    }

    // A stored chain of folders of any length is filled without recursion and
    // without reading the table once per folder; what lies too deep is left
    // out and counted.
    void longFolderChainIsCutAtTheDepthBound()
    {
        QTemporaryDir dir;
        const QString path = usePath(dir);
        { SpravDB db; }
        const int chain = 100000;
        QVERIFY(execute(path, {QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                              "INSERT INTO folder_quest (id, folder_id, folder_name) "
                                              "SELECT i, i - 1, 'f' || i FROM n")
                                   .arg(chain),
                               QStringLiteral("INSERT INTO quest (folder_id, quest_name) VALUES (%1, '0\nвнизу'), "
                                              "(3, '0\nнаверху')")
                                   .arg(chain)}));
        QStandardItemModel model;
        SpravDB db;
        QCOMPARE(db.loadQuestTree(&model, 0, nullptr), SpravDB::Result::Done);
        int depth = 0;
        for (QStandardItem *item = model.item(0); item && item->data(SpravDB::KindRole).isNull(); item = item->child(0))
            ++depth;
        QCOMPARE(depth, int(SpravDB::MaxFolderDepth));
        QCOMPARE(itemCount(model), SpravDB::MaxFolderDepth + 1);
        QCOMPARE(db.skippedFolders(), chain - SpravDB::MaxFolderDepth);
    }

    // Counted before anything is read, so a huge book costs no memory.
    void tooLargeBooksAreNotFilled_data()
    {
        QTest::addColumn<bool>("quests");
        QTest::addColumn<QString>("rows");
        const QString many = QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                            "INSERT INTO %2 SELECT NULL, 0, %3 FROM n")
                                 .arg(SpravDB::MaxTreeRows + 1);
        const QString one = QStringLiteral("INSERT INTO %1 VALUES (NULL, 0, %2)");
        const QString longText = QStringLiteral("'1' || char(10) || hex(zeroblob(%1))").arg(SpravDB::MaxTreeBytes / 2);
        const QString longBlob = QStringLiteral("zeroblob(%1)").arg(SpravDB::MaxTreeBytes + 1);
        QTest::newRow("many questions") << true << many.arg("quest", "'1' || char(10) || i");
        QTest::newRow("many folders") << true << many.arg("folder_quest", "'f'");
        QTest::newRow("many tests") << false << many.arg("test", "X'00'");
        QTest::newRow("long question") << true << one.arg("quest", longText);
        QTest::newRow("long test") << false << one.arg("test", longBlob);
    }
    void tooLargeBooksAreNotFilled()
    {
        QFETCH(bool, quests);
        QFETCH(QString, rows);
        QTemporaryDir dir;
        const QString path = usePath(dir);
        { SpravDB db; }
        QVERIFY(execute(path, {rows}));
        QStandardItemModel model;
        SpravDB db;
        QCOMPARE(quests ? db.loadQuestTree(&model, 0, nullptr) : db.loadTestTree(&model, 0, nullptr),
                 SpravDB::Result::TooLarge);
        QCOMPARE(model.rowCount(), 0);
    }

    void emptyTrees()
    {
        QTemporaryDir dir;
        usePath(dir);
        QStandardItemModel model;
        SpravDB db;
        QCOMPARE(db.loadQuestTree(&model, 0, nullptr), SpravDB::Result::Done);
        QCOMPARE(db.loadTestTree(&model, 0, nullptr), SpravDB::Result::Done);
        QCOMPARE(model.rowCount(), 0);
    }

    void cyclicTreesAreFilledOnce_data() { addSetColumn(); }
    void cyclicTreesAreFilledOnce()
    {
        QFETCH(bool, usa);
        QTemporaryDir dir;
        const QString path = usePath(dir);
        SpravDB::bUSA = usa;
        { SpravDB db; }
        QStringList rows;
        for (const char *name : {"folder_quest", "folder_test"})
            rows << QStringLiteral("INSERT INTO %1 (id, folder_id, folder_name) VALUES "
                                   "(1, 2, 'one'), (2, 1, 'two'), (3, 3, 'self'), (0, 0, 'zero'), (4, 0, 'top')")
                        .arg(table(name));
        rows << QStringLiteral("INSERT INTO %1 (folder_id, quest_name) VALUES (1, '0\nq1'), (2, '0\nq2'), (3, '0\nq3')")
                    .arg(table("quest"));
        QVERIFY(execute(path, rows));
        SpravDB db;
        QStandardItemModel fromOne;
        QCOMPARE(db.loadQuestTree(&fromOne, 1, nullptr), SpravDB::Result::Done);
        QCOMPARE(texts(fromOne), QStringList({"q1", "two"}));
        QCOMPARE(texts(fromOne, childNamed(fromOne, nullptr, "two")), QStringList({"q2"}));
        QCOMPARE(itemCount(fromOne), 3);

        QStandardItemModel fromSelf;
        QCOMPARE(db.loadQuestTree(&fromSelf, 3, nullptr), SpravDB::Result::Done);
        QCOMPARE(texts(fromSelf), QStringList({"q3"}));

        QCOMPARE(db.skippedFolders(), 0);

        // From the top, the folders whose chain never reaches it are counted.
        QStandardItemModel fromTop;
        QCOMPARE(db.loadQuestTree(&fromTop, 0, nullptr), SpravDB::Result::Done);
        QCOMPARE(texts(fromTop), QStringList({"top"}));
        QCOMPARE(db.skippedFolders(), 4);

        QStandardItemModel tests;
        QCOMPARE(db.loadTestTree(&tests, 1, nullptr), SpravDB::Result::Done);
        QCOMPARE(texts(tests), QStringList({"two"}));
        QCOMPARE(itemCount(tests), 1);
    }
};

VUG_TEST_MAIN(TestSpravDBTrees, QGuiApplication)
#include "tst_spravdbtrees.moc"
