#include "BallReference.h"
#include "PointsTreeFixtures.h"
#include "scoring/points/NavigatorTreeFill.h"
#include "scoring/points/QuestKey.h"
#include "tests/support/TestHome.h"

#include <QApplication>

#include <memory>
#include <random>

// The navigator tree's cells, totals and coefficients, built on examinations
// of the benchmarks' builder; figures against ballsums_reference.py.

using namespace BallFixtures;
using namespace PointsTreeFixtures;

namespace {

constexpr int Scale012 = 0, Scale101 = 1, Scale3210123 = 2;

// Column of a coefficient in a tree of P presentation columns.
int column(int presentations, NavigatorSums::Coefficient kind)
{
    return presentations + 2 + kind;
}

std::unique_ptr<QStandardItemModel> navigator(Inspection &examination, int scale)
{
    return std::unique_ptr<QStandardItemModel>(NavigatorTreeFill(&examination, scale).build());
}

// Texts and colours of one coefficient column, channels 0..2.
struct Column {
    QStringList texts;
    QList<QColor> colors;
};

Column coefficients(QStandardItemModel &model, int test, int presentations, NavigatorSums::Coefficient kind)
{
    Column result;
    for (int channel = 0; channel < 3; ++channel) {
        QStandardItem *item = cell(model, test, channel, column(presentations, kind));
        result.texts << text(item);
        result.colors << foreground(item);
    }
    return result;
}

// Control-question points КГР 2, ПГ 1, Дых 1; totals 4, 4, 2.
Inspection::_Test workedExample()
{
    Inspection::_Test test = coefficientTest();
    putBall(test.valuationBall_012, ball(1, 1, 2, 1, 1));
    putBall(test.valuationBall_012, ball(1, 0, 2, 2, 0));
    putBall(test.valuationBall_012, ball(2, 2, 0, 1, 1));
    return test;
}

// A random examination in every scale: five tests of mixed shapes, some
// presentations disabled, weights in steps of 0.5, scores in each scale's range.
Inspection randomExamination(unsigned seed)
{
    std::mt19937 random(seed);
    Inspection examination;
    const std::initializer_list<int> shapes[] = {
        {QuestionKind::Neutral, QuestionKind::Control, QuestionKind::Neutral, QuestionKind::Neutral},
        {QuestionKind::Neutral, QuestionKind::Control, QuestionKind::Test},
        {QuestionKind::Control, QuestionKind::Neutral},
        {QuestionKind::Neutral, QuestionKind::Neutral, QuestionKind::Control},
        {QuestionKind::Neutral, QuestionKind::Control, QuestionKind::Neutral, QuestionKind::Control}};
    int n = 0;
    for (const auto &kinds : shapes) {
        Inspection::_Test test = kindsTest(kinds, 3 + n % 3, n);
        for (int channel = 0; channel < 3; ++channel)
            test.valuationBall_ChannelK[channel] = float(random() % 7) * 0.5f;
        if (n % 2)
            test.valuationBall_GroupsDisabled.insert(2);
        for (int p = 1; p <= test.presentationCount(); ++p) {
            for (int q = 0; q < test.themis.size(); ++q) {
                if (random() % 5 == 0)
                    continue;  // absent entries read as zeros
                const auto range = [&random](int low, int high) { return low + int(random() % (high - low + 1)); };
                putBall(test.valuationBall_012, ball(p, q, range(0, 2), range(0, 2), range(0, 2)));
                putBall(test.valuationBall_101, ball(p, q, range(-1, 1), range(-1, 1), range(-1, 1)));
                putBall(test.valuationBall_3210123, ball(p, q, range(-3, 3), range(-3, 3), range(-3, 3)));
            }
        }
        // One scored entry not in use in each scale counts nowhere.
        const int quest = n % test.themis.size();
        putBall(test.valuationBall_012, ball(1, quest, 2, 2, 2, false));
        putBall(test.valuationBall_101, ball(1, quest, 1, -1, 1, false));
        putBall(test.valuationBall_3210123, ball(1, quest, 3, -3, 2, false));
        examination.appendTest(test);
        ++n;
    }
    return examination;
}

const BallValuationMap &scaleOf(const Inspection::_Test &test, int scale)
{
    return scale == Scale012 ? test.valuationBall_012
                             : scale == Scale101 ? test.valuationBall_101 : test.valuationBall_3210123;
}

QString figure(const QJsonValue &value, int digits)
{
    return value.isNull() ? QStringLiteral("<none>") : QString::number(value.toDouble() + 0.0, 'f', digits);
}

}  // namespace

class TestPointsNavigator : public QObject
{
    Q_OBJECT

private slots:
    void workedExampleGivesCoefficientsInTheirBands()
    {
        Inspection examination;
        examination.appendTest(workedExample());
        auto model = navigator(examination, Scale012);
        const int P = 2;
        QCOMPARE(text(cell(*model, 0, 0, P + 1)), QStringLiteral("4.0"));
        QCOMPARE(text(cell(*model, 0, 2, P + 1)), QStringLiteral("2.0"));

        const Column kinf = coefficients(*model, 0, P, NavigatorSums::Informativeness);
        QCOMPARE(kinf.texts, QStringList({"0.50", "0.25", "0.25"}));
        QCOMPARE(kinf.colors, QList<QColor>({Qt::green, Qt::red, Qt::red}));
        const Column kobsch = coefficients(*model, 0, P, NavigatorSums::Generality);
        QCOMPARE(kobsch.texts, QStringList({"0.40", "0.40", "0.20"}));
        QCOMPARE(kobsch.colors, QList<QColor>({Qt::darkYellow, Qt::darkYellow, Qt::red}));
        const Column kspec = coefficients(*model, 0, P, NavigatorSums::Specificity);
        QCOMPARE(kspec.texts, QStringList({"0.50", "0.25", "0.50"}));
        QCOMPARE(kspec.colors, QList<QColor>({Qt::green, Qt::red, Qt::green}));

        QStandardItem *coefficient = cell(*model, 0, 1, column(P, NavigatorSums::Generality));
        QVERIFY(!coefficient->isSelectable());
        QVERIFY(!coefficient->isEditable());
        QVERIFY(coefficient->toolTip().startsWith(QStringLiteral("Коэффициент информативности общий (Кобщ) отражает")));
        QCOMPARE(cell(*model, 0, 0, column(P, NavigatorSums::Informativeness))->toolTip(),
                 QStringLiteral("Коэффициент информативности (Кинф) в данном случае характеризует степень "
                                "информативности физиологического показателя (канала: Дых, КГР, Кардио).Величина "
                                "Кинфотражает относительный вклад канала в общий балл, набранный значимым стимулом "
                                "при экспертной оценке.Этот коэфиициент несёт информацию о силе связи "
                                "физиологического показателя со значимостью стимула и отражает его «способность» "
                                "(относительно других физиологических показателей) «распознавать ложь» на "
                                "проверочные вопросы.Приемлемый Кинф ≥ 0,3."));
        QVERIFY(cell(*model, 0, 2, column(P, NavigatorSums::Specificity))
                    ->toolTip()
                    .endsWith(QStringLiteral("по сравнению с реагированием на нейтральные вопросы. Приемлемый Кспециф ≥ 0,3.")));
    }

    void boundsAreComparedAsTheExaminersReadThem()
    {
        // 3/10 in single precision is 0.3000000119: dark yellow, not red.
        Inspection::_Test test = coefficientTest(3);
        putBall(test.valuationBall_3210123, ball(1, 1, 3, 3, 0));
        putBall(test.valuationBall_3210123, ball(2, 1, 0, 3, 0));
        putBall(test.valuationBall_3210123, ball(3, 1, 0, 1, 0));
        QCOMPARE(NavigatorSums::bandColor(NavigatorSums::Informativeness, 3.0f / 10.0f), QColor(Qt::darkYellow));
        QCOMPARE(NavigatorSums::bandColor(NavigatorSums::Generality, 0.5f), QColor(Qt::red));
        QCOMPARE(NavigatorSums::bandColor(NavigatorSums::Generality, 0.4999999f), QColor(Qt::darkYellow));
        QVERIFY(!NavigatorSums::bandColor(NavigatorSums::Specificity, 0.0999999f).isValid());
        QCOMPARE(NavigatorSums::bandColor(NavigatorSums::Specificity, 0.1f), QColor(Qt::red));
        QCOMPARE(NavigatorSums::bandColor(NavigatorSums::Informativeness, -0.5f), QColor(Qt::red));

        Inspection examination;
        examination.appendTest(test);
        auto model = navigator(examination, Scale3210123);
        const Column kinf = coefficients(*model, 0, 3, NavigatorSums::Informativeness);
        QCOMPARE(kinf.texts, QStringList({"0.30", "0.70", "0.00"}));
        QCOMPARE(kinf.colors, QList<QColor>({Qt::darkYellow, Qt::green, Qt::red}));
    }

    void zeroAndNegativeTotals()
    {
        Inspection examination;
        examination.appendTest(coefficientTest());
        Inspection::_Test negative = coefficientTest(2, 2);
        putBall(negative.valuationBall_3210123, ball(1, 1, 2, -1, 0));
        putBall(negative.valuationBall_3210123, ball(2, 0, -3, -3, 1));
        examination.appendTest(negative);
        auto model = navigator(examination, Scale3210123);

        // All scores 0: "Кобщ" and "Кспециф" read 0.00 without a colour, no "Кинф".
        QCOMPARE(coefficients(*model, 0, 2, NavigatorSums::Generality).texts, QStringList({"0.00", "0.00", "0.00"}));
        QCOMPARE(coefficients(*model, 0, 2, NavigatorSums::Specificity).colors,
                 QList<QColor>({QColor(), QColor(), QColor()}));
        QCOMPARE(coefficients(*model, 0, 2, NavigatorSums::Informativeness).texts,
                 QStringList({"<none>", "<none>", "<none>"}));
        QCOMPARE(text(cell(*model, 0, 1, 1)), QStringLiteral("0.0"));
        QCOMPARE(foreground(cell(*model, 0, 1, 1)), QColor(0, 0, 0));

        // G = -4: no "Кинф", the others still computed.
        QCOMPARE(coefficients(*model, 1, 2, NavigatorSums::Informativeness).texts,
                 QStringList({"<none>", "<none>", "<none>"}));
        QCOMPARE(coefficients(*model, 1, 2, NavigatorSums::Generality).texts, QStringList({"0.25", "1.00", "-0.25"}));
        QCOMPARE(coefficients(*model, 1, 2, NavigatorSums::Specificity).texts, QStringList({"-2.00", "0.25", "0.00"}));
        QCOMPARE(coefficients(*model, 1, 2, NavigatorSums::Specificity).colors,
                 QList<QColor>({QColor(), Qt::red, QColor()}));
        QCOMPARE(foreground(cell(*model, 1, 0, 2)), QColor(198, 0, 0));
        QCOMPARE(foreground(cell(*model, 1, 2, 2)), QColor(0, 198, 0));
    }

    void eachBrokenConditionHidesTheCoefficients()
    {
        using namespace QuestionKind;
        Inspection examination;
        examination.appendTest(kindsTest({Control, Neutral, Neutral}, 2));          // control first
        examination.appendTest(kindsTest({Neutral, Control, Control}, 2));          // two controls
        examination.appendTest(kindsTest({Neutral, Control, Neutral, Test}, 2));    // a test question
        examination.appendTest(kindsTest({IntP, Control}, 2));                      // no neutral
        examination.appendTest(kindsTest({Neutral, Neutral, Control}, 2));          // all met
        for (Inspection::_Test &test : examination.tests)
            putBall(test.valuationBall_012, ball(1, 1, 1, 1, 1));
        auto model = navigator(examination, Scale012);
        for (int test = 0; test < 4; ++test) {
            QCOMPARE(text(cell(*model, test, 0, 3)), QStringLiteral("1.0"));
            for (auto kind : {NavigatorSums::Informativeness, NavigatorSums::Generality, NavigatorSums::Specificity})
                QCOMPARE(coefficients(*model, test, 2, kind).texts, QStringList({"<none>", "<none>", "<none>"}));
        }
        QCOMPARE(coefficients(*model, 4, 2, NavigatorSums::Generality).texts, QStringList({"0.33", "0.33", "0.33"}));
    }

    void disabledPresentationReadsZeroInDarkGrey()
    {
        Inspection::_Test test = workedExample();
        test.valuationBall_101 = test.valuationBall_012;
        test.valuationBall_GroupsDisabled.insert(2);
        Inspection examination;
        examination.appendTest(test);
        auto model = navigator(examination, Scale101);
        QStandardItem *disabled = cell(*model, 0, 2, 2);
        QCOMPARE(text(disabled), QStringLiteral("0.0"));
        QCOMPARE(foreground(disabled), QColor(Qt::darkGray));
        QCOMPARE(foreground(cell(*model, 0, 1, 1)), QColor(0, 198, 0));
        // Totals and control points skip it: Дых 1 of the control question only.
        QCOMPARE(text(cell(*model, 0, 2, 3)), QStringLiteral("1.0"));
        QCOMPARE(text(cell(*model, 0, 0, 3)), QStringLiteral("4.0"));
        QCOMPARE(coefficients(*model, 0, 2, NavigatorSums::Generality).texts.first(), QStringLiteral("0.50"));

        QJsonObject key;
        QuestKey{0, 2, 2, -1}.toJson(key);
        QCOMPARE(disabled->data(QuestKey::Role).toJsonObject(), key);
        QVERIFY(disabled->isSelectable());
        QVERIFY(!disabled->isEditable());
    }

    void rowsColumnsAndHeaders()
    {
        Inspection examination;
        examination.appendTest(kindsTest({QuestionKind::Neutral}, 2));
        examination.tests[0].recorded = false;
        auto model = navigator(examination, Scale012);
        QCOMPARE(model->rowCount(), 0);
        QCOMPARE(headers(*model), QStringList({"Тесты и параметры", "Сумма баллов", "Кинф", "Кобщ", "Кспециф", ""}));

        examination.appendTest(kindsTest({QuestionKind::Neutral}, 52, 3));
        examination.appendTest(kindsTest({QuestionKind::Neutral, QuestionKind::Control}, 1, 4));
        model = navigator(examination, Scale012);
        const QStringList texts = headers(*model);
        QCOMPARE(texts.size(), 52 + 6);
        QCOMPARE(texts.mid(1, 4), QStringList({"I", "II", "III", "IV"}));
        QVERIFY(!texts[50].isEmpty());
        QCOMPARE(texts.mid(51, 2), QStringList({"", ""}));
        QCOMPARE(texts.mid(53), QStringList({"Сумма баллов", "Кинф", "Кобщ", "Кспециф", ""}));

        // The test row carries its index in the examination, not its row.
        QStandardItem *test = model->item(1);
        QCOMPARE(test->data(QuestKey::Role).toInt(), 2);
        QCOMPARE(test->text(), examination.tests[2].headerText());
        QVERIFY(!test->isEnabled() && !test->isSelectable());
        QCOMPARE(test->background().color(), QColor(200, 200, 200));
        QCOMPARE(test->font().weight(), 75);
        QCOMPARE(model->item(1, 53 + 3)->background().color(), QColor(200, 200, 200));
        QVERIFY(!model->item(1, 53 + 4));
        QCOMPARE(text(cell(*model, 1, 0, 0)), QStringLiteral("КГР (кгр)"));
        QCOMPARE(text(cell(*model, 1, 2, 0)), QStringLiteral("ДЫХ (дых.в/дых.н)"));
        // A shorter test leaves the presentation cells past its own empty.
        QVERIFY(cell(*model, 1, 0, 1));
        QVERIFY(!cell(*model, 1, 0, 2));
        QCOMPARE(text(cell(*model, 1, 0, 53)), QStringLiteral("0.0"));
    }

    // Two recordings of one test: the rows tell them apart, and so does the
    // workbook made from them.
    void namesakesAreToldApart()
    {
        Inspection examination;
        examination.appendTest(kindsTest({QuestionKind::Neutral, QuestionKind::Control}, 2, 5));
        examination.appendTest(kindsTest({QuestionKind::Neutral, QuestionKind::Control}, 2, 5));
        const auto model = navigator(examination, Scale012);
        const QString first = model->item(0)->text();
        QVERIFY2(first.startsWith(examination.tests[0].headerText()), qPrintable(first));
        QVERIFY(first != model->item(1)->text());
    }

    void figuresMatchTheReference()
    {
        for (int scale : {Scale012, Scale101, Scale3210123}) {
            Inspection examination = randomExamination(7 + scale);
            auto model = navigator(examination, scale);
            int P = 0;
            QJsonArray cases;
            for (const Inspection::_Test &test : examination.tests) {
                QJsonObject object = BallReference::caseOf(test, scaleOf(test, scale));
                object.insert("presentations", test.presentationCount());
                QJsonArray kinds;
                for (const InspectionTheme &theme : test.themis)
                    kinds.append(theme.Type);
                object.insert("kinds", kinds);
                cases.append(object);
                P = qMax(P, test.presentationCount());
            }
            const QJsonArray results = BallReference::run(cases);
            QCOMPARE(results.size(), examination.tests.size());
            for (int t = 0; t < results.size(); ++t) {
                const QJsonObject expected = results[t].toObject()["navigator"].toObject();
                for (int c = 0; c < 3; ++c) {
                    const QJsonArray points = expected["points"].toArray()[c].toArray();
                    for (int p = 1; p <= points.size(); ++p)
                        QCOMPARE(text(cell(*model, t, c, p)), figure(points[p - 1], 1));
                    QCOMPARE(text(cell(*model, t, c, P + 1)), figure(expected["totals"].toArray()[c], 1));
                    const char *names[] = {"kinf", "kobsch", "kspec"};
                    for (auto kind : {NavigatorSums::Informativeness, NavigatorSums::Generality, NavigatorSums::Specificity}) {
                        const QJsonValue values = expected[names[kind]];
                        const QString wanted = values.isNull() ? QStringLiteral("<none>") : figure(values.toArray()[c], 2);
                        QCOMPARE(text(cell(*model, t, c, column(P, kind))), wanted);
                    }
                }
            }
        }
    }

    void readingInsertsNoEntries()
    {
        Inspection examination = randomExamination(3);
        const auto sizes = [&examination] {
            QVector<int> all;
            for (const Inspection::_Test &test : examination.tests)
                for (const BallValuationMap *scale : {&test.valuationBall_012, &test.valuationBall_101, &test.valuationBall_3210123}) {
                    all << scale->size();
                    for (const auto &questions : *scale)
                        all << questions.size();
                }
            return all;
        };
        const QVector<int> before = sizes();
        for (int scale : {Scale012, Scale101, Scale3210123, 7})
            navigator(examination, scale);
        QCOMPARE(sizes(), before);
    }
};

VUG_TEST_MAIN(TestPointsNavigator, QApplication)
#include "tst_pointsnavigator.moc"
