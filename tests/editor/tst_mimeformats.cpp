#include "data/BinaryJson.h"
#include "data/Inspection.h"
#include "editor/MimeFormats.h"
#include "tests/data/PlanFixtures.h"
#include "tests/support/DeepBinaryJson.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QMimeData>
#include <QRandomGenerator>

#include <memory>

using namespace MimeFormats;

namespace {

// Two presentations of two null and three regular questions, one international.
Inspection::_Test sampleTest()
{
    Inspection::_Test test(QStringLiteral("Кража"));
    test.addTheme(QStringLiteral("Вы взяли деньги?"), QuestionKind::Test, 1, -1);
    test.addTheme(QStringLiteral("Ваше имя?"), QuestionKind::Neutral, 1, -1);
    test.addTheme(QStringLiteral("Relevant"), QuestionKind::IntR, 1, -1);
    test.addTheme(QStringLiteral("Тишина"), QuestionKind::Null, 1, -1);
    test.addTheme(QStringLiteral("Пауза"), QuestionKind::Null, 1, -1);
    PlanFixtures::addGroups(test, 2);
    std::swap(test.orders[8], test.orders[9]);  // presentation II in an order of its own
    test.Comments = QStringLiteral("с комментарием");
    test.DateTimeRecorded = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9));
    test.ShowAllQuestSecondMonitor = true;
    return test;
}

QByteArray testPayload(Inspection::_Test test)
{
    QJsonObject object;
    test.toJson(object);
    return BinaryJson::encode(object);
}

QByteArray bytes(const char *data, int size) { return QByteArray(data, size); }

}  // namespace

class TestMimeFormats : public QObject
{
    Q_OBJECT
private slots:
    void questionBytes();
    void questionDecoding_data();
    void questionDecoding();
    void plainText();
    void readersPreferThePrivateFormat();
    void largeQuestionText();
    void testRoundTrip();
    void damagedTestsAreRefused_data();
    void damagedTestsAreRefused();
    void refusalIsToldInAWarning();
    void kindMapping_data();
    void kindMapping();
    void writers();
};

void TestMimeFormats::questionBytes()
{
    QCOMPARE(encodeQuestion(104, QStringLiteral("abc")), bytes("\x31\x30\x34\x0a\x61\x62\x63", 7));
    QVERIFY(encodeQuestion(-1, QStringLiteral("x")).startsWith(bytes("\x2d\x31\x0a", 3)));
    QCOMPARE(encodeQuestion(2, QStringLiteral("Ваше имя?")), QStringLiteral("2\nВаше имя?").toUtf8());

    Question question;
    QVERIFY(decodeQuestion(encodeQuestion(104, QStringLiteral("abc")), question));
    QCOMPARE(question.kind, 104);
    QCOMPARE(question.text, QStringLiteral("abc"));
    Inspection::_Theme theme;
    QVERIFY(mapQuestKind(question.kind, theme));
    QCOMPARE(int(theme.Type), 2);
    QCOMPARE(int(theme.SubType), 104);
}

void TestMimeFormats::questionDecoding_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::newRow("kind and text") << QByteArray("1\nВопрос") << true << 1 << QStringLiteral("Вопрос");
    QTest::newRow("empty text") << QByteArray("10000\n") << true << 10000 << QString();
    QTest::newRow("no line feed") << QByteArray("abc") << false << 0 << QString();
    QTest::newRow("three lines") << QByteArray("1\na\nb") << false << 0 << QString();
    QTest::newRow("kind not a number") << QByteArray("x\nabc") << true << 0 << QStringLiteral("abc");
    QTest::newRow("kind too large") << QByteArray("99999999999\nabc") << true << 0 << QStringLiteral("abc");
    QTest::newRow("nul in text") << bytes("2\nab\0c\nd", 8) << true << 2 << QStringLiteral("ab");
    QTest::newRow("nul before line feed") << bytes("2\0\nabc", 6) << false << 0 << QString();
    QTest::newRow("empty") << QByteArray() << false << 0 << QString();
    QTest::newRow("random bytes") << bytes("\xff\xfe\x00\x01", 4) << false << 0 << QString();
}

void TestMimeFormats::questionDecoding()
{
    QFETCH(QByteArray, payload);
    QFETCH(bool, accepted);
    QFETCH(int, kind);
    QFETCH(QString, text);
    Question question{7, QStringLiteral("before")};
    QCOMPARE(decodeQuestion(payload, question), accepted);
    if (accepted) {
        QCOMPARE(question.kind, kind);
        QCOMPARE(question.text, text);
    }
}

void TestMimeFormats::plainText()
{
    const Question multiLine = decodePlainText(QByteArray("first\nsecond\n"));
    QCOMPARE(multiLine.kind, -1);
    QCOMPARE(multiLine.text, QStringLiteral("first\nsecond\n"));
    QCOMPARE(decodePlainText(bytes("ab\0cd", 5)).text, QStringLiteral("ab"));
    QCOMPARE(decodePlainText(QStringLiteral("Вопрос").toUtf8()).text, QStringLiteral("Вопрос"));
}

void TestMimeFormats::readersPreferThePrivateFormat()
{
    QMimeData both;
    both.setData(questionDragFormat, encodeQuestion(1, QStringLiteral("private")));
    both.setData(plainTextFormat, QByteArray("plain"));
    Question question;
    QVERIFY(readQuestion(&both, questionDragFormat, question));
    QCOMPARE(question.text, QStringLiteral("private"));
    QCOMPARE(question.kind, 1);

    // The clipboard format is another format: the drag reader falls back to the text.
    QMimeData clipboard;
    clipboard.setData(questionClipboardFormat, encodeQuestion(1, QStringLiteral("private")));
    clipboard.setData(plainTextFormat, QByteArray("plain"));
    QVERIFY(readQuestion(&clipboard, questionDragFormat, question));
    QCOMPARE(question.text, QStringLiteral("plain"));
    QCOMPARE(question.kind, -1);

    // A malformed private payload is refused even when plain text is there too.
    QMimeData malformed;
    malformed.setData(questionDragFormat, QByteArray("1\na\nb"));
    malformed.setData(plainTextFormat, QByteArray("plain"));
    QVERIFY(!readQuestion(&malformed, questionDragFormat, question));

    QMimeData neither;
    neither.setData(QStringLiteral("image/png"), QByteArray("png"));
    QVERIFY(!readQuestion(&neither, questionDragFormat, question));
}

void TestMimeFormats::largeQuestionText()
{
    const QByteArray text(10 * 1024 * 1024, 'a');
    QElapsedTimer clock;
    clock.start();
    Question question;
    QVERIFY(decodeQuestion("2\n" + text, question));
    QCOMPARE(question.text.size(), text.size());
    QVERIFY(!decodeQuestion("2\n" + text + "\nb", question));
    QCOMPARE(decodePlainText(text).text.size(), text.size());
    QVERIFY2(clock.elapsed() < 5000, "a 10 MB text must not freeze the reader");
}

void TestMimeFormats::testRoundTrip()
{
    const Inspection::_Test original = sampleTest();
    const QByteArray payload = encodeTest(original);
    QVERIFY(payload.startsWith("qbjs"));
    QCOMPARE(payload.mid(4, 4), bytes("\x01\x00\x00\x00", 4));

    Inspection::_Test copy;
    const QUuid copyId = copy.id;
    QCOMPARE(decodeTest(payload, copy), QString());
    QCOMPARE(copy.id, copyId);
    QVERIFY(copy.id != original.id);
    QCOMPARE(copy.name, original.name);
    QCOMPARE(copy.Comments, original.Comments);
    QCOMPARE(copy.DateTimeRecorded, original.DateTimeRecorded);
    QCOMPARE(copy.ShowAllQuestSecondMonitor, true);
    QCOMPARE(copy.themis.size(), 3);
    QCOMPARE(copy.themisNULL.size(), 2);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(copy.themis[i].Theme, original.themis[i].Theme);
        QCOMPARE(copy.themis[i].Type, original.themis[i].Type);
        QCOMPARE(copy.themis[i].SubType, original.themis[i].SubType);
        QCOMPARE(copy.themis[i].Number, original.themis[i].Number);
    }
    QCOMPARE(copy.themisNULL[1].Theme, QStringLiteral("Пауза"));
    QCOMPARE(copy.orders.size(), original.orders.size());
    for (int i = 0; i < copy.orders.size(); ++i) {
        QCOMPARE(copy.orders[i].Theme, original.orders[i].Theme);
        QCOMPARE(copy.orders[i].Group, original.orders[i].Group);
    }
    QVERIFY(!copy.recorded);
}

void TestMimeFormats::damagedTestsAreRefused_data()
{
    QTest::addColumn<QByteArray>("payload");
    QRandomGenerator random(26);
    QByteArray noise(4096, '\0');
    for (char &c : noise)
        c = char(random.bounded(256));
    QTest::newRow("random bytes") << noise;
    QTest::newRow("empty") << QByteArray();
    QByteArray truncated = testPayload(sampleTest());
    truncated.chop(20);
    QTest::newRow("truncated") << truncated;
    QTest::newRow("another object") << BinaryJson::encode(QJsonObject{{"iTest", 1}, {"iGroup", 2}});
    QTest::newRow("question text") << encodeQuestion(2, QStringLiteral("abc"));
    QTest::newRow("100 000 levels deep") << deepBinaryJson(100000);

    Inspection::_Test missing = sampleTest();
    missing.orders[3].Theme = 7;
    QTest::newRow("plan names a missing question") << testPayload(missing);
    Inspection::_Test enormous = sampleTest();
    for (int i = 8; i < enormous.orders.size(); ++i)
        enormous.orders[i].Group = 30000;
    QTest::newRow("enormous presentation number") << testPayload(enormous);
    Inspection::_Test thousand = sampleTest();
    PlanFixtures::addGroups(thousand, 1000);
    QTest::newRow("a thousand presentations") << testPayload(thousand);
    Inspection::_Test lostQuestion = sampleTest();
    lostQuestion.orders.removeLast();
    QTest::newRow("presentation without a question") << testPayload(lostQuestion);
}

void TestMimeFormats::damagedTestsAreRefused()
{
    QFETCH(QByteArray, payload);
    Inspection::_Test target(QStringLiteral("unchanged"));
    target.addTheme(QStringLiteral("q"), QuestionKind::Test, 1, -1);
    QVERIFY(!decodeTest(payload, target).isEmpty());
    QCOMPARE(target.name, QStringLiteral("unchanged"));
    QCOMPARE(target.themis.size(), 1);
    QCOMPARE(target.orders.size(), 3);
}

void TestMimeFormats::refusalIsToldInAWarning()
{
    Inspection::_Test damaged = sampleTest();
    damaged.orders[3].Theme = 7;
    QString title;
    MessageBoxAnswerer answerer({QMessageBox::Ok});
    answerer.whileAsking = [&title] { title = QApplication::activeModalWidget()->windowTitle(); };
    Inspection::_Test target;
    QVERIFY(!acceptTest(testPayload(damaged), target, nullptr));
    QCOMPARE(title, QStringLiteral("Воркел"));
    QCOMPARE(answerer.asked().size(), 1);
    QVERIFY(answerer.asked().first().contains(QStringLiteral("несуществующий вопрос")));
    QVERIFY(target.orders.isEmpty());

    QVERIFY(acceptTest(testPayload(sampleTest()), target, nullptr));
    QCOMPARE(answerer.asked().size(), 1);
    QCOMPARE(target.themis.size(), 3);
}

void TestMimeFormats::kindMapping_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("subType");
    const int rows[][3] = {{0, 0, 0},     {1, 1, 1},     {2, 2, 2},     {101, 10000, 101}, {102, 0, 102},
                           {103, 1, 103}, {104, 2, 104}, {105, 1, 105}, {106, 1, 106},     {107, 1, 107},
                           {10000, 10000, 10000}};
    for (const auto &row : rows)
        QTest::addRow("code %d", row[0]) << row[0] << row[1] << row[2];
    // Codes that name no kind leave the question's own kind.
    for (int code : {-1, 3, 100, 108, 9999, 10001, 70000})
        QTest::addRow("code %d", code) << code << 2 << 104;
}

void TestMimeFormats::kindMapping()
{
    QFETCH(int, code);
    QFETCH(int, type);
    QFETCH(int, subType);
    Inspection::_Theme theme(QStringLiteral("keep"), QuestionKind::IntR);
    theme.Number = 3;
    const bool known = code == QuestionKind::Null || (code >= 0 && code <= 2) || (code >= 101 && code <= 107);
    QCOMPARE(mapQuestKind(code, theme), known);
    QCOMPARE(int(theme.Type), type);
    QCOMPARE(int(theme.SubType), subType);
    QCOMPARE(int(theme.Number), 3);
    QCOMPARE(theme.Theme, QStringLiteral("keep"));
}

void TestMimeFormats::writers()
{
    const Inspection::_Test test = sampleTest();
    const QByteArray payload = encodeTest(test);
    struct Row {
        const char *writer;
        QMimeData *mime;
        QString format;
        QByteArray expected;
        QByteArray plain;  // null: no plain text
        QVariant rowId;
    };
    const QByteArray question = encodeQuestion(104, QStringLiteral("Relevant"));
    const QByteArray testText = QStringLiteral("Кража\nТишина\nПауза\nВы взяли деньги?\nВаше имя?\nRelevant\n").toUtf8();
    const QVector<Row> rows = {
        {"methodics dock drag", methodicsDockDrag(test, 42), methodicDragFormat, payload, QByteArray(), 42},
        {"methodics dock copy", methodicsDockCopy(test), testClipboardFormat, payload, QByteArray(), QVariant()},
        {"tree test drag", treeTestDrag(test), methodicDragFormat, payload, QByteArray(), QVariant()},
        {"editor test copy", editorTestCopy(test), testClipboardFormat, payload, testText, QVariant()},
        {"questions dock drag", questionsDockDrag(104, QStringLiteral("Relevant"), 7), questionDragFormat, question,
         QByteArray(), 7},
        {"questions dock copy", questionsDockCopy(104, QStringLiteral("Relevant")), questionClipboardFormat, question,
         QByteArray("Relevant"), QVariant()},
        {"tree question drag", treeQuestionDrag(104, QStringLiteral("Relevant")), questionDragFormat, question,
         QByteArray("Relevant"), QVariant()},
    };
    for (const Row &row : rows) {
        std::unique_ptr<QMimeData> mime(row.mime);
        const QByteArray writer(row.writer);
        QStringList expectedFormats = {row.format};
        if (!row.plain.isNull())
            expectedFormats.append(plainTextFormat);
        QStringList formats = mime->formats();
        formats.sort();
        expectedFormats.sort();
        QVERIFY2(formats == expectedFormats, writer);
        QVERIFY2(mime->data(row.format) == row.expected, writer);
        if (!row.plain.isNull())
            QVERIFY2(mime->data(plainTextFormat) == row.plain, writer);
        QVERIFY2(mime->property("1") == row.rowId, writer);
    }
}

VUG_TEST_MAIN(TestMimeFormats, QApplication)
#include "tst_mimeformats.moc"
