// The metric window's parameters and measured values: parameters added, edited
// and deleted, values cleared or measured automatically, each change saved at once.
#include "InspectionAnalysisMetrFancy.h"
#include "MetrFancyShared.h"

#include "DefMertValuation.h"
#include "MetricAutoMeasure.h"
#include "MetricParamTable.h"
#include "ValuationMetrAutoParamDlg.h"
#include "ValuationMetrEditParamDlg.h"
#include "ValuationMetrSpravParamDlg.h"
#include "_QTreeView.h"
#include "app/services/TreeViewExport.h"
#include "data/ReadRefusal.h"
#include "data/RecordedTests.h"
#include "data/SaveRefusal.h"
#include "data/SharedHelpers.h"
#include "data/TestCaption.h"

#include <QItemSelectionModel>
#include <QMessageBox>
#include <QStandardItemModel>
#include <QTextEdit>

using namespace MetrFancy;

void InspectionAnalysisMetrFancy::fillParamTable()
{
    QStandardItemModel *model = MetricParamTable::newModel(m_inspection ? m_inspection->metricParams : Params(), m_paramTable);
    MetricParamTable::show(m_paramTable, model);
    connect(m_paramTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &InspectionAnalysisMetrFancy::onSelectionChangedParam);
    connect(model, &QStandardItemModel::itemChanged, this, &InspectionAnalysisMetrFancy::onParamItemChanged);
    disconnect(m_paramTable, &QTreeView::doubleClicked, this, nullptr);
    connect(m_paramTable, &QTreeView::doubleClicked, this, &InspectionAnalysisMetrFancy::onDoubleClickParams);
    m_tree->clearSelection();
    clearDiagram();
    m_description->clear();
}

QUuid InspectionAnalysisMetrFancy::currentParamUid() const
{
    return m_paramTable->currentIndex().siblingAtColumn(0).data(kUidRole).toUuid();
}

void InspectionAnalysisMetrFancy::onSelectionChangedParam(const QItemSelection &, const QItemSelection &)
{
    const Inspection::_MetricParam *param
        = m_inspection ? DefMertValuation::find(m_inspection->metricParams, currentParamUid()) : nullptr;
    if (!param) {
        m_description->clear();
        return;
    }
    const QStringList lines = param->sDescription.split(QLatin1Char('\n'));
    m_description->setPlainText(param->bAuto && lines.size() >= 2 ? lines[1] : param->sDescription);
}

void InspectionAnalysisMetrFancy::onParamItemChanged(QStandardItem *item)
{
    const QUuid uid = item ? item->data(kUidRole).toUuid() : QUuid();
    const Inspection::_MetricParam *param = m_inspection ? DefMertValuation::find(m_inspection->metricParams, uid) : nullptr;
    if (!param || !item->isCheckable())
        return;
    const bool enabled = item->checkState() == Qt::Checked;
    if (param->bEnable != enabled
        && !changeParams([&uid, enabled](Params &list) { DefMertValuation::find(list, uid)->bEnable = enabled; })) {
        QSignalBlocker blocker(item->model());
        item->setCheckState(enabled ? Qt::Unchecked : Qt::Checked);
    }
    fillResultsTree(true);
}

void InspectionAnalysisMetrFancy::sectionHandleDoubleClicked(int section)
{
    const QStandardItem *header = resultsModel()->horizontalHeaderItem(section);
    const QUuid uid = header ? header->data(kUidRole).toUuid() : QUuid();
    if (!m_inspection || !DefMertValuation::find(m_inspection->metricParams, uid))
        return;
    changeParams([&uid](Params &list) {
        Inspection::_MetricParam *param = DefMertValuation::find(list, uid);
        param->dK = -param->dK;
    });
    fillResultsTree(true);
    fillParamTable();
}

void InspectionAnalysisMetrFancy::onCreateParamAction()
{
    if (!m_inspection)
        return;
    ValuationMetrEditParamDlg dialog(this, nullptr);
    if (dialog.exec() == QDialog::Accepted && m_inspection)
        appendParam(dialog.param);
}

void InspectionAnalysisMetrFancy::onEditParamAction()
{
    editCurrentParam();
}

void InspectionAnalysisMetrFancy::onDoubleClickParams()
{
    editCurrentParam();
}

void InspectionAnalysisMetrFancy::editCurrentParam()
{
    const QUuid uid = currentParamUid();
    const Inspection::_MetricParam *param = m_inspection ? DefMertValuation::find(m_inspection->metricParams, uid) : nullptr;
    if (!param)
        return;
    ValuationMetrEditParamDlg dialog(this, param);
    // replaceParam finds the parameter again: the list may have changed while the dialog was open.
    if (dialog.exec() == QDialog::Accepted)
        replaceParam(uid, dialog.param);
}

void InspectionAnalysisMetrFancy::onLoadFromSpravAction()
{
    if (!m_inspection)
        return;
    ValuationMetrSpravParamDlg dialog(this, DefMertValuation::manualParams(m_inspection->metricParams));
    if (dialog.exec() == QDialog::Accepted && m_inspection)
        setManualParams(dialog.selectedParams());
}

void InspectionAnalysisMetrFancy::onLoadAutoAction()
{
    if (!m_inspection)
        return;
    ValuationMetrAutoParamDlg dialog(this, DefMertValuation::autoParams(m_inspection->metricParams));
    if (dialog.exec() == QDialog::Accepted && m_inspection)
        setAutoParams(dialog.checkedParams());
}

void InspectionAnalysisMetrFancy::appendParam(const Inspection::_MetricParam &param)
{
    changeParams([&param](Params &list) { list.append(param); });
    fillParamTable();
    fillResultsTree(false);
}

void InspectionAnalysisMetrFancy::replaceParam(const QUuid &uid, const Inspection::_MetricParam &param)
{
    if (!m_inspection || !DefMertValuation::find(m_inspection->metricParams, uid))
        return;
    changeParams([&uid, &param](Params &list) { *DefMertValuation::find(list, uid) = param; });
    fillParamTable();
    fillResultsTree(true);
}

void InspectionAnalysisMetrFancy::setManualParams(const Params &chosen)
{
    changeParams([&chosen](Params &list) { list = chosen + DefMertValuation::autoParams(list); });
    fillParamTable();
    fillResultsTree(false);
}

void InspectionAnalysisMetrFancy::setAutoParams(const Params &ticked)
{
    changeParams([&ticked](Params &list) { list = DefMertValuation::manualParams(list) + ticked; });
    fillParamTable();
    fillResultsTree(false);
}

void InspectionAnalysisMetrFancy::onDeleteParamAction()
{
    const QUuid uid = currentParamUid();
    const Inspection::_MetricParam *param = m_inspection ? DefMertValuation::find(m_inspection->metricParams, uid) : nullptr;
    if (!param)
        return;
    const auto isIt = [uid](const QUuid &measured) { return measured == uid; };
    // Its measurements go with it and cannot be brought back.
    const int measured = DefMertValuation::testsMeasuring(*m_inspection, isIt);
    const QString question = tr("Удалить параметр «%1» и его измерения %2?").arg(param->Name, inTests(measured));
    if (measured > 0 && !askYes(question, QMessageBox::No))
        return;
    if (!m_inspection || !DefMertValuation::find(m_inspection->metricParams, uid))
        return;  // gone while the question was open
    removeParams(isIt);
}

void InspectionAnalysisMetrFancy::onDeleteAllParamAction()
{
    if (!m_inspection)
        return;
    const auto every = [](const QUuid &) { return true; };
    const int measured = DefMertValuation::testsMeasuring(*m_inspection, every);
    const bool asked = measured > 0
                           ? askYes(tr("Вы хотите удалить все параметры и их измерения %1?").arg(inTests(measured)),
                                    QMessageBox::No)
                           : askYes(tr("Вы хотите удалить все параметры ?"));
    if (asked && m_inspection)
        removeParams(every);
}

void InspectionAnalysisMetrFancy::removeParams(const DefMertValuation::ParamPick &of)
{
    const Params params = m_inspection->metricParams;
    QVector<QUuid> changed;
    QVector<MetricValuationMap> before;
    for (Inspection::_Test &test : m_inspection->tests) {
        const MetricValuationMap values = test.valuationMetric;
        if (DefMertValuation::dropMeasurements(test, of)) {
            changed << test.id;
            before << values;
        }
    }
    Params &list = m_inspection->metricParams;
    const auto picked = [&of](const Inspection::_MetricParam &param) { return of(param.uid); };
    list.erase(std::remove_if(list.begin(), list.end(), picked), list.end());
    const auto save = [this, &changed] { return m_inspection->saveMetricParamsAndValuations(testsOf(changed)); };
    settleSave(save, tr("удаление параметров"), changed, [this, &params, &changed, &before] {
        m_inspection->metricParams = params;
        for (int i = 0; i < changed.size(); ++i) {
            if (Inspection::_Test *test = m_inspection->testWithId(changed[i]))
                test->valuationMetric = before[i];
        }
    });
    fillParamTable();
    fillResultsTree(false);
}

QVector<Inspection::_Test *> InspectionAnalysisMetrFancy::testsOf(const QVector<QUuid> &ids) const
{
    QVector<Inspection::_Test *> tests;
    for (const QUuid &id : ids) {
        if (Inspection::_Test *test = m_inspection->testWithId(id))
            tests << test;
    }
    return tests;
}

bool InspectionAnalysisMetrFancy::changeParams(const std::function<void(Params &)> &change)
{
    if (!m_inspection)
        return false;
    const Params before = m_inspection->metricParams;
    change(m_inspection->metricParams);
    return settleSave([this] { return m_inspection->saveMetricParams(); }, tr("параметры"), {},
                      [this, &before] { m_inspection->metricParams = before; });
}

bool InspectionAnalysisMetrFancy::changeValues(Inspection::_Test *test,
                                               const std::function<void(Inspection::_Test &)> &change)
{
    const MetricValuationMap before = test->valuationMetric;
    const QUuid id = test->id;
    change(*test);
    const auto save = [this, id] {
        Inspection::_Test *saved = m_inspection->testWithId(id);
        return saved ? m_inspection->saveMetricValuation(saved) : StoreResult(StoreResult::Changed, tr("Тест удалён"));
    };
    const QString edit = tr("измерения теста «%1»").arg(testCaption(*m_inspection, m_inspection->indexOfTest(id)));
    return settleSave(save, edit, {id}, [this, id, &before] {
        if (Inspection::_Test *kept = m_inspection->testWithId(id))
            kept->valuationMetric = before;
    });
}

bool InspectionAnalysisMetrFancy::settleSave(const std::function<StoreResult()> &save, const QString &edit,
                                             const QVector<QUuid> &tests, const std::function<void()> &undo)
{
    StoreResult last = save();
    const auto retry = [&save, &last] { return last = save(); };
    if (SaveRefusal::settle(this, m_inspection->path, last, retry, false, edit) != SaveRefusal::Outcome::Dropped)
        return true;
    undo();
    // Another program's parameters and values are what the file holds now.
    if (last == StoreResult::Changed && readParams()) {
        for (Inspection::_Test *test : testsOf(tests)) {
            if (!ReadRefusal::rereadTest(this, *m_inspection, *test))
                break;
        }
    }
    return false;
}

bool InspectionAnalysisMetrFancy::readInto(const QString &what, const std::function<StoreResult()> &read)
{
    // An examination never read from a file holds all it has in memory.
    if (!m_inspection->isOpened())
        return true;
    return ReadRefusal::settle(this, m_inspection->path, what, read) == StoreResult::Ok;
}

bool InspectionAnalysisMetrFancy::askYes(const QString &question, QMessageBox::StandardButton byDefault)
{
    return QMessageBox::question(this, tr("Воркел"), question, QMessageBox::Yes | QMessageBox::No, byDefault)
           == QMessageBox::Yes;
}

Inspection::_Test *InspectionAnalysisMetrFancy::menuTest()
{
    Inspection::_Test *test = m_inspection ? m_inspection->test(m_menuTest) : nullptr;
    return test && test->recorded ? test : nullptr;
}

bool InspectionAnalysisMetrFancy::clearTestValues(Inspection::_Test *test)
{
    return ReadRefusal::readRecording(this, *m_inspection, *test)
           && changeValues(test, [](Inspection::_Test &t) { t.valuationMetric.clear(); });
}

bool InspectionAnalysisMetrFancy::autoCalcTest(Inspection::_Test *test)
{
    const Params params = m_inspection->metricParams;
    return ReadRefusal::readRecording(this, *m_inspection, *test)
           && changeValues(test, [&params](Inspection::_Test &t) { MetricAutoMeasure::measureTest(params, t); });
}

void InspectionAnalysisMetrFancy::runOnMenuTestAsked(const QString &question, TestWork work)
{
    const Inspection::_Test *asked = menuTest();
    if (!asked || !askYes(question.arg(testCaption(*m_inspection, m_menuTest))))
        return;
    // Another window may have reloaded the examination while the question was open.
    Inspection::_Test *test = menuTest();
    if (!test)
        return;
    (this->*work)(test);
    fillParamTable();
    fillResultsTree(false);
}

void InspectionAnalysisMetrFancy::runOnEveryTestAsked(const QString &question, TestWork work)
{
    if (!m_inspection || !askYes(question) || !m_inspection)
        return;
    // The first refusal ends the run: what follows would be refused the same way.
    forEachRecordedTest(*m_inspection, [this, work](Inspection::_Test &test) { return (this->*work)(&test); });
    fillParamTable();
    fillResultsTree(false);
}

void InspectionAnalysisMetrFancy::onClearTestAction()
{
    runOnMenuTestAsked(tr("Вы хотите удалить данные для: '%0'?"), &InspectionAnalysisMetrFancy::clearTestValues);
}

void InspectionAnalysisMetrFancy::onClearAllAction()
{
    runOnEveryTestAsked(tr("Вы хотите удалить данные всех тестов ?"), &InspectionAnalysisMetrFancy::clearTestValues);
}

void InspectionAnalysisMetrFancy::onAutoCalcTestAction()
{
    runOnMenuTestAsked(tr("Вы хотите выполнить расчет автоматических параметров для: '%0'?"),
                    &InspectionAnalysisMetrFancy::autoCalcTest);
}

void InspectionAnalysisMetrFancy::onAutoCalcAllAction()
{
    runOnEveryTestAsked(tr("Вы хотите выполнить расчет автоматических параметров для всех тестов ?"),
                     &InspectionAnalysisMetrFancy::autoCalcTest);
}

void InspectionAnalysisMetrFancy::onToExcelAction()
{
    exportTreeViewToExcel(m_tree);
}
