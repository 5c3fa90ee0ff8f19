#include "data/QuestTypeColor.h"
#include "tests/support/TestHome.h"

#include <QCoreApplication>

class TestQuestTypeColor : public QObject
{
    Q_OBJECT
private slots:
    void colourOfEveryKind_data();
    void colourOfEveryKind();
};

void TestQuestTypeColor::colourOfEveryKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QColor>("colour");
    const QColor green(0, 127, 0), blue(0, 0, 127), red(127, 0, 0), grey(127, 127, 127);
    const QVector<QPair<int, QColor>> table = {
        {0, green},   {102, green}, {1, blue},   {103, blue}, {105, blue},   {106, blue},
        {107, blue},  {2, red},     {104, red},  {101, grey}, {10000, grey}, {-1, grey},
        {3, grey},    {100, grey},  {108, grey},
    };
    for (const auto &row : table)
        QTest::newRow(qPrintable(QString::number(row.first))) << row.first << row.second;
}

void TestQuestTypeColor::colourOfEveryKind()
{
    QFETCH(int, kind);
    QFETCH(QColor, colour);
    const QColor actual = questTypeColor(kind);
    QCOMPARE(actual, colour);
    QCOMPARE(actual.alpha(), 255);
}

VUG_TEST_MAIN(TestQuestTypeColor, QCoreApplication)
#include "tst_questtypecolor.moc"
