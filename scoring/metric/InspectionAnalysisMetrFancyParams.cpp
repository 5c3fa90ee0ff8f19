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
    QVector<Inspection::_Test *> changed;
    QVector<MetricValuationMap> before;
    for (Inspection::_Test &test : m_inspection->tests) {
        const MetricValuationMap values = test.valuationMetric;
        if (DefMertValuation::dropMeasurements(test, of)) {
            changed << &test;
            before << values;
        }
    }
    Params &list = m_inspection->metricParams;
    const auto picked = [&of](const Inspection::_MetricParam &param) { return of(param.uid); };
    list.erase(std::remove_if(list.begin(), list.end(), picked), list.end());
    const StoreResult result = m_inspection->saveMetricParamsAndValuations(changed);
    if (result != StoreResult::Ok) {
        m_inspection->metricParams = params;
        for (int i = 0; i < changed.size(); ++i)
            changed[i]->valuationMetric = before[i];
        showAsStored(result, changed);
    }
    fillParamTable();
    fillResultsTree(false);
}

bool InspectionAnalysisMetrFancy::changeParams(const std::function<void(Params &)> &change)
{
    if (!m_inspection)
        return false;
    const Params before = m_inspection->metricParams;
    change(m_inspection->metricParams);
    const StoreResult result = m_inspection->saveMetricParams();
    if (result == StoreResult::Ok)
        return true;
    m_inspection->metricParams = before;
    showAsStored(result, {});
    return false;
}

bool InspectionAnalysisMetrFancy::changeValues(Inspection::_Test *test,
                                               const std::function<void(Inspection::_Test &)> &change)
{
    const MetricValuationMap before = test->valuationMetric;
    change(*test);
    const StoreResult result = m_inspection->saveMetricValuation(test);
    if (result == StoreResult::Ok)
        return true;
    test->valuationMetric = before;
    showAsStored(result, {test});
    return false;
}

void InspectionAnalysisMetrFancy::showAsStored(const StoreResult &result, const QVector<Inspection::_Test *> &tests)
{
    // Another program's parameters and values are what the file holds now.
    if (result == StoreResult::Changed) {
        m_inspection->loadMetricParams();
        for (Inspection::_Test *test : tests)
            m_inspection->loadRecording(test, true);
    }
    if (m_saveFailureTold)
        return;
    m_saveFailureTold = true;
    QMessageBox::warning(this, tr("Воркел"),
                         tr("Не удалось сохранить изменение в файл обследуемого.\n(%1)\n"
                            "Изменение отменено: показано то, что хранит файл.")
                             .arg(SaveRefusal::reason(result, m_inspection->path)));
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

void InspectionAnalysisMetrFancy::clearTestValues(Inspection::_Test *test)
{
    if (!test->samplesLoaded())
        m_inspection->loadRecording(test);
    changeValues(test, [](Inspection::_Test &t) { t.valuationMetric.clear(); });
}

void InspectionAnalysisMetrFancy::autoCalcTest(Inspection::_Test *test)
{
    if (!test->samplesLoaded())
        m_inspection->loadRecording(test);
    const Params params = m_inspection->metricParams;
    changeValues(test, [&params](Inspection::_Test &t) { MetricAutoMeasure::measureTest(params, t); });
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
    for (int index = 0; Inspection::_Test *test = m_inspection->test(index); ++index) {
        if (test->recorded)
            (this->*work)(test);
    }
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
