#include "MetricFixtures.h"

#include "scoring/metric/DefMertValuation.h"
#include "scoring/metric/InspectionAnalysisMetrFancy.h"
#include "scoring/metric/ValuationMetrAutoParamDlg.h"
#include "scoring/metric/ValuationMetrEditParamDlg.h"
#include "scoring/metric/ValuationMetrSpravParamDlg.h"
#include "data/SpravDB.h"
#include "scoring/metric/_QHeaderView.h"
#include "scoring/metric/_QTreeView.h"
#include "data/SettingsStore.h"
#include "tests/data/StoreFixtures.h"
#include "tests/support/MenuActions.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TestHome.h"
#include "tests/support/UrlCatcher.h"
#include "tests/support/WorkbookCells.h"

#include <QApplication>
#include <QDockWidget>
#include <QHeaderView>
#include <QJsonArray>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QTextEdit>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

constexpr int kUidRole = Qt::UserRole + 1;

// A subject file with recorded tests, metric parameters and measured values,
// and its examination as the editor announces it.
struct Subject {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Обследуемый.qmz"));
    Inspection examination;

    Subject() { examination.path = path; }

    // A recorded test whose marks hold the given complete presentations.
    Inspection::_Test &addTest(const QString &name, int questions, int presentations)
    {
        Inspection::_Test test = MetricFixtures::presentedTest(questions, presentations);
        test.name = name;
        test.dataGSR = QVector<qint16>(50, 7);
        examination.appendTest(test);
        Inspection::_Test &added = examination.tests.last();
        examination.saveTestStruct(&added);
        examination.saveRecording(&added);
        return added;
    }

    QUuid addParam(const QString &name, double weight, bool enabled = true, bool automatic = false)
    {
        Inspection::_MetricParam param = MetricFixtures::param(weight, enabled);
        param.Name = name;
        param.bAuto = automatic;
        param.nKodChannel = 0;
        param.eMet = 2;
        examination.metricParams.append(param);
        examination.saveMetricParams();
        return param.uid;
    }

    // Tests "Тест А" and "Тест Б", both measured by the parameter "Амплитуда".
    QUuid addTwoMeasuredTests()
    {
        addTest(QStringLiteral("Тест А"), 3, 1);
        addTest(QStringLiteral("Тест Б"), 3, 1);
        const QUuid uid = addParam(QStringLiteral("Амплитуда"), 1.0);
        measure(0, uid, {{1, 2, 3}});
        measure(1, uid, {{3, 2, 1}});
        return uid;
    }

    // values[p - 1][q] of one parameter in a test.
    void measure(int test, const QUuid &uid, const QVector<QVector<int>> &values)
    {
        Inspection::_Test &target = examination.tests[test];
        for (int p = 0; p < values.size(); ++p) {
            for (int q = 0; q < values[p].size(); ++q)
                MetricFixtures::putValue(target, p + 1, q, uid, values[p][q]);
        }
        examination.saveMetricValuation(&target);
    }

    // The examination as a fresh one reads it back from the file.
    std::unique_ptr<Inspection> reopened() const
    {
        auto fresh = std::make_unique<Inspection>();
        fresh->load(path);
        fresh->loadMetricParams();
        for (Inspection::_Test &test : fresh->tests)
            fresh->loadRecording(&test, true);
        return fresh;
    }
};

QStandardItemModel *modelOf(const InspectionAnalysisMetrFancy &window)
{
    return static_cast<QStandardItemModel *>(window.resultsTree()->model());
}

QModelIndex questIndex(const InspectionAnalysisMetrFancy &window, int test, int quest, int column)
{
    const QAbstractItemModel *model = window.resultsTree()->model();
    return model->index(quest, column, model->index(test, 0));
}

QModelIndex valueIndex(const InspectionAnalysisMetrFancy &window, int test, int quest, int presentation, int column)
{
    const QAbstractItemModel *model = window.resultsTree()->model();
    return model->index(presentation - 1, column, questIndex(window, test, quest, 0));
}

// One column of the question rows of a test, as shown.
QStringList questColumn(const InspectionAnalysisMetrFancy &window, int test, int column)
{
    QStringList texts;
    const QAbstractItemModel *model = window.resultsTree()->model();
    for (int q = 0; q < model->rowCount(model->index(test, 0)); ++q)
        texts << questIndex(window, test, q, column).data().toString();
    return texts;
}

// Every text of the results with its place, for comparing whole trees.
QStringList allTexts(const QAbstractItemModel *model, const QModelIndex &parent = QModelIndex())
{
    QStringList texts;
    for (int row = 0; row < model->rowCount(parent); ++row) {
        for (int column = 0; column < model->columnCount(parent); ++column) {
            const QModelIndex index = model->index(row, column, parent);
            texts << QStringLiteral("%1/%2:%3:%4").arg(row).arg(column).arg(index.data().toString(),
                                                                         index.data(Qt::ForegroundRole).toString());
        }
        texts << allTexts(model, model->index(row, 0, parent));
    }
    return texts;
}

QVector<QUuid> uidsOf(const QVector<Inspection::_MetricParam> &params)
{
    QVector<QUuid> uids;
    for (const Inspection::_MetricParam &param : params)
        uids << param.uid;
    return uids;
}

int metricRows(const QString &path)
{
    return StoreFixtures::rowsOf(path, int(InspectionDataType::MetricValuation)).size();
}

// Acts in the next modal dialog of that class once it runs.
template <typename Dialog>
void answerModal(const std::function<void(Dialog &)> &act)
{
    QTimer::singleShot(0, [act] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        act(*dialog);
    });
}

// A recorded test whose skin-galvanic channel rises in a wave of 400 after
// each question; the marks start 100 samples apart.
Inspection::_Test wavingTest(const QString &name, int questions, int presentations)
{
    Inspection::_Test test = MetricFixtures::presentedTest(questions, presentations);
    test.name = name;
    test.ia.nIALength = 2;
    for (int k = 0; k < test.labels.size(); ++k) {
        test.labels[k].TickQStart = 50 + 100 * k;
        test.labels[k].TickQEnd = 70 + 100 * k;
    }
    test.dataGSR.resize(100 * test.labels.size() + 100);
    for (int i = 0; i < test.dataGSR.size(); ++i) {
        const int phase = (i - 50) % 100;
        test.dataGSR[i] = qint16(phase >= 20 && phase <= 60 ? 900 - 20 * std::abs(phase - 40) : 500);
    }
    return test;
}

} // namespace

class TestMetricWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { QFile::remove(SettingsStore::filePath()); }

    void workedExampleAndTheSignOfAWeight()
    {
        Subject subject;
        subject.addTest(QStringLiteral("Тест"), 3, 1);
        const QUuid uid = subject.addParam(QStringLiteral("Амплитуда"), 1.0);
        subject.measure(0, uid, {{1, 2, 3}});
        InspectionAnalysisMetrFancy window;
        window.onChangedPersone(subject.path, &subject.examination);

        QCOMPARE(questColumn(window, 0, 1), QStringList({"-1.22", "0.00", "1.22"}));
        QCOMPARE(questColumn(window, 0, 2), QStringList({"-1.22", "0.00", "1.22"}));
        QCOMPARE(questColumn(window, 0, 3), QStringList({"0.10", "0.10", "0.70"}));
        QCOMPARE(questColumn(window, 0, 4), QStringList({"-1.22", "0.00", "1.22"}));
        QCOMPARE(window.resultsHeader()->sectionColour(4), QColor(Qt::green));

        window.sectionHandleDoubleClicked(1);  // "ИП" carries no parameter
        QCOMPARE(subject.reopened()->metricParams.first().dK, 1.0);
        window.sectionHandleDoubleClicked(4);
        QCOMPARE(questColumn(window, 0, 1), QStringList({"1.22", "0.00", "-1.22"}));
        QCOMPARE(questColumn(window, 0, 2), QStringList({"1.22", "0.00", "-1.22"}));
        QCOMPARE(window.resultsHeader()->sectionColour(4), QColor(Qt::red));
        QCOMPARE(subject.reopened()->metricParams.first().dK, -1.0);
        QCOMPARE(window.paramTable()->model()->index(0, 4).data().toString(), QStringLiteral("-1.00"));

        // Opposite presentations cancel: every sum is equal, so t and its level are 0.
        Subject opposite;
        opposite.addTest(QStringLiteral("Тест"), 3, 2);
        const QUuid other = opposite.addParam(QStringLiteral("Амплитуда"), 1.0);
        opposite.measure(0, other, {{1, 2, 3}, {3, 2, 1}});
        window.onChangedPersone(opposite.path, &opposite.examination);
        for (int column = 1; column <= 4; ++column)
            QCOMPARE(questColumn(window, 0, column), QStringList({"0.00", "0.00", "0.00"}));
    }

    void aRandomCaseAgreesWithNumpy()
    {
        Subject subject;
        const int questions = 9, presentations = 4, params = 5;
        subject.addTest(QStringLiteral("Случайный"), questions, presentations);
        QRandomGenerator random(34);
        QJsonArray weights, enabled, values;
        QVector<QUuid> uids;
        for (int k = 0; k < params; ++k) {
            const double weight = random.bounded(-20, 21) / 10.0;
            uids << subject.addParam(QStringLiteral("П%1").arg(k), weight, k != 2);
            weights << weight;
            enabled << (k != 2);
        }
        for (int p = 1; p <= presentations; ++p) {
            QJsonArray byQuestion;
            for (int q = 0; q < questions; ++q) {
                QJsonArray byParam;
                for (int k = 0; k < params; ++k) {
                    const int value = k == 4 ? 5 : random.bounded(0, 200);  // one constant parameter
                    MetricFixtures::putValue(subject.examination.tests[0], p, q, uids[k], value);
                    byParam << value;
                }
                byQuestion << byParam;
            }
            values << byQuestion;
        }
        subject.examination.saveMetricValuation(&subject.examination.tests[0]);

        QTemporaryDir dir;
        QFile input(dir.filePath(QStringLiteral("case.json")));
        QVERIFY(input.open(QIODevice::WriteOnly));
        input.write(QJsonDocument(QJsonObject{{"weights", weights}, {"enabled", enabled}, {"values", values}}).toJson());
        input.close();
        QProcess reference;
        reference.start(QStringLiteral(VUG_PYTHON), {QStringLiteral(VUG_METRIC_WINDOW_REFERENCE), input.fileName()});
        QVERIFY(reference.waitForFinished(30000));
        QCOMPARE(reference.exitCode(), 0);
        const QJsonObject expected = QJsonDocument::fromJson(reference.readAllStandardOutput()).object();

        InspectionAnalysisMetrFancy window;
        window.onChangedPersone(subject.path, &subject.examination);
        const auto near = [](const QString &shown, double value) { return qAbs(shown.toDouble() - value) <= 0.0051; };
        for (int q = 0; q < questions; ++q) {
            QVERIFY2(near(questIndex(window, 0, q, 1).data().toString(), expected["sums"].toArray()[q].toDouble()),
                     qPrintable(QString::number(q)));
            QVERIFY(near(questIndex(window, 0, q, 2).data().toString(), expected["t"].toArray()[q].toDouble()));
            for (int k = 0; k < params; ++k)
                QVERIFY(near(questIndex(window, 0, q, 4 + k).data().toString(),
                             expected["columns"].toArray()[q].toArray()[k].toDouble()));
        }
    }

    void mendedCases()
    {
        Subject subject;
        subject.addTest(QStringLiteral("Первый"), 3, 1);
        Inspection::_Test &broken = subject.addTest(QStringLiteral("Прерванный"), 3, 1);
        broken.labels.removeLast();  // the only presentation is incomplete
        subject.examination.saveRecording(&broken);
        subject.addTest(QStringLiteral("Третий"), 35, 1);
        const QUuid uid = subject.addParam(QStringLiteral("Амплитуда"), 1.0);
        subject.measure(0, uid, {{1, 2, 3}});
        QVector<int> rising;
        for (int q = 0; q < 35; ++q)
            rising << q;
        subject.measure(2, uid, {rising});

        InspectionAnalysisMetrFancy window;
        window.onChangedPersone(subject.path, &subject.examination);
        QStandardItemModel *model = modelOf(window);
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(questColumn(window, 1, 1), QStringList({"", "", ""}));
        QCOMPARE(model->rowCount(model->index(1, 0)), 3);
        QCOMPARE(model->rowCount(questIndex(window, 1, 0, 0)), 0);
        QCOMPARE(questColumn(window, 0, 1), QStringList({"-1.22", "0.00", "1.22"}));
        // 35 questions lie between tabulated rows and are read on the row below.
        const QStringList levels = questColumn(window, 2, 3);
        QCOMPARE(levels.size(), 35);
        QVERIFY(levels.last().toDouble() >= 0.9);
        QCOMPARE(levels.count(QStringLiteral("0.00")), 0);

        // An empty announcement lets go of the examination and shows nothing of it.
        window.resultsTree()->setCurrentIndex(valueIndex(window, 0, 0, 1, 4));
        window.onChangedPersone(QString(), nullptr);
        QVERIFY(!window.inspection());
        QCOMPARE(modelOf(window)->rowCount(), 0);
        QCOMPARE(window.paramTable()->model()->rowCount(), 0);
        MessageBoxAnswerer answers;
        window.onClearAllAction();
        window.onDeleteAllParamAction();
        window.sectionHandleDoubleClicked(4);
        window.reload();
        QCOMPARE(answers.asked().size(), 0);
    }

    void resultsRowsCellsAndRefresh()
    {
        Subject subject;
        Inspection::_Test &test = subject.addTest(QStringLiteral("Тест"), 2, 2);
        test.themis[0] = Inspection::_Theme(QStringLiteral("Контроль?"), QuestionKind::Control);
        test.themis[1] = Inspection::_Theme(QStringLiteral("Имя?"), QuestionKind::IntI);
        subject.examination.saveTestStruct(&test);
        subject.addTest(QStringLiteral("Не записан"), 2, 0).recorded = false;
        const QUuid first = subject.addParam(QStringLiteral("Первый"), 1.0);
        subject.addParam(QStringLiteral("Выключен"), 1.0, false);
        const QUuid third = subject.addParam(QStringLiteral("Третий"), -0.5);
        subject.measure(0, first, {{4, 0}, {0, 2}});
        const int storedRows = metricRows(subject.path);
        const int cellsInMemory = subject.examination.tests[0].valuationMetric.value(1).value(0).size();

        InspectionAnalysisMetrFancy window;
        window.onChangedPersone(subject.path, &subject.examination);
        QStandardItemModel *model = modelOf(window);
        QStringList headers;
        for (int column = 0; column < model->columnCount(); ++column)
            headers << model->horizontalHeaderItem(column)->text();
        QCOMPARE(headers, QStringList({"Тесты и вопросы", "ИП", "Кр.Стьюдента", "Вероятность", "Первый", "Выключен",
                                       "Третий", ""}));
        QVERIFY(window.resultsTree()->isColumnHidden(5));
        QVERIFY(!window.resultsTree()->isColumnHidden(6));
        QCOMPARE(window.resultsHeader()->sectionColour(6), QColor(Qt::red));
        QCOMPARE(model->rowCount(), 1);  // the unrecorded test has no row
        QCOMPARE(model->index(0, 0).data(kUidRole).toInt(), 0);
        QCOMPARE(questColumn(window, 0, 0), QStringList({"01К Контроль?", "02I Имя?"}));
        QCOMPARE(questIndex(window, 0, 0, 0).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 0, 127));
        QCOMPARE(questIndex(window, 0, 1, 0).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 127, 0));
        QCOMPARE(valueIndex(window, 0, 0, 2, 0).data().toString(), QStringLiteral("Группа: II"));

        const QModelIndex positive = valueIndex(window, 0, 0, 1, 4);
        QCOMPARE(positive.data().toString(), QStringLiteral("4"));
        QCOMPARE(positive.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 200, 0));
        QCOMPARE(positive.data(kUidRole).toJsonArray(), QJsonArray({0, 1, 0, first.toString()}));
        const QModelIndex zero = valueIndex(window, 0, 1, 1, 6);
        QCOMPARE(zero.data().toString(), QStringLiteral("0"));
        QVERIFY(!zero.data(Qt::ForegroundRole).isValid());
        QCOMPARE(zero.data(kUidRole).toJsonArray(), QJsonArray({0, 1, 1, third.toString()}));
        QVERIFY(zero.flags() & Qt::ItemIsSelectable);
        QVERIFY(!(questIndex(window, 0, 0, 1).flags() & Qt::ItemIsSelectable));

        // Showing the results stores nothing and adds no records in memory.
        QCOMPARE(metricRows(subject.path), storedRows);
        QCOMPARE(subject.examination.tests[0].valuationMetric.value(1).value(0).size(), cellsInMemory);

        window.resultsTree()->setCurrentIndex(zero);
        const QStringList built = allTexts(model);
        window.fillResultsTree(true);
        QCOMPARE(modelOf(window), model);
        QCOMPARE(allTexts(model), built);
        QCOMPARE(window.resultsTree()->currentIndex(), zero);
    }

    void nextCellWalksPresentationsQuestionsAndColumns()
    {
        Subject subject;
        subject.addTest(QStringLiteral("Тест"), 2, 2);
        subject.addParam(QStringLiteral("А"), 1.0);
        subject.addParam(QStringLiteral("Выключен"), 1.0, false);
        subject.addParam(QStringLiteral("В"), 1.0);
        InspectionAnalysisMetrFancy window;
        window.onChangedPersone(subject.path, &subject.examination);
        QTreeView *tree = window.resultsTree();

        tree->setCurrentIndex(valueIndex(window, 0, 0, 1, 4));
        window.selectNextCell();
        QCOMPARE(tree->currentIndex(), valueIndex(window, 0, 0, 2, 4));
        window.selectNextCell();
        QCOMPARE(tree->currentIndex(), valueIndex(window, 0, 1, 1, 4));
        window.selectNextCell();
        window.selectNextCell();
        QCOMPARE(tree->currentIndex(), valueIndex(window, 0, 0, 1, 6));  // the hidden column is passed
        tree->setCurrentIndex(valueIndex(window, 0, 1, 2, 6));
        window.selectNextCell();
        QVERIFY(tree->selectionModel()->selectedIndexes().isEmpty());
    }

    void parameterChangesAreSavedAtOnce()
    {
        Subject subject;
        subject.addTest(QStringLiteral("Тест"), 3, 1);
        subject.addParam(QStringLiteral("Ручной"), 1.0);
        const QUuid automatic = subject.addParam(QStringLiteral("Авто"), 2.0, true, true);
        subject.examination.metricParams[1].sDescription = QStringLiteral("Канал КГР\nАмплитуда\nрежим-1");
        subject.examination.metricParams[0].sDescription = QStringLiteral("Первая\nвторая");
        subject.examination.saveMetricParams();
        InspectionAnalysisMetrFancy window;
        window.onChangedPersone(subject.path, &subject.examination);
        QAbstractItemModel *table = window.paramTable()->model();
        QCOMPARE(table->index(1, 3).data().toString(), QStringLiteral("По оси Y(А)"));
        QCOMPARE(table->index(0, 2).data().toString(), QStringLiteral("КГР"));

        window.paramTable()->setCurrentIndex(table->index(1, 1));
        QCOMPARE(window.descriptionBox()->toPlainText(), QStringLiteral("Амплитуда"));
        window.paramTable()->setCurrentIndex(table->index(0, 1));
        QCOMPARE(window.descriptionBox()->toPlainText(), QStringLiteral("Первая\nвторая"));

        // The check box is the parameter's share in the results.
        auto *check = static_cast<QStandardItemModel *>(table)->item(1, 0);
        check->setCheckState(Qt::Unchecked);
        QVERIFY(!subject.reopened()->metricParams[1].bEnable);
        QVERIFY(window.resultsTree()->isColumnHidden(5));

        Inspection::_MetricParam chosen = MetricFixtures::param(1.0);
        chosen.Name = QStringLiteral("Из справочника");
        window.setManualParams({chosen});
        QCOMPARE(uidsOf(subject.reopened()->metricParams), QVector<QUuid>({chosen.uid, automatic}));
        Inspection::_MetricParam ticked = MetricFixtures::param(1.0);
        ticked.bAuto = true;
        window.setAutoParams({ticked});
        QCOMPARE(uidsOf(subject.reopened()->metricParams), QVector<QUuid>({chosen.uid, ticked.uid}));
        window.appendParam(MetricFixtures::param(3.0));
        QCOMPARE(subject.reopened()->metricParams.size(), 3);
        Inspection::_MetricParam edited = subject.examination.metricParams[0];
        edited.dK = 0.25;
        window.replaceParam(chosen.uid, edited);
        QCOMPARE(subject.reopened()->metricParams[0].dK, 0.25);
        QCOMPARE(modelOf(window)->columnCount(), 4 + 3 + 1);

        // One parameter goes without a question, all of them only after one.
        MessageBoxAnswerer answers({QMessageBox::No, QMessageBox::Yes});
        window.paramTable()->setCurrentIndex(window.paramTable()->model()->index(1, 1));
        QScopedPointer<QMenu> menu(window.buildParamsMenu());
        QVERIFY(actionNamed(menu.data(), QStringLiteral("Изменить ПАРАМЕТР..."))->isEnabled());
        actionNamed(menu.data(), QStringLiteral("Удалить ПАРАМЕТР"))->trigger();
        QCOMPARE(answers.asked().size(), 0);
        QCOMPARE(uidsOf(subject.reopened()->metricParams).size(), 2);
        QVERIFY(!uidsOf(subject.reopened()->metricParams).contains(ticked.uid));
        window.onDeleteAllParamAction();
        QCOMPARE(subject.reopened()->metricParams.size(), 2);
        window.onDeleteAllParamAction();
        QCOMPARE(answers.asked().size(), 2);
        QVERIFY(subject.reopened()->metricParams.isEmpty());
        QCOMPARE(modelOf(window)->rowCount(), 0);
        QCOMPARE(modelOf(window)->columnCount(), 5);
    }

    // A parameter with measurements goes only after a question that names
    // how many tests lose them and defaults to "Нет"; one without goes at
    // once. The measurements go from the file with it, and all of them with
    // all parameters.
    void deletingAMeasuredParameterAsksFirst()
    {
        Subject subject;
        const QUuid amplitude = subject.addTwoMeasuredTests();
        subject.addParam(QStringLiteral("Пустой"), 1.0);
        const QUuid rate = subject.addParam(QStringLiteral("Частота"), 1.0);
        subject.measure(0, rate, {{4, 5, 6}});
        Inspection examination;
        examination.load(subject.path);
        InspectionAnalysisMetrFancy window;
        window.onChangedPersone(subject.path, &examination);
        const auto deleteRow = [&window](int row) {
            window.paramTable()->setCurrentIndex(window.paramTable()->model()->index(row, 1));
            QScopedPointer<QMenu> menu(window.buildParamsMenu());
            actionNamed(menu.data(), QStringLiteral("Удалить ПАРАМЕТР"))->trigger();
        };
        const auto measuring = [&subject](const QUuid &uid) {
            return DefMertValuation::testsMeasuring(*subject.reopened(), [uid](const QUuid &of) { return of == uid; });
        };
        MessageBoxAnswerer answers({QMessageBox::No, QMessageBox::Yes, QMessageBox::Yes});
        QVector<int> defaults;
        answers.whileAsking = [&defaults] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                defaults << box->standardButton(box->defaultButton());
        };
        deleteRow(0);
        QCOMPARE(uidsOf(subject.reopened()->metricParams).size(), 3);
        QCOMPARE(measuring(amplitude), 2);
        deleteRow(0);
        QCOMPARE(uidsOf(subject.reopened()->metricParams).size(), 2);
        QCOMPARE(measuring(amplitude), 0);
        QCOMPARE(measuring(rate), 1);
        QCOMPARE(answers.asked().size(), 2);
        QVERIFY2(answers.asked().first().contains(QStringLiteral("Удалить параметр «Амплитуда» и его измерения в 2 тестах?")),
                 qPrintable(answers.asked().first()));
        deleteRow(0);
        QCOMPARE(uidsOf(subject.reopened()->metricParams).size(), 1);
        QCOMPARE(answers.asked().size(), 2);

        window.onDeleteAllParamAction();
        QCOMPARE(answers.asked().last(), QStringLiteral("Вы хотите удалить все параметры и их измерения в 1 тесте?"));
        QCOMPARE(defaults, QVector<int>(3, int(QMessageBox::No)));
        QVERIFY(subject.reopened()->metricParams.isEmpty());
        QCOMPARE(measuring(rate), 0);
        // The same parameter brought back from the book to the subject read anew finds no values (it measured 1 here).
        Inspection reread;
        reread.load(subject.path);
        window.onChangedPersone(subject.path, &reread);
        Inspection::_MetricParam again = MetricFixtures::param(1.0, true);
        again.uid = amplitude;
        window.setManualParams({again});
        QCOMPARE(valueIndex(window, 0, 0, 1, 4).data().toString(), QStringLiteral("0"));
    }

    void clearingOneTestAndAllTests()
    {
        Subject subject;
        subject.addTwoMeasuredTests();
        // The editor's examination holds the tests without their samples.
        Inspection examination;
        examination.load(subject.path);
        InspectionAnalysisMetrFancy window;
        window.onChangedPersone(subject.path, &examination);
        QCOMPARE(valueIndex(window, 1, 0, 1, 4).data().toString(), QStringLiteral("3"));

        QScopedPointer<QMenu> menu(window.buildDataMenu(QModelIndex()));
        QVERIFY(!actionNamed(menu.data(), QStringLiteral("Очистить параметры в текущем тесте"))->isEnabled());
        QVERIFY(!actionNamed(menu.data(), QStringLiteral("Расчет автоматических параметров в текущем тесте"))->isEnabled());
        QVERIFY(actionNamed(menu.data(), QStringLiteral("Расчет автоматических параметров во всех тестах"))->isEnabled());
        menu.reset(window.buildDataMenu(valueIndex(window, 1, 2, 1, 4)));
        {
            MessageBoxAnswerer answers({QMessageBox::No, QMessageBox::Yes});
            actionNamed(menu.data(), QStringLiteral("Очистить параметры в текущем тесте"))->trigger();
            QCOMPARE(subject.reopened()->tests[1].valuationMetric.size(), 1);
            actionNamed(menu.data(), QStringLiteral("Очистить параметры в текущем тесте"))->trigger();
            QCOMPARE(answers.asked().size(), 2);
            QVERIFY(answers.asked().first().contains("'" + examination.tests[1].headerText() + "'"));
        }
        QVERIFY(examination.tests[1].samplesLoaded());
        QVERIFY(!examination.tests[0].samplesLoaded());
        QVERIFY(subject.reopened()->tests[1].valuationMetric.isEmpty());
        QCOMPARE(subject.reopened()->tests[0].valuationMetric.size(), 1);
        QCOMPARE(valueIndex(window, 1, 0, 1, 4).data().toString(), QStringLiteral("0"));
        {
            MessageBoxAnswerer answers({QMessageBox::Yes});
            actionNamed(menu.data(), QStringLiteral("Очистить параметры во всех тестах"))->trigger();
            QCOMPARE(answers.unexpected(), 0);
        }
        QVERIFY(subject.reopened()->tests[0].valuationMetric.isEmpty());
    }

    void aRefusedSaveIsToldEveryTimeAndUndone()
    {
        Subject subject;
        subject.addTest(QStringLiteral("Тест"), 3, 1);
        subject.addParam(QStringLiteral("А"), 1.0);
        subject.addParam(QStringLiteral("Б"), 1.0);
        StoreFixtures::failWritesAfter(subject.path, int(InspectionDataType::Singleton), 0);
        InspectionAnalysisMetrFancy window;
        window.onChangedPersone(subject.path, &subject.examination);
        MessageBoxAnswerer answers({QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok});
        window.sectionHandleDoubleClicked(4);
        window.paramTable()->setCurrentIndex(window.paramTable()->model()->index(0, 0));
        window.onDeleteParamAction();
        QCOMPARE(answers.asked().size(), 2);
        QCOMPARE(answers.unexpected(), 0);
        QCOMPARE(subject.examination.metricParams.size(), 2);
        QCOMPARE(subject.examination.metricParams.first().dK, 1.0);
        QCOMPARE(window.resultsHeader()->sectionColour(4), QColor(Qt::green));
        auto *check = static_cast<QStandardItemModel *>(window.paramTable()->model())->item(0, 0);
        check->setCheckState(Qt::Unchecked);
        QCOMPARE(check->checkState(), Qt::Checked);
        QVERIFY(subject.examination.metricParams.first().bEnable);
        QCOMPARE(answers.asked().size(), 3);
    }

    // What the reliability run under the address sanitizer goes through.
    void commandsAfterTheExaminationChanged()
    {
        Subject subject;
        subject.addTest(QStringLiteral("Тест"), 3, 2);
        const QUuid uid = subject.addParam(QStringLiteral("А"), 1.0);
        subject.addParam(QStringLiteral("Б"), 1.0);
        subject.measure(0, uid, {{1, 2, 3}, {2, 2, 5}});
        InspectionAnalysisMetrFancy window;
        window.show();
        window.onChangedPersone(subject.path, &subject.examination);
        QScopedPointer<QMenu> menu(window.buildDataMenu(valueIndex(window, 0, 1, 2, 4)));
        window.resultsTree()->setCurrentIndex(valueIndex(window, 0, 1, 2, 4));

        window.reload();
        window.selectNextCell();
        window.paramTable()->setCurrentIndex(window.paramTable()->model()->index(0, 0));
        {
            MessageBoxAnswerer deleting({QMessageBox::Yes});
            window.onDeleteParamAction();
            QCOMPARE(deleting.asked().size(), 1);
        }
        window.fillResultsTree(true);
        window.selectNextCell();
        QCOMPARE(modelOf(window)->columnCount(), 4 + 1 + 1);

        Subject other;
        other.addTest(QStringLiteral("Другой"), 2, 1);
        window.onChangedPersone(other.path, &other.examination);
        MessageBoxAnswerer answers({QMessageBox::Yes});
        // A menu of the previous subject acts on no test of this one.
        actionNamed(menu.data(), QStringLiteral("Очистить параметры в текущем тесте"))->trigger();
        window.onChangedPersone(QString(), nullptr);
        window.fillResultsTree(true);
        window.selectNextCell();
        window.sectionHandleDoubleClicked(4);
        QCOMPARE(answers.asked().size(), 0);
    }

    // Parameter names show whole: in the results' headers and in the
    // parameter table beside them.
    void parameterNamesAreNotClipped()
    {
        Subject subject;
        subject.addTwoMeasuredTests();
        subject.addParam(QStringLiteral("Длительность ручного измерения"), -1.0);
        Inspection examination;
        examination.load(subject.path);
        InspectionAnalysisMetrFancy window;
        window.resize(1800, 1000);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.onChangedPersone(subject.path, &examination);
        QHeaderView *results = window.resultsTree()->header();
        const int longest = results->count() - 2;
        QCOMPARE(modelOf(window)->headerData(longest, Qt::Horizontal).toString(),
                 QStringLiteral("Длительность ручного измерения"));
        QVERIFY(results->sectionSize(longest) >= results->sectionSizeHint(longest));
        QTRY_VERIFY(window.paramTable()->header()->length() <= window.paramTable()->viewport()->width());
    }

    void keysBelongToTheMeasurementAndNamesOpenRows()
    {
        Subject subject;
        subject.addTest(QStringLiteral("Тест"), 2, 2);
        subject.addParam(QStringLiteral("А"), 1.0);
        InspectionAnalysisMetrFancy window;
        window.resize(1200, 800);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.onChangedPersone(subject.path, &subject.examination);
        _QTreeView *tree = window.resultsTree();
        const QModelIndex cell = valueIndex(window, 0, 0, 1, 4);
        tree->setCurrentIndex(cell);
        QTest::keyClick(tree, Qt::Key_Down);
        QCOMPARE(tree->currentIndex(), cell);

        const QModelIndex question = questIndex(window, 0, 1, 0);
        QVERIFY(!tree->isExpanded(question));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(question).center());
        QVERIFY(tree->isExpanded(question));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(question).center());
        QVERIFY(tree->isExpanded(question));  // its presentation rows have none to open
    }

    void settingsAndPictureMenu()
    {
        {
            InspectionAnalysisMetrFancy window;
            QCOMPARE(window.scale(), 60);
            QVERIFY(!window.showQuestText());
            QVERIFY(window.showIA());
            QVERIFY(window.findChild<QDockWidget *>(QStringLiteral("pDiagramme")));
            QVERIFY(window.findChild<QDockWidget *>(QStringLiteral("pParams")));
            QScopedPointer<QMenu> menu(window.buildDiagramMenu());
            QCOMPARE(menu->actions().at(2)->text(), QStringLiteral("Масштаб (Y) - 60%"));
            QVERIFY(menu->actions().at(2)->isChecked());
            actionNamed(menu.data(), QStringLiteral("Масштаб (Y) - 20%"))->trigger();
            actionNamed(menu.data(), QStringLiteral("Показать вопросы"))->trigger();
            actionNamed(menu.data(), QStringLiteral("Показать только интервал анализа"))->trigger();
        }
        auto settings = SettingsStore::open();
        settings->beginGroup(QStringLiteral("InspectionAnalysisMetrFancy"));
        QCOMPARE(settings->value(QStringLiteral("iScale")).toInt(), 20);
        QVERIFY(!settings->value(QStringLiteral("layout_data")).toByteArray().isEmpty());
        QVERIFY(!settings->value(QStringLiteral("geo_data")).toByteArray().isEmpty());
        InspectionAnalysisMetrFancy again;
        QCOMPARE(again.scale(), 20);
        QVERIFY(again.showQuestText());
        QVERIFY(!again.showIA());
        QScopedPointer<QMenu> menu(again.buildDiagramMenu());
        QVERIFY(actionNamed(menu.data(), QStringLiteral("Масштаб (Y) - 20%"))->isChecked());
        // A scale the picture does not offer keeps the default.
        settings->setValue(QStringLiteral("iScale"), 33);
        settings->sync();
        InspectionAnalysisMetrFancy damaged;
        QCOMPARE(damaged.scale(), 60);
    }

    void parameterDialogsFromTheMenu()
    {
        QTemporaryDir sprav;
        SpravDB::sPathFileSprav = sprav.filePath(QStringLiteral("sprav.sqmz"));
        Subject subject;
        subject.addTest(QStringLiteral("Тест"), 2, 1);
        const QUuid hand = subject.addParam(QStringLiteral("Ручной"), 1.0);
        InspectionAnalysisMetrFancy window;
        window.onChangedPersone(subject.path, &subject.examination);
        QScopedPointer<QMenu> menu(window.buildParamsMenu());
        QVERIFY(!actionNamed(menu.data(), QStringLiteral("Изменить ПАРАМЕТР..."))->isEnabled());

        answerModal<ValuationMetrEditParamDlg>([](ValuationMetrEditParamDlg &dialog) {
            dialog.nameEdit()->setText(QStringLiteral("Созданный"));
            dialog.coefficientEdit()->setText(QStringLiteral("1.5"));
            dialog.accept();
        });
        actionNamed(menu.data(), QStringLiteral("Создать ПАРАМЕТР..."))->trigger();
        auto stored = subject.reopened()->metricParams;
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored[1].Name, QStringLiteral("Созданный"));
        QCOMPARE(stored[1].dK, 1.5);
        QCOMPARE(window.paramTable()->model()->index(1, 4).data().toString(), QStringLiteral("1.50"));

        // A double click edits the row's parameter.
        answerModal<ValuationMetrEditParamDlg>([](ValuationMetrEditParamDlg &dialog) {
            dialog.coefficientEdit()->setText(QStringLiteral("-3"));
            dialog.accept();
        });
        window.paramTable()->setCurrentIndex(window.paramTable()->model()->index(0, 1));
        emit window.paramTable()->doubleClicked(window.paramTable()->currentIndex());
        QCOMPARE(subject.reopened()->metricParams[0].dK, -3.0);
        QCOMPARE(subject.reopened()->metricParams[0].uid, hand);

        // Ticked automatic parameters go behind the hand ones, chosen basic ones before the automatic.
        answerModal<ValuationMetrAutoParamDlg>([](ValuationMetrAutoParamDlg &dialog) {
            auto *model = static_cast<QStandardItemModel *>(dialog.tree()->model());
            model->item(0)->child(0)->child(0)->setCheckState(Qt::Checked);
            dialog.accept();
        });
        actionNamed(menu.data(), QStringLiteral("Загрузить автоматические параметры..."))->trigger();
        stored = subject.reopened()->metricParams;
        QCOMPARE(stored.size(), 3);
        QVERIFY(stored[2].bAuto && stored[2].bEnable);
        answerModal<ValuationMetrSpravParamDlg>([](ValuationMetrSpravParamDlg &dialog) {
            static_cast<QStandardItemModel *>(dialog.standardTable()->model())->item(0, 0)->setCheckState(Qt::Checked);
            dialog.accept();
        });
        subject.measure(0, hand, {{4, 5}});
        actionNamed(menu.data(), QStringLiteral("Загрузить ПАРАМЕТРЫ из справочника..."))->trigger();
        // The parameters made by hand are in neither table of the dialog: they stay, and so do their values.
        const auto reopened = subject.reopened();
        stored = reopened->metricParams;
        QCOMPARE(stored.size(), 4);
        QVERIFY(!stored[0].bAuto && stored[0].bEnable);
        QCOMPARE(stored[1].uid, hand);
        QCOMPARE(stored[2].Name, QStringLiteral("Созданный"));
        QVERIFY(stored[3].bAuto);
        QCOMPARE(reopened->tests[0].valuationMetric.value(1).value(1).value(hand).nValue, 5);
        SpravDB::sPathFileSprav.clear();
    }

    void automaticCalculationSavesOncePerTest()
    {
        Subject subject;
        for (const QString &name : {QStringLiteral("Тест А"), QStringLiteral("Тест Б")}) {
            subject.examination.appendTest(wavingTest(name, 3, 2));
            subject.examination.saveTestStruct(&subject.examination.tests.last());
            subject.examination.saveRecording(&subject.examination.tests.last());
        }
        DefMertValuation catalogue;
        catalogue.fillStandard();
        Inspection::_MetricParam wave = catalogue.entries.first();  // "Канал КГР\nАмплитуда\nрежим-1"
        wave.bEnable = true;
        Inspection::_MetricParam off = catalogue.entries[1];
        const QUuid hand = subject.addParam(QStringLiteral("Рука"), 1.0);
        subject.examination.metricParams << wave << off;
        subject.examination.saveMetricParams();
        subject.measure(0, wave.uid, {{5, 5, 5}});
        StoreFixtures::countWrites(subject.path, int(InspectionDataType::MetricValuation));

        Inspection examination;
        examination.load(subject.path);
        InspectionAnalysisMetrFancy window;
        window.onChangedPersone(subject.path, &examination);
        QScopedPointer<QMenu> menu(window.buildDataMenu(questIndex(window, 0, 1, 0)));
        {
            MessageBoxAnswerer answers({QMessageBox::No, QMessageBox::Yes});
            actionNamed(menu.data(), QStringLiteral("Расчет автоматических параметров в текущем тесте"))->trigger();
            QCOMPARE(StoreFixtures::writes(subject.path), 0);
            actionNamed(menu.data(), QStringLiteral("Расчет автоматических параметров в текущем тесте"))->trigger();
            QCOMPARE(answers.asked().size(), 2);
            QVERIFY(answers.asked().first().contains(QStringLiteral("'Тест А'")));
        }
        QCOMPARE(StoreFixtures::writes(subject.path), 1);
        auto stored = subject.reopened();
        // Every mark measured: the wave's 400 at 20 samples into each window,
        // the hand value replaced; the disabled parameter and the other test untouched.
        for (int p = 1; p <= 2; ++p) {
            for (int q = 0; q < 3; ++q) {
                const auto &record = stored->tests[0].valuationMetric[p][q][wave.uid];
                QCOMPARE(record.nValue, 40);
                QCOMPARE(record.ptStart_x, 40.0);
                QVERIFY(!stored->tests[0].valuationMetric[p][q].contains(off.uid));
                QVERIFY(!stored->tests[0].valuationMetric[p][q].contains(hand));
            }
        }
        QVERIFY(stored->tests[1].valuationMetric.isEmpty());
        QCOMPARE(valueIndex(window, 0, 0, 1, 5).data().toString(), QStringLiteral("40"));
        {
            MessageBoxAnswerer answers({QMessageBox::Yes});
            actionNamed(menu.data(), QStringLiteral("Расчет автоматических параметров во всех тестах"))->trigger();
            QCOMPARE(answers.unexpected(), 0);
        }
        QCOMPARE(StoreFixtures::writes(subject.path), 3);
        QCOMPARE(subject.reopened()->tests[1].valuationMetric[2][2][wave.uid].nValue, 40);

        // The first refusal is told and ends the run, the values left as stored.
        examination.tests[1].valuationMetric.clear();
        examination.saveMetricValuation(&examination.tests[1]);
        StoreFixtures::failWritesAfter(subject.path, int(InspectionDataType::MetricValuation), 0);
        MessageBoxAnswerer answers({QMessageBox::Yes, QMessageBox::Ok});
        actionNamed(menu.data(), QStringLiteral("Расчет автоматических параметров во всех тестах"))->trigger();
        QCOMPARE(answers.asked().size(), 2);
        QCOMPARE(answers.unexpected(), 0);
        QVERIFY(examination.tests[1].valuationMetric.isEmpty());
    }

    void exportWritesTheResultsIntoAWorkbook()
    {
        Subject subject;
        subject.addTest(QStringLiteral("Тест"), 3, 1);
        const QUuid uid = subject.addParam(QStringLiteral("Амплитуда"), 1.0);
        subject.addParam(QStringLiteral("Выключен"), 1.0, false);
        subject.measure(0, uid, {{1, 2, 3}});
        InspectionAnalysisMetrFancy window;
        window.onChangedPersone(subject.path, &subject.examination);
        UrlCatcher catcher;
        QScopedPointer<QMenu> menu(window.buildDataMenu(QModelIndex()));
        actionNamed(menu.data(), QStringLiteral("Экспорт в MSExcel"))->trigger();
        QCOMPARE(catcher.urls.size(), 1);

        const QJsonObject cells = workbookCells(QStringLiteral(VUG_PYTHON), QStringLiteral(VUG_XLSX_READER),
                                                catcher.urls.first().toLocalFile());
        QFile::remove(catcher.urls.first().toLocalFile());
        QCOMPARE(cells["A1"].toObject()["value"].toString(), QStringLiteral("Тесты и вопросы"));
        QCOMPARE(cells["D1"].toObject()["value"].toString(), QStringLiteral("Вероятность"));
        QCOMPARE(cells["E1"].toObject()["value"].toString(), QStringLiteral("Амплитуда"));
        QVERIFY(!cells.contains(QStringLiteral("F1")));  // hidden and empty columns stay out
        QCOMPARE(cells["A2"].toObject()["value"].toString(), QStringLiteral("Тест"));
        QCOMPARE(cells["A3"].toObject()["value"].toString(), QStringLiteral("01П Вопрос 1"));
        QCOMPARE(cells["B3"].toObject()["value"].toDouble(), -1.22);
        QCOMPARE(cells["D5"].toObject()["value"].toDouble(), 0.7);
    }
};

VUG_TEST_MAIN(TestMetricWindow, QApplication)
#include "tst_metricwindow.moc"
