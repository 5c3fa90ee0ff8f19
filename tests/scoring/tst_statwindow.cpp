#include "MetricFixtures.h"
#include "bench/BenchExamination.h"
#include "data/QuestTypeColor.h"
#include "data/SettingsStore.h"
#include "data/SharedHelpers.h"
#include "data/TestCaption.h"
#include "resources/VugResources.h"
#include "scoring/metric/InspectionAnalysisStatFancy.h"
#include "scoring/metric/StatResultTable.h"
#include "scoring/metric/StatValueClass.h"
#include "tests/data/BallFixtures.h"
#include "tests/data/StoreFixtures.h"
#include "tests/support/JsonArrays.h"
#include "tests/support/LockHolder.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TestHome.h"
#include "tests/support/UrlCatcher.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTreeView>
#include <QPointer>

#include <memory>
#include <random>

// The statistics window on subject files written by the store and read back:
// the points and metric columns against stat_window_reference.py beside this
// file, the statistical column against CMathStat on the same examination.

using namespace BallFixtures;

namespace {

constexpr int kQuestions = 4;
constexpr int kPresentations = 4;
constexpr int kNeverPresented = 3;  // in the second test
const char *const kScaleKeys[] = {"3210123", "101", "012"};

int mixedKinds(int q)
{
    return q == 1 ? int(QuestionKind::Control) : q == 3 ? int(QuestionKind::Test) : int(QuestionKind::Neutral);
}

int controlOnly(int)
{
    return QuestionKind::Control;
}

BenchTestShape smallShape(int (*kind)(int))
{
    BenchTestShape shape;
    shape.ticks = 6000;
    shape.questions = kQuestions;
    shape.presentations = kPresentations;
    shape.kind = kind;
    shape.sample = reactingSample;
    shape.interval = {15.0, 0.0, 15.0};
    return shape;
}

BallValuationMap *scaleOf(Inspection::_Test &test, int scale)
{
    BallValuationMap *scales[] = {&test.valuationBall_3210123, &test.valuationBall_101, &test.valuationBall_012};
    return scales[scale];
}

// Scores in all three scales with some places left unscored, weights that
// floats hold inexactly, entries not in use and presentation 2 disabled.
void scorePoints(Inspection::_Test &test, unsigned seed)
{
    std::mt19937 random(seed);
    const int low[] = {-3, -1, 0};
    const int high[] = {3, 1, 2};
    for (int p = 1; p <= kPresentations; ++p) {
        for (int q = 0; q < kQuestions; ++q) {
            for (int scale = 0; scale < 3; ++scale) {
                std::uniform_int_distribution<int> score(low[scale], high[scale]);
                if ((p + q + scale) % 5 != 0)
                    putBall(*scaleOf(test, scale), ball(p, q, score(random), score(random), q != 2 || p == kPresentations));
            }
        }
    }
    test.valuationBall_ChannelK[0] = 1.5f;
    test.valuationBall_ChannelK[1] = 0.7f;
    test.valuationBall_ChannelK[2] = 1.3f;
    test.valuationBall_GroupsDisabled = {2};
}

// Every mark valued by every parameter of the examination.
void measure(Inspection &examination, Inspection::_Test &test, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> value(0, 1000);
    for (const Inspection::_Label &mark : qAsConst(test.labels)) {
        for (const Inspection::_MetricParam &param : qAsConst(examination.metricParams))
            MetricFixtures::putValue(test, mark.Group, mark.Theme, param.uid, value(random));
    }
}

// A subject file of two scored recorded tests and one not recorded; the
// second test never presents its last question.
struct Subject {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Обследуемый.qmz"));

    explicit Subject(int (*kind)(int) = mixedKinds)
    {
        Inspection examination(path);
        examination.metricParams = {MetricFixtures::param(1.0), MetricFixtures::param(0.5),
                                    MetricFixtures::param(2.0, false)};
        for (int n = 0; n < 2; ++n)
            examination.appendTest(recordedTest(n, smallShape(kind)));
        for (Inspection::_Label &mark : examination.tests[1].labels) {
            if (mark.Theme == kNeverPresented)
                mark.Theme = 0;
        }
        StoreFixtures::saveTests(examination);
        for (int n = 0; n < 2; ++n) {
            Inspection::_Test &test = examination.tests[n];
            scorePoints(test, 7 + n);
            measure(examination, test, 11 + n);
            examination.saveBallValuation(&test);
            examination.saveMetricValuation(&test);
        }
        examination.saveMetricParams();
        Inspection::_Test notRecorded(QStringLiteral("Не записан"));
        notRecorded.addTheme(QStringLiteral("Вопрос?"), QuestionKind::Control, 1, -1);
        examination.appendTest(notRecorded);
        examination.saveTestStruct(&examination.tests.last());
    }

    // The examination as the editor hands it over, structures only, with the
    // parameter list the metric window reads into it.
    std::unique_ptr<Inspection> load() const
    {
        auto examination = std::make_unique<Inspection>();
        if (examination->load(path) != StoreResult::Ok || examination->loadMetricParams() != StoreResult::Ok)
            qWarning("the subject file did not load");
        return examination;
    }
};

// A window that has computed the table of a freshly loaded subject.
struct Computed {
    Subject subject;
    std::unique_ptr<Inspection> examination = subject.load();
    InspectionAnalysisStatFancy window;

    explicit Computed(int (*kind)(int) = mixedKinds) : subject(kind)
    {
        window.onChangedPersone(subject.path, examination.get());
        window.action_Calc();
    }
};

QString text(double value)
{
    return QString::asprintf("%.2lf", value);
}

QString className(const QColor &color)
{
    const StatValueClass::Class classes[] = {StatValueClass::Green, StatValueClass::Grey, StatValueClass::Red};
    const char *const names[] = {"green", "grey", "red"};
    for (int k = 0; k < 3; ++k) {
        if (color == StatValueClass::color(classes[k]))
            return QLatin1String(names[k]);
    }
    return color.name();
}

QJsonObject metricCase(const Inspection &examination, const Inspection::_Test &test)
{
    QJsonArray cells;
    QJsonArray params;
    for (int k = 0; k < examination.metricParams.size(); ++k) {
        const Inspection::_MetricParam &param = examination.metricParams[k];
        params.append(QJsonObject{{"dK", param.dK}, {"enable", param.bEnable}});
        for (int p = 1; p <= test.presentationCount(); ++p) {
            for (int q = 0; q < test.themis.size(); ++q) {
                const auto cell = test.valuationMetric.value(p).value(q);
                if (cell.contains(param.uid))
                    cells.append(QJsonArray{p, q, k, cell.value(param.uid).nValue});
            }
        }
    }
    return {{"questions", test.themis.size()}, {"presentations", test.presentationCount()},
            {"cells", cells}, {"params", params}};
}

QJsonObject referenceInput(Inspection &examination, const CMathStat &stat)
{
    QJsonArray tests;
    for (int t = 0; t < examination.tests.size(); ++t) {
        Inspection::_Test &test = examination.tests[t];
        if (!test.recorded)
            continue;
        QJsonObject scales;
        for (int scale = 0; scale < 3; ++scale)
            scales.insert(kScaleKeys[scale], entriesWithKeys(*scaleOf(test, scale)));
        QVector<double> means;
        for (int q = 0; q < test.themis.size(); ++q)
            means.append(stat.questMean(t, q));
        const float *w = test.valuationBall_ChannelK;
        tests.append(QJsonObject{{"weights", QJsonArray{double(w[0]), double(w[1]), double(w[2])}},
                                 {"disabled", toJsonArray(test.valuationBall_GroupsDisabled.values().toVector())},
                                 {"scales", scales},
                                 {"questions", test.themis.size()},
                                 {"presentations", test.presentationCount()},
                                 {"metric", metricCase(examination, test)},
                                 {"statistical", toJsonArray(means)}});
    }
    return {{"tests", tests}, {"quality", stat.quality}};
}

QJsonObject runPython(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(VUG_PYTHON), arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        qWarning() << process.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
}

QJsonArray runReference(const QJsonObject &input)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("examination.json"));
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(input).toJson(QJsonDocument::Compact)) < 0)
        return {};
    file.close();
    return runPython({VUG_SCORING_TEST_DATA "/stat_window_reference.py", file.fileName()}).value("tests").toArray();
}

QAbstractItemModel *modelOf(const InspectionAnalysisStatFancy &window)
{
    return window.tree()->model();
}

QStringList checkedToggles(InspectionAnalysisStatFancy &window)
{
    QScopedPointer<QMenu> menu(window.buildColumnMenu());
    QStringList checked;
    for (QAction *action : menu->actions()) {
        if (action->isChecked())
            checked << action->text();
    }
    return checked;
}

void triggerToggle(InspectionAnalysisStatFancy &window, int k)
{
    QScopedPointer<QMenu> menu(window.buildColumnMenu());
    menu->actions().at(k)->trigger();
}

bool isBold(const QModelIndex &index)
{
    return index.data(Qt::FontRole).value<QFont>().weight() == QFont::Bold;
}

const Qt::ItemFlags kShown = Qt::ItemIsSelectable | Qt::ItemIsEnabled;

}  // namespace

class TestStatWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initVugResources(); }
    void init() { QFile::remove(SettingsStore::filePath()); }

    void toolBarHeadersAndColumnToggles();
    void hiddenColumnSurvivesARestart();
    void classRulesAtTheirBoundaries();
    void valuesMatchTheReferenceAndTheStatisticalScoring();
    void failedFitShowsGreyZeros();
    void subjectChangeEmptiesTheTable();
    void unreadRecordingRefusesTheCalculation();
    void exportReadBackWithOpenpyxl();
    void changedInputsMarkTheTableOutOfDate_data();
    void changedInputsMarkTheTableOutOfDate();
};

void TestStatWindow::toolBarHeadersAndColumnToggles()
{
    Subject subject;
    auto examination = subject.load();
    InspectionAnalysisStatFancy window;
    QToolBar *bar = window.findChild<QToolBar *>();
    QVERIFY(bar);
    QStringList texts;
    for (QAction *action : bar->actions()) {
        texts << action->text();
        QVERIFY(!action->icon().pixmap(16).isNull());
    }
    QCOMPARE(texts, (QStringList{"Выполнить расчет", "Выполнить экспорт в MSExcel"}));
    QCOMPARE(window.columnsMask(), 31);

    window.onChangedPersone(subject.path, examination.get());
    bar->actions().first()->trigger();
    QAbstractItemModel *model = modelOf(window);
    QVERIFY(model);
    QStringList headers;
    for (int c = 0; c < model->columnCount(); ++c)
        headers << model->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(headers, (QStringList{"Тесты и вопросы", "Статистическая", "Бальная 7 (3210123)", "Бальная 3 (101)",
                                   "Бальная 3+ (012)", "Метрическая", ""}));
    QCOMPARE(window.tree()->columnWidth(0), 600);
    // Every result column shows its whole header from the first computation on.
    for (int c = 1; c <= 5; ++c)
        QVERIFY2(window.tree()->columnWidth(c) >= window.tree()->header()->sectionSizeHint(c), qPrintable(headers[c]));
    QVERIFY(window.tree()->isExpanded(model->index(1, 0)));
    QVERIFY(!window.tree()->isExpanded(model->index(0, 0, model->index(0, 0))));

    const QStringList all{"Включить колонку мат. обработки", "Включить колонку бальной оценки 3210123",
                          "Включить колонку бальной оценки 101", "Включить колонку бальной оценки 012",
                          "Включить колонку метрической оценки"};
    QCOMPARE(checkedToggles(window), all);
    for (int k = 0; k < 5; ++k) {
        triggerToggle(window, k);
        QCOMPARE(window.columnsMask(), 31 & ~(1 << k));
        QVERIFY(window.tree()->isColumnHidden(k + 1));
        QVERIFY(!checkedToggles(window).contains(all[k]));
        QCOMPARE(checkedToggles(window).size(), 4);
        triggerToggle(window, k);
        QCOMPARE(window.columnsMask(), 31);
        QVERIFY(!window.tree()->isColumnHidden(k + 1));
    }
    QVERIFY(!window.tree()->isColumnHidden(0));
    QVERIFY(!window.tree()->isColumnHidden(6));
}

void TestStatWindow::hiddenColumnSurvivesARestart()
{
    {
        InspectionAnalysisStatFancy window;
        triggerToggle(window, 2);
        QCOMPARE(window.columnsMask(), 27);
        auto settings = SettingsStore::open();
        QVERIFY(!settings->contains(QStringLiteral("InspectionAnalysisStatFancy/ulColumnsMask")));
    }
    auto settings = SettingsStore::open();
    QCOMPARE(settings->value(QStringLiteral("InspectionAnalysisStatFancy/ulColumnsMask")).toInt(), 27);

    Computed computed;
    InspectionAnalysisStatFancy &window = computed.window;
    QCOMPARE(window.columnsMask(), 27);
    QCOMPARE(checkedToggles(window).size(), 4);
    for (int c = 0; c < 7; ++c)
        QCOMPARE(window.tree()->isColumnHidden(c), c == 3);
}

void TestStatWindow::classRulesAtTheirBoundaries()
{
    using C = StatValueClass;
    QCOMPARE(C::points012(5.0), C::Green);
    QCOMPARE(C::points012(5.01), C::Red);
    QCOMPARE(C::points012(-0.5), C::Green);
    QCOMPARE(C::points012(0.0), C::Grey);

    QCOMPARE(C::signedPoints(-0.01), C::Red);
    QCOMPARE(C::signedPoints(0.0), C::Grey);
    QCOMPARE(C::signedPoints(0.01), C::Green);

    const double low = -1.25, high = 2.5;
    QCOMPARE(C::metric(low, low, high), C::Green);
    QCOMPARE(C::metric(-1.2, low, high), C::Grey);
    QCOMPARE(C::metric(2.49, low, high), C::Grey);
    QCOMPARE(C::metric(high, low, high), C::Red);
    QCOMPARE(C::metric(0.0, 0.0, 0.0), C::Grey);  // nothing measured

    const double quality = 0.4;
    QCOMPARE(C::statistical(-0.001, quality), C::Green);
    QCOMPARE(C::statistical(0.001, quality), C::Grey);
    QCOMPARE(C::statistical(0.399, quality), C::Grey);
    QCOMPARE(C::statistical(quality, quality), C::Red);
    QCOMPARE(C::statistical(0.0, 0.0), C::Grey);  // a failed fit
    QCOMPARE(C::statistical(0.0, -1.0), C::Grey);

    QCOMPARE(C::color(C::Green), QColor(80, 150, 80));
    QCOMPARE(C::color(C::Grey), QColor(180, 180, 180));
    QCOMPARE(C::color(C::Red), QColor(150, 80, 80));
}

void TestStatWindow::valuesMatchTheReferenceAndTheStatisticalScoring()
{
    Computed computed;
    QAbstractItemModel *model = modelOf(computed.window);

    auto other = computed.subject.load();
    CMathStat stat;
    stat.calcAll(other.get());
    QVERIFY(stat.quality > 0.0);
    const QJsonArray expected = runReference(referenceInput(*other, stat));
    QCOMPARE(expected.size(), 2);
    QCOMPARE(model->rowCount(), 2);  // the test without a recording has no row

    QSet<QString> classesSeen;
    for (int t = 0; t < 2; ++t) {
        const Inspection::_Test &test = other->tests[t];
        const QModelIndex testRow = model->index(t, 0);
        QCOMPARE(testRow.data().toString(), test.headerText());
        QVERIFY(isBold(testRow));
        QCOMPARE(model->flags(testRow), kShown);
        QCOMPARE(model->rowCount(testRow), kQuestions);
        const QJsonArray questions = expected[t]["questions"].toArray();
        for (int q = 0; q < kQuestions; ++q) {
            const QJsonObject wanted = questions[q].toObject();
            const QModelIndex name = model->index(q, 0, testRow);
            QCOMPARE(name.data().toString(), test.themis[q].Theme);
            QCOMPARE(name.data(Qt::ForegroundRole).value<QBrush>().color(), questTypeColor(test.themis[q].Type));
            QCOMPARE(model->flags(name), kShown);
            QCOMPARE(wanted["texts"][0].toString(), text(stat.questMean(t, q)));
            for (int c = 1; c <= 5; ++c) {
                const QModelIndex cell = model->index(q, c, testRow);
                const QString where = QString("test %1, question %2, column %3").arg(t).arg(q).arg(c);
                QVERIFY2(cell.data().toString() == wanted["texts"][c - 1].toString(),
                         qPrintable(where + ": " + cell.data().toString() + " against " + wanted["texts"][c - 1].toString()));
                const QString cls = className(cell.data(Qt::ForegroundRole).value<QBrush>().color());
                QVERIFY2(cls == wanted["classes"][c - 1].toString(), qPrintable(where + ": " + cls));
                classesSeen << QString("%1 %2").arg(c).arg(cls);
                QVERIFY(isBold(cell));
                QCOMPARE(cell.data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight));
                QCOMPARE(model->flags(cell), kShown);
            }
            QVERIFY(model->index(q, 6, testRow).data().toString().isEmpty());

            const QJsonArray presentations = wanted["presentations"].toArray();
            QCOMPARE(model->rowCount(name), kPresentations);
            for (int p = 0; p < kPresentations; ++p) {
                QCOMPARE(model->index(p, 0, name).data().toString(), "Группа: " + romanNumeral(p + 1));
                QCOMPARE(model->index(p, 1, name).data().toString(), text(stat.valueAt(t, p, q)));
                for (int c = 1; c <= 6; ++c) {
                    const QModelIndex cell = model->index(p, c, name);
                    if (c >= 2 && c <= 4)
                        QCOMPARE(cell.data().toString(), presentations[p][c - 2].toString());
                    if (c >= 5)
                        QVERIFY(cell.data().toString().isEmpty());
                    QVERIFY(!cell.data(Qt::ForegroundRole).isValid());
                    QVERIFY(!isBold(cell));
                    QCOMPARE(cell.data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight));
                    QCOMPARE(model->flags(cell), kShown);
                    const QByteArray place = cell.data(StatResultTable::PlaceRole).toByteArray();
                    const char wantedPlace[] = {char(t), char(p + 1), char(q), char(c - 1)};
                    QCOMPARE(place, QByteArray(wantedPlace, 4));
                }
            }
        }
    }
    // The examination gives every column more than one class.
    for (const char *seen : {"1 green", "1 red", "2 green", "2 red", "4 green", "4 red", "5 green", "5 red", "5 grey"})
        QVERIFY2(classesSeen.contains(seen), seen);

    // The question never presented: grey zeros in the statistical column,
    // in its row and in every presentation row.
    const QModelIndex never = model->index(kNeverPresented, 0, model->index(1, 0));
    QCOMPARE(never.siblingAtColumn(1).data().toString(), QStringLiteral("0.00"));
    QCOMPARE(className(never.siblingAtColumn(1).data(Qt::ForegroundRole).value<QBrush>().color()), QStringLiteral("grey"));
    for (int p = 0; p < kPresentations; ++p)
        QCOMPARE(model->index(p, 1, never).data().toString(), QStringLiteral("0.00"));
}

void TestStatWindow::failedFitShowsGreyZeros()
{
    Computed computed(controlOnly);
    auto examination = computed.subject.load();
    StatResultTable table(*examination);
    table.score();
    QCOMPARE(table.quality(), 0.0);

    QAbstractItemModel *model = modelOf(computed.window);
    QCOMPARE(model->rowCount(), 2);
    for (int t = 0; t < 2; ++t) {
        for (int q = 0; q < kQuestions; ++q) {
            const QModelIndex question = model->index(q, 1, model->index(t, 0));
            QCOMPARE(question.data().toString(), QStringLiteral("0.00"));
            QCOMPARE(className(question.data(Qt::ForegroundRole).value<QBrush>().color()), QStringLiteral("grey"));
            for (int p = 0; p < kPresentations; ++p)
                QCOMPARE(model->index(p, 1, question.siblingAtColumn(0)).data().toString(), QStringLiteral("0.00"));
        }
    }
}

void TestStatWindow::subjectChangeEmptiesTheTable()
{
    InspectionAnalysisStatFancy window;
    window.action_Calc();  // no examination: nothing happens
    QVERIFY(!modelOf(window));

    Subject subject;
    auto examination = subject.load();
    window.onChangedPersone(subject.path, examination.get());
    QVERIFY(!modelOf(window));
    window.action_Calc();
    QCOMPARE(modelOf(window)->rowCount(), 2);
    QPointer<QAbstractItemModel> first = modelOf(window);
    window.action_Calc();
    QVERIFY(!first);  // every computation builds a new table
    QCOMPARE(modelOf(window)->rowCount(), 2);

    auto second = subject.load();
    window.onChangedPersone(subject.path, second.get());
    QVERIFY(!modelOf(window));
    window.action_ExportExcel();  // nothing to export, nothing asked
    window.onChangedPersone(QString(), nullptr);
    window.action_Calc();
    QVERIFY(!modelOf(window));
}

// A calculation over the readable tests alone would pass for one over all.
void TestStatWindow::unreadRecordingRefusesTheCalculation()
{
    Computed computed;
    QVERIFY(modelOf(computed.window));
    auto examination = computed.subject.load();
    QCOMPARE(examination->loadRecording(&examination->tests[0]), StoreResult::Ok);
    computed.window.onChangedPersone(computed.subject.path, examination.get());
    {
        LockHolder lock(computed.subject.path, QStringLiteral("BEGIN EXCLUSIVE"));
        QVERIFY(lock.isHeld());
        MessageBoxAnswerer answerer({QMessageBox::Cancel});
        computed.window.action_Calc();
        QCOMPARE(answerer.asked().size(), 1);
        QVERIFY(answerer.asked()[0].contains(QStringLiteral("файл занят другой программой")));
        QVERIFY(answerer.asked()[0].contains(testCaption(*examination, 1)));
        QVERIFY(!answerer.asked()[0].contains(testCaption(*examination, 0)));
        QVERIFY(!modelOf(computed.window));
        QVERIFY(!examination->tests[1].samplesLoaded());
    }
    computed.window.action_Calc();
    QCOMPARE(modelOf(computed.window)->rowCount(), 2);
}

void TestStatWindow::exportReadBackWithOpenpyxl()
{
    Computed computed;
    InspectionAnalysisStatFancy &window = computed.window;
    window.onShowBall101ColumnAction();
    UrlCatcher catcher;
    window.action_ExportExcel();
    QCOMPARE(catcher.urls.size(), 1);
    const QString path = catcher.urls.first().toLocalFile();
    const QJsonObject cells = runPython({QStringLiteral(VUG_XLSX_READER), path}).value("cells").toObject();
    QFile::remove(path);
    const auto cell = [&cells](const QString &name) { return cells.value(name).toObject(); };

    // Visible columns with a header; "Бальная 3 (101)" is hidden.
    QCOMPARE(cell("A1")["value"].toString(), QStringLiteral("Тесты и вопросы"));
    QCOMPARE(cell("B1")["value"].toString(), QStringLiteral("Статистическая"));
    QCOMPARE(cell("C1")["value"].toString(), QStringLiteral("Бальная 7 (3210123)"));
    QCOMPARE(cell("D1")["value"].toString(), QStringLiteral("Бальная 3+ (012)"));
    QCOMPARE(cell("E1")["value"].toString(), QStringLiteral("Метрическая"));
    QVERIFY(!cells.contains("F1"));
    QVERIFY(cell("A1")["bold"].toBool());

    // Each test, bold, then its questions as numbers; presentations stay out.
    QAbstractItemModel *model = modelOf(window);
    const int sourceColumns[] = {1, 2, 4, 5};
    const char letters[] = {'B', 'C', 'D', 'E'};
    int row = 2;
    for (int t = 0; t < 2; ++t) {
        const QModelIndex test = model->index(t, 0);
        QCOMPARE(cell(QString("A%1").arg(row))["value"].toString(), test.data().toString());
        QVERIFY(cell(QString("A%1").arg(row))["bold"].toBool());
        for (int q = 0; q < kQuestions; ++q) {
            const int at = row + 1 + q;
            QCOMPARE(cell(QString("A%1").arg(at))["value"].toString(), model->index(q, 0, test).data().toString());
            for (int k = 0; k < 4; ++k) {
                const QJsonObject value = cell(QString("%1%2").arg(letters[k]).arg(at));
                QCOMPARE(value["type"].toString(), QStringLiteral("n"));
                QCOMPARE(text(value["value"].toDouble()), model->index(q, sourceColumns[k], test).data().toString());
            }
        }
        row += 2 + kQuestions;
    }
    QVERIFY(!cells.contains(QString("A%1").arg(row)));
}

using ChangeInputs = void (*)(Inspection &);
Q_DECLARE_METATYPE(ChangeInputs)

void TestStatWindow::changedInputsMarkTheTableOutOfDate_data()
{
    QTest::addColumn<ChangeInputs>("change");
    QTest::newRow("a point score") << ChangeInputs([](Inspection &e) {
        putBall(e.tests[0].valuationBall_3210123, ball(1, 0, 0, 0, 0));
    });
    QTest::newRow("a channel weight") << ChangeInputs([](Inspection &e) { e.tests[1].valuationBall_ChannelK[1] = 2.0f; });
    QTest::newRow("a measured value") << ChangeInputs([](Inspection &e) {
        MetricFixtures::putValue(e.tests[0], e.tests[0].labels[0].Group, e.tests[0].labels[0].Theme,
                                 e.metricParams[0].uid, 1234);
    });
    QTest::newRow("a parameter's weight") << ChangeInputs([](Inspection &e) { e.metricParams[1].dK = 3.0; });
}

void TestStatWindow::changedInputsMarkTheTableOutOfDate()
{
    QFETCH(ChangeInputs, change);
    Computed computed;
    InspectionAnalysisStatFancy &window = computed.window;
    const auto noteShown = [&window] {
        for (const QLabel *label : window.findChildren<QLabel *>()) {
            if (label->text() == QStringLiteral("Оценки изменились после расчета: выполните расчет заново"))
                return !label->isHidden();
        }
        return false;
    };
    window.show();
    QVERIFY(!window.isOutOfDate());
    QVERIFY(!noteShown());

    change(*computed.examination);
    window.hide();
    window.show();  // back from the window where the score changed
    QVERIFY(window.isOutOfDate());
    QVERIFY(noteShown());

    // The export asks first; Yes calculates anew before writing.
    UrlCatcher catcher;
    MessageBoxAnswerer answers({QMessageBox::Yes});
    window.action_ExportExcel();
    QCOMPARE(answers.asked().size(), 1);
    QCOMPARE(catcher.urls.size(), 1);
    QFile::remove(catcher.urls.first().toLocalFile());
    QVERIFY(!window.isOutOfDate());
    QVERIFY(!noteShown());
}

VUG_TEST_MAIN(TestStatWindow, QApplication)
#include "tst_statwindow.moc"
