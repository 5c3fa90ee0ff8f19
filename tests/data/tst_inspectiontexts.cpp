#include "data/Inspection.h"
#include "data/QuestionKindName.h"
#include "data/TestCaption.h"
#include "tests/support/TestHome.h"

#include <QTranslator>

namespace {

// Replaces the three Russian letters, as a translation catalogue would.
class LetterTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        if (qstrcmp(context, "Inspection") != 0)
            return QString();
        const QString text = QString::fromUtf8(source);
        if (text == QStringLiteral("Н"))
            return QStringLiteral("N");
        if (text == QStringLiteral("К"))
            return QStringLiteral("C");
        if (text == QStringLiteral("П"))
            return QStringLiteral("R");
        return QString();
    }
    bool isEmpty() const override { return false; }
};

InspectionOrder entry(int theme, int group)
{
    InspectionOrder order;
    order.Theme = qint16(theme);
    order.Group = qint16(group);
    return order;
}

// Two groups of two ordinary questions and one null question.
Inspection::_Test twoGroupTest()
{
    Inspection::_Test test(QStringLiteral("Тест 1"));
    test.themis = {InspectionTheme(QStringLiteral("Вы Иван?"), QuestionKind::Neutral),
                   InspectionTheme(QStringLiteral("Вы взяли?"), QuestionKind::Test)};
    test.themisNULL = {InspectionTheme(QStringLiteral("Готовы?"), QuestionKind::Null)};
    test.orders = {entry(-1, -1), entry(-1, 1), entry(10000, 1), entry(0, 1), entry(1, 1),
                   entry(-1, 2), entry(10000, 2), entry(1, 2), entry(0, 2)};
    return test;
}

}  // namespace

class TestInspectionTexts : public QObject
{
    Q_OBJECT
private slots:
    void kindLetters_data();
    void kindLetters();
    void russianLettersAreTranslated();
    void captionsOfEveryKind_data();
    void captionsOfEveryKind();
    void captionsOfNonQuestions();
    void captionNumberWrapsAt256();
    void orderTextListsEveryPlannedQuestion();
    void formatTextListsNullThenOrdinary();
    void themeLookupForReadingAndWriting();
    void headerTextDatesOnlyRecordedTests();
    void captionsTellNamesakesApart();
};

void TestInspectionTexts::kindLetters_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("letter");
    QTest::newRow("neutral") << 0 << QStringLiteral("Н");
    QTest::newRow("control") << 1 << QStringLiteral("К");
    QTest::newRow("test") << 2 << QStringLiteral("П");
    QTest::newRow("P") << 101 << QStringLiteral("P");
    QTest::newRow("I") << 102 << QStringLiteral("I");
    QTest::newRow("C") << 103 << QStringLiteral("C");
    QTest::newRow("R") << 104 << QStringLiteral("R");
    QTest::newRow("SR") << 105 << QStringLiteral("SR");
    QTest::newRow("So") << 106 << QStringLiteral("So");
    QTest::newRow("GC") << 107 << QStringLiteral("GC");
    QTest::newRow("null") << 10000 << QStringLiteral("0");
    QTest::newRow("55") << 55 << QStringLiteral("?");
    QTest::newRow("none") << -1 << QStringLiteral("?");
    QTest::newRow("100") << 100 << QStringLiteral("?");
    QTest::newRow("108") << 108 << QStringLiteral("?");
}

void TestInspectionTexts::kindLetters()
{
    QFETCH(int, kind);
    QFETCH(QString, letter);
    QCOMPARE(questionKindName(kind), letter);
}

void TestInspectionTexts::russianLettersAreTranslated()
{
    LetterTranslator translator;
    QCoreApplication::installTranslator(&translator);
    const QStringList letters{questionKindName(0), questionKindName(1), questionKindName(2),
                              questionKindName(104)};
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(letters, (QStringList{"N", "C", "R", "R"}));
}

void TestInspectionTexts::captionsOfEveryKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("caption");
    QTest::newRow("neutral") << 0 << 0 << QStringLiteral("03Н");
    QTest::newRow("control") << 1 << 0 << QStringLiteral("03К");
    QTest::newRow("test") << 2 << 0 << QStringLiteral("03П");
    QTest::newRow("I") << 102 << 1 << QStringLiteral("I1");
    QTest::newRow("C") << 103 << 12 << QStringLiteral("C12");
    QTest::newRow("R") << 104 << 2 << QStringLiteral("R2");
    QTest::newRow("SR") << 105 << 3 << QStringLiteral("SR3");
    QTest::newRow("So") << 106 << 0 << QStringLiteral("So0");
    QTest::newRow("GC") << 107 << 4 << QStringLiteral("GC4");
    // No chosen kind: the letter of the class.
    QTest::newRow("class 2") << -2 << 0 << QStringLiteral("03П");
    QTest::newRow("other") << 7 << 0 << QStringLiteral("03?");
}

void TestInspectionTexts::captionsOfEveryKind()
{
    QFETCH(int, kind);
    QFETCH(int, number);
    QFETCH(QString, caption);
    Inspection::_Test test;
    test.themis = {InspectionTheme(QStringLiteral("a"), 0), InspectionTheme(QStringLiteral("b"), 1),
                   InspectionTheme(QStringLiteral("c"), kind < -1 ? QuestionKind::Test : kind)};
    if (kind < -1)
        test.themis[2].SubType = -1;
    test.themis[2].Number = qint16(number);
    test.orders = {entry(-1, -1), entry(-1, 1), entry(2, 1)};
    QCOMPARE(test.questionCaption(2), caption);
}

void TestInspectionTexts::captionsOfNonQuestions()
{
    Inspection::_Test test = twoGroupTest();
    const QString none = QStringLiteral("  0");
    QCOMPARE(test.questionCaption(0), none);  // head entry
    QCOMPARE(test.questionCaption(1), none);  // group header
    QCOMPARE(test.questionCaption(2), none);  // null question
    QCOMPARE(test.questionCaption(3), QStringLiteral("01Н"));
    QCOMPARE(test.questionCaption(7), QStringLiteral("02П"));
    QCOMPARE(test.questionCaption(9), none);  // past the plan
    QCOMPARE(test.questionCaption(-1), none);

    // A damaged plan naming questions that do not exist.
    test.orders.append(entry(5, 2));
    test.orders.append(entry(10007, 2));
    QCOMPARE(test.questionCaption(9), QStringLiteral("06?"));
    QCOMPARE(test.questionCaption(10), none);

    // An international null question shows its letter and number.
    test.themisNULL[0] = InspectionTheme(QStringLiteral("P"), QuestionKind::IntP);
    test.themisNULL[0].Number = 1;
    QCOMPARE(test.questionCaption(2), QStringLiteral("P1"));
}

void TestInspectionTexts::captionNumberWrapsAt256()
{
    Inspection::_Test test;
    for (int i = 0; i < 300; ++i)
        test.themis.append(InspectionTheme(QString::number(i), QuestionKind::Control));
    test.orders = {entry(-1, -1), entry(-1, 1), entry(299, 1), entry(255, 1), entry(8, 1)};
    QCOMPARE(test.questionCaption(2), QStringLiteral("44К"));
    QCOMPARE(test.questionCaption(3), QStringLiteral("00К"));
    QCOMPARE(test.questionCaption(4), QStringLiteral("09К"));
}

void TestInspectionTexts::orderTextListsEveryPlannedQuestion()
{
    QCOMPARE(twoGroupTest().orderText(),
             QStringLiteral("Тест 1\n\tГотовы?\n\tВы Иван?\n\tВы взяли?\n"
                            "\tГотовы?\n\tВы взяли?\n\tВы Иван?\n\n"));

    Inspection::_Test empty(QStringLiteral("Пусто"));
    QCOMPARE(empty.orderText(), QStringLiteral("Пусто\n\n"));
}

void TestInspectionTexts::formatTextListsNullThenOrdinary()
{
    Inspection::_Test test;
    test.themisNULL = {InspectionTheme(QStringLiteral("Ноль"), QuestionKind::Null)};
    test.themis = {InspectionTheme(QStringLiteral("Первый"), QuestionKind::Test),
                   InspectionTheme(QStringLiteral("Второй"), QuestionKind::IntR)};
    test.themis[1].Number = 1;
    QCOMPARE(test.formatText(), QStringLiteral("00\tНоль\n01П\tПервый\nR1Второй\n"));

    // The running number counts international questions too; a question
    // without chosen kind takes the letter of its class.
    test.themis.append(InspectionTheme(QStringLiteral("Третий"), QuestionKind::Control));
    test.themis.append(InspectionTheme(QStringLiteral("Четвёртый"), QuestionKind::Neutral));
    test.themis[3].SubType = -1;
    test.themis.append(InspectionTheme(QStringLiteral("Пятый"), 55));
    QCOMPARE(test.formatText(), QStringLiteral("00\tНоль\n01П\tПервый\nR1Второй\n03К\tТретий\n"
                                               "04Н\tЧетвёртый\n05?\tПятый\n"));
    QCOMPARE(Inspection::_Test().formatText(), QString());
}

void TestInspectionTexts::themeLookupForReadingAndWriting()
{
    const Inspection::_Test source = twoGroupTest();
    QCOMPARE(source.theme(1).Theme, QStringLiteral("Вы взяли?"));
    QCOMPARE(source.theme(10000).Theme, QStringLiteral("Готовы?"));
    QCOMPARE(source.theme(2).Type, qint16(-1));
    QCOMPARE(source.theme(10001).Type, qint16(-1));
    QCOMPARE(source.theme(-1).Type, qint16(-1));

    Inspection::_Test copy = source;
    copy.theme(1).Theme = QStringLiteral("changed");
    copy.theme(10000).Theme = QStringLiteral("changed");
    QCOMPARE(source.theme(1).Theme, QStringLiteral("Вы взяли?"));
    QCOMPARE(source.theme(10000).Theme, QStringLiteral("Готовы?"));
    QCOMPARE(copy.theme(1).Theme, QStringLiteral("changed"));
}

void TestInspectionTexts::headerTextDatesOnlyRecordedTests()
{
    Inspection::_Test test(QStringLiteral("Тест 2"));
    test.DateTimeRecorded = QDateTime(QDate(2024, 3, 5), QTime(9, 7, 59));
    QCOMPARE(test.headerText(), QStringLiteral("Тест 2"));  // not recorded
    test.recorded = true;
    QCOMPARE(test.headerText(), QStringLiteral("Тест 2 (05.03.2024 09:07)"));
    test.DateTimeRecorded = QDateTime();
    QCOMPARE(test.headerText(), QStringLiteral("Тест 2"));
}

// Tests 1-3 named "Тест один" (1 and 2 recorded at the same minute, 3 not),
// test 4 recorded at another minute, test 5 alone under its name.
void TestInspectionTexts::captionsTellNamesakesApart()
{
    Inspection examination;
    const QDateTime minute(QDate(2026, 12, 10), QTime(0, 54, 12));
    const struct {
        const char *name;
        QDateTime recordedAt;
        const char *caption;
    } rows[] = {{"Тест один", minute, "Тест один (10.12.2026 00:54) (1)"},
                {"Тест один", minute.addSecs(30), "Тест один (10.12.2026 00:54) (2)"},
                {"Тест один", QDateTime(), "Тест один (3)"},
                {"Тест один", minute.addSecs(60), "Тест один (10.12.2026 00:55)"},
                {"Тест два", QDateTime(), "Тест два"}};
    for (const auto &row : rows) {
        Inspection::_Test test(QString::fromUtf8(row.name));
        test.recorded = row.recordedAt.isValid();
        test.DateTimeRecorded = row.recordedAt;
        examination.tests.append(test);
    }
    for (int index = 0; index < examination.tests.size(); ++index)
        QCOMPARE(testCaption(examination, index), QString::fromUtf8(rows[index].caption));
    QVERIFY(testCaption(examination, examination.tests.size()).isEmpty());
}

VUG_TEST_MAIN(TestInspectionTexts, QCoreApplication)
#include "tst_inspectiontexts.moc"
