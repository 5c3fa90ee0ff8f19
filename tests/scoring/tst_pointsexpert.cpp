#include "BallReference.h"
#include "PointsTreeFixtures.h"
#include "scoring/points/ExpertTreeFill.h"
#include "scoring/points/QuestKey.h"
#include "tests/support/TestHome.h"

#include <QApplication>

#include <memory>
#include <random>

// The expert tree's questions, check boxes, raw scores and sums, built on
// examinations of the benchmarks' builder; figures against ballsums_reference.py.

using namespace BallFixtures;
using namespace PointsTreeFixtures;

namespace {

constexpr int Scale012 = 0, Scale101 = 1, Scale3210123 = 2;

std::unique_ptr<QStandardItemModel> expert(Inspection &examination, int scale)
{
    return std::unique_ptr<QStandardItemModel>(ExpertTreeFill(&examination, scale).build());
}

QStandardItem *question(QStandardItemModel &model, int test, int quest)
{
    return model.item(test)->child(quest);
}

QStandardItem *channelCell(QStandardItemModel &model, int test, int quest, int channel, int column)
{
    QStandardItem *row = question(model, test, quest);
    return row ? row->child(channel, column) : nullptr;
}

QStandardItem *questionCell(QStandardItemModel &model, int test, int quest, int column)
{
    return model.item(test)->child(quest, column);
}

}  // namespace

class TestPointsExpert : public QObject
{
    Q_OBJECT

private slots:
    void checkStatesFollowTheEntriesInUse()
    {
        using namespace QuestionKind;
        Inspection::_Test test = kindsTest({Neutral, Control, Neutral}, 3);
        // Question 0 in use everywhere (absent entries count as in use),
        // question 1 in none, question 2 in some.
        for (int p = 1; p <= 3; ++p)
            putBall(test.valuationBall_101, ball(p, 1, 1, 0, 0, false));
        putBall(test.valuationBall_101, ball(2, 0, 1, 1, 1));
        putBall(test.valuationBall_101, ball(3, 2, -1, 1, 0, false));
        Inspection examination;
        examination.appendTest(test);
        Inspection::_Test unpresented = kindsTest({Neutral}, 1, 2);
        unpresented.labels.clear();
        examination.appendTest(unpresented);
        auto model = expert(examination, Scale101);

        QCOMPARE(question(*model, 0, 0)->checkState(), Qt::Checked);
        QCOMPARE(question(*model, 0, 1)->checkState(), Qt::Unchecked);
        QCOMPARE(question(*model, 0, 2)->checkState(), Qt::PartiallyChecked);
        QCOMPARE(question(*model, 1, 0)->checkState(), Qt::Checked);
        QVERIFY(question(*model, 0, 2)->isCheckable());
        QVERIFY(!question(*model, 0, 2)->isSelectable());

        // The unused score is light grey and cannot be selected; its
        // points count nowhere.
        QStandardItem *unused = channelCell(*model, 0, 2, 0, 3);
        QCOMPARE(text(unused), QStringLiteral("-1"));
        QCOMPARE(foreground(unused), QColor(Qt::lightGray));
        QVERIFY(!unused->isSelectable());
        QVERIFY(channelCell(*model, 0, 2, 0, 2)->isSelectable());
        QCOMPARE(text(questionCell(*model, 0, 2, 3)), QStringLiteral("0.0"));
        QCOMPARE(text(questionCell(*model, 0, 1, 4)), QStringLiteral("0.0"));
        QCOMPARE(text(channelCell(*model, 0, 1, 0, 4)), QStringLiteral("0.0"));
    }

    void questionCaptionsNumberAndNameTheKind()
    {
        using namespace QuestionKind;
        Inspection::_Test test = kindsTest(
            {Neutral, Neutral, Control, Neutral, Neutral, IntR, Neutral, Neutral, Neutral, Neutral, Neutral, Neutral}, 2);
        Inspection examination;
        examination.appendTest(test);
        auto model = expert(examination, Scale012);
        QCOMPARE(model->item(0)->rowCount(), 12);
        QCOMPARE(question(*model, 0, 0)->text(), QStringLiteral("01Н Вопрос номер 0?"));
        QCOMPARE(question(*model, 0, 2)->text(), QStringLiteral("03К Вопрос номер 2?"));
        QCOMPARE(question(*model, 0, 5)->text(), QStringLiteral("06R Вопрос номер 5?"));
        QCOMPARE(question(*model, 0, 11)->text(), QStringLiteral("12Н Вопрос номер 11?"));
        QCOMPARE(foreground(question(*model, 0, 2)), QColor(0, 0, 127));
        QCOMPARE(question(*model, 0, 3)->background().color(), QColor(220, 220, 220));
        QJsonObject key;
        QuestKey{0, -1, -1, 2}.toJson(key);
        QCOMPARE(question(*model, 0, 2)->data(QuestKey::Role).toJsonObject(), key);
        // Raw scores lie on the kind's background.
        QCOMPARE(channelCell(*model, 0, 2, 1, 1)->background().color(), QColor(240, 240, 255));
        QCOMPARE(channelCell(*model, 0, 5, 1, 1)->background().color(), QColor(255, 240, 240));
        QCOMPARE(headers(*model), QStringList({"Тесты и параметры", "I", "II", "Сумма", ""}));
    }

    void scale012ColoursByChannel()
    {
        Inspection::_Test test = coefficientTest(2);
        putBall(test.valuationBall_012, ball(1, 1, 2, 0, 1));
        Inspection examination;
        examination.appendTest(test);
        auto model = expert(examination, Scale012);
        QStandardItem *points = questionCell(*model, 0, 1, 1);
        QCOMPARE(text(points), QStringLiteral("3.0"));
        QCOMPARE(foreground(points), QColor(0, 0, 0));
        QCOMPARE(points->font().weight(), 75);
        const QColor colours[] = {QColor(220, 128, 0), QColor(200, 0, 0), QColor(0, 0, 200)};
        const QString texts[] = {"2", "0", "1"};
        for (int channel = 0; channel < 3; ++channel) {
            QCOMPARE(text(channelCell(*model, 0, 1, channel, 1)), texts[channel]);
            QCOMPARE(foreground(channelCell(*model, 0, 1, channel, 1)), colours[channel]);
            QCOMPARE(foreground(channelCell(*model, 0, 1, channel, 0)), colours[channel]);
        }
        QJsonObject key;
        QuestKey{0, 1, 2, 1}.toJson(key);
        QCOMPARE(channelCell(*model, 0, 1, 2, 1)->data(QuestKey::Role).toJsonObject(), key);
    }

    void scale3210123WeightsTheChannelTotal()
    {
        Inspection::_Test test = coefficientTest(3);
        test.valuationBall_ChannelK[0] = 0.5f;
        putBall(test.valuationBall_3210123, ball(1, 0, -3, 0, 0));
        putBall(test.valuationBall_3210123, ball(2, 0, 1, 0, 0));
        putBall(test.valuationBall_3210123, ball(3, 0, 3, 2, 0));
        test.valuationBall_GroupsDisabled.insert(3);
        Inspection examination;
        examination.appendTest(test);
        auto model = expert(examination, Scale3210123);
        QStandardItem *total = channelCell(*model, 0, 0, 0, 4);
        QCOMPARE(text(total), QStringLiteral("-1.0"));
        QCOMPARE(foreground(total), QColor(198, 0, 0));
        QCOMPARE(foreground(channelCell(*model, 0, 0, 0, 0)), QColor(0, 0, 0));
        QCOMPARE(foreground(channelCell(*model, 0, 0, 0, 2)), QColor(0, 198, 0));
        // The disabled presentation: dark grey raw scores, 0.0 weighted, out of the sums.
        QCOMPARE(text(channelCell(*model, 0, 0, 0, 3)), QStringLiteral("3"));
        QCOMPARE(foreground(channelCell(*model, 0, 0, 0, 3)), QColor(Qt::darkGray));
        QCOMPARE(text(questionCell(*model, 0, 0, 3)), QStringLiteral("0.0"));
        QCOMPARE(text(questionCell(*model, 0, 0, 4)), QStringLiteral("-1.0"));
        QCOMPARE(text(channelCell(*model, 0, 0, 1, 4)), QStringLiteral("0.0"));
    }

    void shorterTestsKeepShadedPlaceholders()
    {
        Inspection examination;
        examination.appendTest(coefficientTest(3));
        examination.appendTest(coefficientTest(2, 2));
        auto model = expert(examination, Scale012);
        QStandardItem *placeholder = questionCell(*model, 1, 1, 3);
        QVERIFY(placeholder);
        QVERIFY(placeholder->text().isEmpty());
        QCOMPARE(placeholder->background().color(), QColor(220, 220, 220));
        QVERIFY(!placeholder->isSelectable());
        QVERIFY(!channelCell(*model, 1, 1, 0, 3));
        QCOMPARE(text(questionCell(*model, 1, 1, 4)), QStringLiteral("0.0"));
        QCOMPARE(model->item(1, 4)->background().color(), QColor(200, 200, 200));
        QVERIFY(!model->item(1, 5));
    }

    void figuresMatchTheReference()
    {
        std::mt19937 random(11);
        Inspection examination;
        for (int n = 0; n < 4; ++n) {
            Inspection::_Test test = kindsTest({QuestionKind::Neutral, QuestionKind::Control, QuestionKind::Test}, 2 + n, n);
            for (int channel = 0; channel < 3; ++channel)
                test.valuationBall_ChannelK[channel] = float(random() % 7) * 0.5f;
            test.valuationBall_GroupsDisabled.insert(n);
            for (int p = 1; p <= test.presentationCount(); ++p)
                for (int q = 0; q < 3; ++q)
                    if (random() % 4)
                        putBall(test.valuationBall_3210123, ball(p, q, int(random() % 7) - 3, int(random() % 7) - 3,
                                                                 int(random() % 7) - 3, random() % 3));
            examination.appendTest(test);
        }
        auto model = expert(examination, Scale3210123);
        QJsonArray cases;
        for (const Inspection::_Test &test : examination.tests) {
            QJsonObject object = BallReference::caseOf(test, test.valuationBall_3210123);
            object.insert("presentations", test.presentationCount());
            object.insert("kinds", QJsonArray{0, 1, 2});
            cases.append(object);
        }
        const QJsonArray results = BallReference::run(cases);
        QCOMPARE(results.size(), 4);
        const int P = 5;
        for (int t = 0; t < 4; ++t) {
            const QJsonObject expected = results[t].toObject()["expert"].toObject();
            for (int q = 0; q < 3; ++q) {
                const QJsonArray row = expected["weighted"].toArray()[q].toArray();
                for (int p = 1; p <= row.size(); ++p)
                    QCOMPARE(text(questionCell(*model, t, q, p)), QString::number(row[p - 1].toDouble() + 0.0, 'f', 1));
                QCOMPARE(text(questionCell(*model, t, q, P + 1)),
                         QString::number(expected["sums"].toArray()[q].toDouble() + 0.0, 'f', 1));
                for (int c = 0; c < 3; ++c)
                    QCOMPARE(text(channelCell(*model, t, q, c, P + 1)),
                             QString::number(expected["channelTotals"].toArray()[q].toArray()[c].toDouble() + 0.0, 'f', 1));
            }
        }
    }
};

VUG_TEST_MAIN(TestPointsExpert, QApplication)
#include "tst_pointsexpert.moc"
