#include "data/InspectionPerson.h"
#include "data/InspectionTest.h"
#include "subjects/PersoneSearchMatch.h"
#include "tests/support/TestHome.h"

#include <QCoreApplication>

using Conditions = PersoneSearchDlg::_Conditions;

namespace {

const QString TagA = "{11111111-2222-3333-4444-555555555555}";
const QString TagB = "{aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}";

// Only the named condition switched on.
Conditions only(bool Conditions::*use)
{
    Conditions c;
    c.bUseSearch = false;
    c.*use = true;
    return c;
}

InspectionTest recordedOn(const QDate &day, bool recorded = true)
{
    InspectionTest test("Тест");
    test.recorded = recorded;
    test.DateTimeRecorded = QDateTime(day, QTime(23, 59));
    return test;
}

bool matches(const Conditions &c, const InspectionPerson &person, const QString &file = "/d/Субъект.qmz",
             const QString &preTest = QString(), const QVector<InspectionTest> &tests = {})
{
    return personeMatches(c, person, file, preTest, tests);
}

}  // namespace

class TestPersoneSearchMatch : public QObject
{
    Q_OBJECT
private slots:
    void sexMatchesOnlyAChosenEqualSex_data();
    void sexMatchesOnlyAChosenEqualSex();
    void textIsFoundInTheSearchedFieldsOnly_data();
    void textIsFoundInTheSearchedFieldsOnly();
    void fileNameCountsWhole();
    void birthDatesIncludeBothEnds();
    void recordingDatesCountOnlyRecordedTests();
    void tagsUnderAndAndOr();
    void noConditionFindsNothing();
};

void TestPersoneSearchMatch::sexMatchesOnlyAChosenEqualSex_data()
{
    QTest::addColumn<int>("wanted");
    QTest::addColumn<int>("subject");
    QTest::addColumn<bool>("found");
    for (int wanted : {0, 1, 2}) {
        for (int subject : {0, 1, 2})
            QTest::addRow("%d-%d", wanted, subject) << wanted << subject << (subject != 0 && wanted == subject);
    }
}

void TestPersoneSearchMatch::sexMatchesOnlyAChosenEqualSex()
{
    QFETCH(int, wanted);
    QFETCH(int, subject);
    QFETCH(bool, found);
    Conditions c = only(&Conditions::bUseSex);
    c.iSex = wanted;
    InspectionPerson person;
    person.Sex = subject;
    QCOMPARE(matches(c, person), found);
}

void TestPersoneSearchMatch::textIsFoundInTheSearchedFieldsOnly_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("found");
    QTest::newRow("comments") << "comments" << true;
    QTest::newRow("file name") << "file" << true;
    QTest::newRow("pre-test") << "pretest" << true;
    QTest::newRow("null question") << "null" << true;
    QTest::newRow("question") << "question" << true;
    QTest::newRow("test comments") << "testcomments" << true;
    QTest::newRow("names") << "names" << false;
    QTest::newRow("tags") << "tags" << false;
    QTest::newRow("test name") << "testname" << false;
}

void TestPersoneSearchMatch::textIsFoundInTheSearchedFieldsOnly()
{
    QFETCH(QString, field);
    QFETCH(bool, found);
    const QString word = "Жёлтый\nКОНВЕРТ";
    InspectionPerson person;
    QString file = "/d/Субъект.qmz";
    QString preTest;
    InspectionTest test("Тест");
    test.addNeutralTheme("Вы сегодня завтракали?");
    test.addNullTheme("Сегодня вторник?");
    if (field == "comments")
        person.Comments = "он держал " + word;
    else if (field == "file")
        file = "/d/" + QString(word).replace('\n', ' ') + ".qmz";
    else if (field == "pretest")
        preTest = word;
    else if (field == "null")
        test.addNullTheme(word);
    else if (field == "question")
        test.addTestTheme(word);
    else if (field == "testcomments")
        test.Comments = word;
    else if (field == "names")
        person.FirstName = person.MiddleName = person.LastName = word;
    else if (field == "tags")
        person.Tags = word;
    else if (field == "testname")
        test.name = word;
    Conditions c;
    // Any case; the dot crosses a line break.
    c.sSearch = "жёлтый.конверт";
    QCOMPARE(matches(c, person, file, preTest, {test}), found);
}

void TestPersoneSearchMatch::fileNameCountsWhole()
{
    Conditions c;
    InspectionPerson person;
    c.sSearch = "^Петров И\\.П\\.$";
    QVERIFY(matches(c, person, "/d/Петров И.П..qmz"));
    c.sSearch = "qmz";
    QVERIFY(!matches(c, person, "/d/Петров И.П..qmz"));
}

void TestPersoneSearchMatch::birthDatesIncludeBothEnds()
{
    Conditions c = only(&Conditions::bUseBirth);
    c.dateBirthFrom = QDate(1980, 1, 1);
    c.dateBirthTo = QDate(1990, 12, 31);
    InspectionPerson person;
    QVERIFY(!matches(c, person));
    for (const QDate &day : {c.dateBirthFrom, c.dateBirthTo}) {
        person.Birthday = day;
        QVERIFY(matches(c, person));
    }
    for (const QDate &day : {QDate(1979, 12, 31), QDate(1991, 1, 1)}) {
        person.Birthday = day;
        QVERIFY(!matches(c, person));
    }
}

void TestPersoneSearchMatch::recordingDatesCountOnlyRecordedTests()
{
    Conditions c = only(&Conditions::bUseInspection);
    const QDate day(2024, 5, 17);
    c.dateInspectionFrom = QDateTime(day, QTime(12, 0));
    c.dateInspectionTo = QDateTime(day, QTime(12, 0));
    InspectionPerson person;
    QVERIFY(!matches(c, person));
    QVERIFY(matches(c, person, "/d/a.qmz", QString(), {recordedOn(day)}));
    QVERIFY(!matches(c, person, "/d/a.qmz", QString(), {recordedOn(day, false)}));
    QVERIFY(!matches(c, person, "/d/a.qmz", QString(), {recordedOn(day.addDays(1)), recordedOn(day.addDays(-1))}));
    QVERIFY(matches(c, person, "/d/a.qmz", QString(), {recordedOn(day.addDays(1)), recordedOn(day)}));
}

void TestPersoneSearchMatch::tagsUnderAndAndOr()
{
    Conditions c = only(&Conditions::bUseTags);
    c.sTags = TagA + '\t' + TagB + '\t';
    InspectionPerson both, one, none;
    both.Tags = TagB + '\t' + TagA + '\t';
    one.Tags = TagB + '\t';
    QVERIFY(matches(c, both));
    QVERIFY(!matches(c, one));
    c.bAnd = false;
    QVERIFY(matches(c, one));
    QVERIFY(!matches(c, none));

    // AND with one condition of two switched on.
    c.bAnd = true;
    c.sTags = TagA + '\t';
    c.bUseSex = true;
    c.iSex = 2;
    both.Sex = 2;
    QVERIFY(matches(c, both));
    both.Sex = 1;
    QVERIFY(!matches(c, both));
}

void TestPersoneSearchMatch::noConditionFindsNothing()
{
    Conditions c;
    c.sSearch.clear();  // the text switch is on, but with no text
    QVERIFY(!matches(c, InspectionPerson()));
    c.bAnd = false;
    QVERIFY(!matches(c, InspectionPerson()));
    c.bUseTags = true;  // no key ticked
    QVERIFY(!matches(c, InspectionPerson()));
}

VUG_TEST_MAIN(TestPersoneSearchMatch, QCoreApplication)
#include "tst_personesearchmatch.moc"
