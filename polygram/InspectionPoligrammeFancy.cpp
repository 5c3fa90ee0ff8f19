#include "InspectionPoligrammeFancy.h"

#include "ContextPoligrammeWidget.h"
#include "ListTestDockWindow.h"
#include "PolygramPrint.h"
#include "PoligrammeView.h"
#include "SweepTable.h"
#include "_FrameWidget.h"
#include "_QAbstractScrollArea.h"
#include "data/FileChooser.h"
#include "data/ReadRefusal.h"
#include "data/SaveRefusal.h"
#include "data/Inspection.h"
#include "data/InspectionMedia.h"
#include "data/LargeBlockHeap.h"
#include "data/TestCaption.h"
#include "data/WaitCursor.h"
#include "data/WindowLayout.h"
#include "fancy/FontScale.h"
#include "resources/VugResources.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScrollBar>
#include <QToolBar>

namespace {

const char *const kSettingsGroup = "InspectionPoligrammeFancy";

// Each text sits as far right as the sweep's digits are long.
const char *const kSweepTexts[SweepTable::Count] = {
    "  1 сек.  ", "    1.25 сек.  ", "      1.5 сек.  ", "        1.75 сек.  ", "  2 сек.  ",
    "    2.25 сек.  ", "      2.5 сек.  ", "        2.75 сек.  ", "  3 сек.  ", "    3.25 сек.  ",
    "      3.5 сек.  ", "        3.75 сек.  ", "  4 сек.  ",
};

// Marks stand where they were recorded when every pair has the same ticks.
bool labelsAsRecorded(const Inspection::_Test &test)
{
    if (test.labelsForRestore.isEmpty())
        return true;
    if (test.labelsForRestore.size() != test.labels.size())
        return false;
    for (int i = 0; i < test.labels.size(); ++i) {
        const Inspection::_Label &a = test.labels[i];
        const Inspection::_Label &b = test.labelsForRestore[i];
        if (a.TickQStart != b.TickQStart || a.TickQEnd != b.TickQEnd || a.TickAStart != b.TickAStart
            || a.TickAEnd != b.TickAEnd)
            return false;
    }
    return true;
}

}  // namespace

InspectionPoligrammeFancy::InspectionPoligrammeFancy(QWidget *parent)
    : Fancy::FancyMainWindow(parent)
{
    setObjectName(QStringLiteral("InspectionPoligrammeFancy"));
    initVugResources();
    m_aEnableMeasureV = makeAction("RulerV", "Разрешить измерение по ВЕРТИКАЛИ", true);
    m_aEnableMeasureH = makeAction("RulerH", "Разрешить измерение по ГОРИЗОНТАЛИ", true);
    m_aChangeLabels = makeAction("changelabelposition.png", "Разрешить изменение меток", true);
    m_aRestoreLabels = makeAction("changelabelposition_resore.png", "Восстановить первоначальное положение меток");
    m_aShowGroupCompleet = makeAction("FullGroup", "Отобразить полную группу");
    m_aShowGroupPrev = makeAction("PrevGroup", "Перейти к ПЕРДЫДУЩЕЙ группе");
    m_aShowGroupNext = makeAction("NextGroup", "Перейти к СЛЕДУЮЩЕЙ группе");
    m_aPlay = makeAction("Actions-media-playback-start-icon.png", "Воспроизведение полиграммы");
    m_aPrint = makeAction("print-icon.png", "Печать полиграммы");
    m_aSave = makeAction("floppy-icon.png", "Сохранение полиграммы");
    buildToolBar();

    m_testList = new ListTestDockWindow(this);
    m_testList->setObjectName(QStringLiteral("ListTestDockWindow"));
    addDockWidget(Qt::LeftDockWidgetArea, m_testList);

    m_frame = new _FrameWidget(this);
    setCentralWidget(m_frame);

    restoreLayout();
    m_testList->show();
    m_testList->setContextMenuPolicy(Qt::CustomContextMenu);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connectActions();
    updateActionsEnabled();
}

InspectionPoligrammeFancy::~InspectionPoligrammeFancy()
{
    saveLayout();
}

QAction *InspectionPoligrammeFancy::makeAction(const char *icon, const char *text, bool checkable)
{
    auto *action = new QAction(VugImages::icon(QLatin1String(icon)),
                               tr(text), this);
    action->setCheckable(checkable);
    return action;
}

void InspectionPoligrammeFancy::buildToolBar()
{
    m_sweepSelector = new QComboBox;
    for (const char *text : kSweepTexts)
        m_sweepSelector->addItem(QString::fromUtf8(text));
    m_sweepSelector->setFixedWidth(Fancy::FontScale::px(150));

    m_toolBar = addToolBar(QStringLiteral("InspectionPoligrammeFancy"));
    m_toolBar->setObjectName(QStringLiteral("InspectionPoligrammeFancyToolBar"));
    m_toolBar->addAction(m_aEnableMeasureV);
    m_toolBar->addAction(m_aEnableMeasureH);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_aShowGroupCompleet);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_aShowGroupPrev);
    m_toolBar->addAction(m_aShowGroupNext);
    m_toolBar->addWidget(m_sweepSelector);
    m_toolBar->addAction(m_aPlay);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_aPrint);
    m_toolBar->addAction(m_aSave);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_aChangeLabels);
    m_toolBar->addAction(m_aRestoreLabels);
}

void InspectionPoligrammeFancy::connectActions()
{
    connect(m_testList, &ListTestDockWindow::notificationChangedTestSignal, this,
            &InspectionPoligrammeFancy::onChangedTest);
    connect(m_aEnableMeasureV, &QAction::triggered, this, &InspectionPoligrammeFancy::action_aEnableMeasureV);
    connect(m_aEnableMeasureH, &QAction::triggered, this, &InspectionPoligrammeFancy::action_aEnableMeasureH);
    connect(m_aShowGroupCompleet, &QAction::triggered, this, &InspectionPoligrammeFancy::action_aShowGroupCompleet);
    connect(m_aShowGroupPrev, &QAction::triggered, this, &InspectionPoligrammeFancy::action_aShowGroupPrev);
    connect(m_aShowGroupNext, &QAction::triggered, this, &InspectionPoligrammeFancy::action_aShowGroupNext);
    connect(m_aPlay, &QAction::triggered, this, &InspectionPoligrammeFancy::action_LocalPoligrammePlay);
    connect(m_aPrint, &QAction::triggered, this, &InspectionPoligrammeFancy::onPrint);
    connect(m_aSave, &QAction::triggered, this, &InspectionPoligrammeFancy::onSave);
    connect(m_aChangeLabels, &QAction::triggered, this, &InspectionPoligrammeFancy::onChangePosition);
    connect(m_aRestoreLabels, &QAction::triggered, this, &InspectionPoligrammeFancy::onRestorePosition);
}

void InspectionPoligrammeFancy::restoreLayout()
{
    WindowLayout::load(QLatin1String(kSettingsGroup)).restore(*this);
}

void InspectionPoligrammeFancy::saveLayout()
{
    WindowLayout::save(QLatin1String(kSettingsGroup), *this);
}

_QAbstractScrollArea *InspectionPoligrammeFancy::scrollArea() const
{
    return m_frame->scrollArea();
}

ContextPoligrammeWidget *InspectionPoligrammeFancy::strip() const
{
    return m_frame->strip();
}

PoligrammeView *InspectionPoligrammeFancy::view() const
{
    return scrollArea()->view();
}

int InspectionPoligrammeFancy::shownTest() const
{
    return m_testShown ? m_testList->currentTest() : -1;
}

void InspectionPoligrammeFancy::updateActionsEnabled()
{
    for (QAction *action : {m_aEnableMeasureV, m_aEnableMeasureH, m_aShowGroupCompleet, m_aShowGroupNext,
                            m_aShowGroupPrev, m_aPlay, m_aPrint, m_aSave, m_aChangeLabels, m_aRestoreLabels})
        action->setEnabled(m_testShown);
    m_sweepSelector->setEnabled(m_testShown);
}

void InspectionPoligrammeFancy::onChangedPersone(QString path, Inspection *pInspection)
{
    Q_UNUSED(path);
    m_inspection = pInspection;
    loadInspection();
}

void InspectionPoligrammeFancy::loadInspection()
{
    // Every announcement may come with a new test vector: no pointer into the
    // old one may survive it, also when no examination follows.
    forgetShownTest();
    fillTestList();
    for (QAction *action : {m_aEnableMeasureV, m_aEnableMeasureH, m_aChangeLabels})
        action->setChecked(false);
    m_testShown = false;
    updateActionsEnabled();
}

void InspectionPoligrammeFancy::forgetShownTest()
{
    strip()->setTest(nullptr);
    scrollArea()->forgetTests();
    view()->setTest(nullptr, nullptr, 0);
    scrollArea()->horizontalScrollBar()->setValue(0);
    connect(view(), &PoligrammeView::updateContextView, m_frame, &_FrameWidget::onUpdateConextView,
            Qt::UniqueConnection);
}

void InspectionPoligrammeFancy::fillTestList()
{
    m_testList->clear();
    if (!m_inspection)
        return;
    for (int i = 0; Inspection::_Test *test = m_inspection->test(i); ++i)
        if (test->recorded)
            m_testList->addTest(i, testCaption(*m_inspection, i));
}

void InspectionPoligrammeFancy::showTest(int iIndexTest, int iPos, int iChannel)
{
    m_testList->selectTest(iIndexTest, iPos, iChannel);
}

void InspectionPoligrammeFancy::onChangedTest(int iIndexTest, int iPos, int iChannel)
{
    Inspection::_Test *test = m_inspection ? m_inspection->test(iIndexTest) : nullptr;
    if (!test || !test->recorded)
        return;
    const bool read = ReadRefusal::readRecording(this, *m_inspection, *test);
    LargeBlockHeap::returnFreed();
    if (!read) {
        forgetShownTest();
        m_testShown = false;
        updateActionsEnabled();
        return;
    }
    strip()->setTest(test);
    if (scrollArea()->test())
        scrollArea()->rememberLeftTick();
    scrollArea()->setTest(test);
    view()->setTest(m_inspection, test, iChannel);

    QScrollBar *vertical = scrollArea()->verticalScrollBar();
    vertical->setRange(-750, 750);
    vertical->setValue(0);
    vertical->setPageStep(scrollArea()->height());
    placeShownTest(iPos);
    reconnectShownTest();
    m_testShown = true;
    updateActionsEnabled();
}

// The remembered left-edge tick, or iPos in the middle of the view with its mark blinking.
void InspectionPoligrammeFancy::placeShownTest(int iPos)
{
    _QAbstractScrollArea *area = scrollArea();
    const int sweep = view()->sweep();
    int value;
    if (iPos < 0) {
        value = area->rememberedLeftTick(area->test()) * 1000 / sweep;
    } else {
        view()->startLabelBlink(iPos);
        value = iPos * 1000 / sweep - area->width() / 2;
    }
    area->updateHorizontalRange();
    area->horizontalScrollBar()->setValue(value);
    area->scrollContentsBy(0, 0);
}

void InspectionPoligrammeFancy::reconnectShownTest()
{
    connect(view(), &PoligrammeView::updateContextView, m_frame, &_FrameWidget::onUpdateConextView,
            Qt::UniqueConnection);
    // Removed first, so each connection exists once however often tests are shown.
    const auto relink = [](auto *sender, auto signal, auto *receiver, auto slot) {
        QObject::disconnect(sender, signal, receiver, slot);
        QObject::connect(sender, signal, receiver, slot);
    };
    _QAbstractScrollArea *area = scrollArea();
    const auto activated = QOverload<int>::of(&QComboBox::activated);
    relink(m_sweepSelector, activated, area, &_QAbstractScrollArea::onChangeUnfold);
    relink(m_sweepSelector, activated, strip(), &ContextPoligrammeWidget::onChangeUnfold);
    relink(this, &InspectionPoligrammeFancy::signalStartLabelPositionChange, view(),
           &PoligrammeView::onStartLabelPositionChange);
    relink(this, &InspectionPoligrammeFancy::signalStartMetr, view(), &PoligrammeView::onStartMetr);
    relink(this, &InspectionPoligrammeFancy::signalShowGroupCompleet, area, &_QAbstractScrollArea::onShowGroupCompleet);
    relink(this, &InspectionPoligrammeFancy::signalShowPrevNextGroup, area, &_QAbstractScrollArea::onShowPrevNextGroup);
}

void InspectionPoligrammeFancy::action_LocalPoligrammePlay()
{
    emit notifyPlayPoligramme(m_testList->currentTest(), scrollArea()->leftTick());
}

void InspectionPoligrammeFancy::action_aEnableMeasureV()
{
    m_aEnableMeasureH->setChecked(false);
    m_aChangeLabels->setChecked(false);
    emit signalStartMetr(false, m_aEnableMeasureV->isChecked());
}

void InspectionPoligrammeFancy::action_aEnableMeasureH()
{
    m_aEnableMeasureV->setChecked(false);
    m_aChangeLabels->setChecked(false);
    emit signalStartMetr(true, m_aEnableMeasureH->isChecked());
}

void InspectionPoligrammeFancy::onChangePosition()
{
    m_aEnableMeasureV->setChecked(false);
    m_aEnableMeasureH->setChecked(false);
    emit signalStartLabelPositionChange(m_aChangeLabels->isChecked());
}

void InspectionPoligrammeFancy::action_aShowGroupCompleet()
{
    int index = -1;
    emit signalShowGroupCompleet(&index);
    if (index < 0)
        return;
    emit m_sweepSelector->activated(index);
    m_sweepSelector->setCurrentIndex(index);
}

void InspectionPoligrammeFancy::action_aShowGroupNext()
{
    emit signalShowPrevNextGroup(1);
}

void InspectionPoligrammeFancy::action_aShowGroupPrev()
{
    emit signalShowPrevNextGroup(-1);
}

InspectionTest *InspectionPoligrammeFancy::currentTest() const
{
    return m_inspection ? m_inspection->test(m_testList->currentTest()) : nullptr;
}

PolygramPrint InspectionPoligrammeFancy::printOf(InspectionTest *test) const
{
    return PolygramPrint(test, InspectionMedia::subjectBaseName(*m_inspection));
}

void InspectionPoligrammeFancy::onPrint()
{
    if (!currentTest())
        return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(tr("Воркел"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, &InspectionPoligrammeFancy::onPrintPreview);
    preview.exec();
}

void InspectionPoligrammeFancy::onPrintPreview(QPrinter *printer)
{
    InspectionTest *test = currentTest();
    if (!test)
        return;
    const PolygramPrint print = printOf(test);
    const int pages = print.printPageCount();
    QProgressDialog progress(tr("Печать полиграммы..."), tr("Отмена"), 0, pages, this);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setWindowTitle(tr("Воркел"));
    // Events run between pages, so the dialog answers and can stop the rest.
    print.print(*printer, [&progress](int done) {
        progress.setValue(done);
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
}

void InspectionPoligrammeFancy::onSave()
{
    InspectionTest *test = currentTest();
    if (!test)
        return;
    const QString proposed =
        InspectionMedia::subjectBaseName(*m_inspection) + QLatin1Char('(') + test->name + QStringLiteral(").pdf");
    const QString fileName =
        FileChooser::getSaveFileName(this, tr("Выбор файла для сохранения полиграммы"), proposed);
    if (fileName.isEmpty())
        return;
    WaitCursor wait;
    const bool written = printOf(test).writePdf(fileName);
    wait.release();
    const QString text = written ? tr("Полиграмма сохранена в файл ") : tr("Не удалось сохранить полиграмму в файл ");
    QMessageBox::warning(this, tr("Воркел"), text + fileName, QMessageBox::Ok);
}

void InspectionPoligrammeFancy::onRestorePosition()
{
    Inspection::_Test *test = currentTest();
    if (!test)
        return;
    if (labelsAsRecorded(*test)) {
        QMessageBox::information(this, tr("Воркел"), tr("Данные не требуют восстановления."), QMessageBox::Ok);
        return;
    }
    const QString question = tr("При восстановлении старых данных все изменения будут потеряны.\n"
                                "Вы действительно хотите восстановить положение меток как при записи полиграммы?");
    // The subject may be read anew while the question is open: the test is
    // held by its id.
    const QUuid id = test->id;
    if (QMessageBox::question(this, tr("Воркел"), question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    restoreLabels(id);
    view()->repaint();
}

void InspectionPoligrammeFancy::restoreLabels(const QUuid &id)
{
    const auto test = [this, &id] { return m_inspection->testWithId(id); };
    if (!test())
        return;
    test()->labels = test()->labelsForRestore;
    const auto save = [&test, this]() -> StoreResult {
        InspectionTest *restored = test();
        if (!restored)
            return StoreResult::NotWritten;
        const StoreResult result = m_inspection->saveRecording(restored);
        // A reload reads the header over the recording: it must hold them too.
        return result == StoreResult::Ok ? m_inspection->saveRecordingHeader(restored) : result;
    };
    const SaveRefusal::Outcome outcome = SaveRefusal::settle(this, m_inspection->path, save(), save, false);
    if (outcome == SaveRefusal::Outcome::Saved && test())
        test()->labelsModified = false;
    else if (outcome == SaveRefusal::Outcome::Dropped && test())
        ReadRefusal::settle(this, m_inspection->path, testCaption(*m_inspection, m_inspection->indexOfTest(id)),
                            [&test, this] {
                                return test() ? m_inspection->loadRecording(test(), true)
                                              : StoreResult(StoreResult::NotOpen);
                            });
}
