#include "InspectionRecordFancy.h"

#include "data/Inspection.h"
#include "data/SharedHelpers.h"
#include "recording/RecordingEvents.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
constexpr int kTickMs = 50;
}

InspectionRecordFancy::InspectionRecordFancy(QWidget *parent)
    : Fancy::FancyMainWindow(parent),
      m_stopAction(new QAction(QIcon(QStringLiteral(":/Pelmar/Images/Actions-media-record-icon.png")), tr("Стоп"), this)),
      m_state(new QLabel),
      m_scroll(new QScrollBar(Qt::Horizontal)),
      m_clock(new QTimer(this))
{
    setObjectName(QStringLiteral("InspectionRecordFancy"));
    // A main window is a top-level window by default; this one is always the
    // main window's central widget.
    setWindowFlags(Qt::Widget);
    QToolBar *tools = addToolBar(tr("Запись"));
    tools->addAction(m_stopAction);
    if (parent)
        connect(m_stopAction, SIGNAL(triggered()), parent, SLOT(onStopRecordingAction()));

    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    m_state->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_state, 1);
    layout->addWidget(m_scroll);
    setCentralWidget(page);

    m_clock->setInterval(kTickMs);
    connect(m_clock, &QTimer::timeout, this, &InspectionRecordFancy::onTick);
}

InspectionRecordFancy::~InspectionRecordFancy() = default;

bool InspectionRecordFancy::start(Inspection *inspection, InspectionTest *test, bool bNew, int iPos)
{
    if (!inspection || !test || (test->themis.isEmpty() && test->themisNULL.isEmpty()))
        return false;
    m_inspection = inspection;
    m_test = test;
    m_new = bNew;
    const int length = bNew ? kCapacity : test->dataGSR.size();
    m_scroll->setRange(0, qMax(0, length));
    m_scroll->setValue(bNew ? 0 : qBound(0, iPos, length));
    m_state->setText(bNew ? tr("Запись теста «%1»").arg(test->name) : tr("Воспроизведение теста «%1»").arg(test->name));
    m_clock->start();
    return true;
}

bool InspectionRecordFancy::isRunning() const { return m_clock->isActive(); }
int InspectionRecordFancy::position() const { return m_scroll->value(); }
int InspectionRecordFancy::range() const { return m_scroll->maximum(); }

void InspectionRecordFancy::onTick()
{
    if (m_scroll->value() >= m_scroll->maximum()) {
        halt();
        finishLoop();
        return;
    }
    m_scroll->setValue(m_scroll->value() + 1);
}

void InspectionRecordFancy::halt()
{
    m_clock->stop();
}

void InspectionRecordFancy::stop()
{
    leaveFullScreen();
    halt();
}

void InspectionRecordFancy::stopAndSave(bool save)
{
    leaveFullScreen();
    halt();
    if (!m_test || !m_new)
        return;
    if (!save) {
        m_test->clearRecording();
        return;
    }
    // Only samples make a recording; a run that gathered none leaves the test as it was.
    if (m_test->dataGSR.isEmpty() && m_test->TimeMM.isEmpty())
        return;
    m_test->DateTimeRecorded = QDateTime::currentDateTime();
    StoreResult result = m_inspection->saveTestStruct(m_test);
    if (result == StoreResult::Ok)
        result = m_inspection->saveRecording(m_test);
    if (result != StoreResult::Ok) {
        // The samples stay in memory; the examiner learns that the file lacks them.
        QMessageBox::warning(this, tr("Воркел"), tr("Не удалось сохранить запись теста в файл обследуемого:\n%1")
                                                   .arg(m_inspection->path));
    }
}

void InspectionRecordFancy::leaveFullScreen()
{
    QMainWindow *main = findMainWindow();
    if (main && main->isFullScreen())
        main->showNormal();
}

void InspectionRecordFancy::finishLoop()
{
    postToMainWindow(RecordingEvents::LoopEnded);
}

void InspectionRecordFancy::reportDeviceError(const QString &message)
{
    halt();
    QMessageBox::warning(this, tr("Воркел"), message);
    postToMainWindow(RecordingEvents::DeviceError);
}

void InspectionRecordFancy::postToMainWindow(int type)
{
    if (QMainWindow *main = findMainWindow())
        QCoreApplication::postEvent(main, new QEvent(QEvent::Type(type)));
}
