#include "InspectionRecordFancy.h"

#include "PoligrammeRecordWindow.h"
#include "Renderer.h"
#include "SensorReader.h"
#include "_PoligrammeRecordScrollArea.h"
#include "data/Inspection.h"
#include "data/SharedHelpers.h"

#include <QAction>
#include <QMainWindow>
#include <QScrollBar>
#include <QToolBar>

namespace {
constexpr int VerticalReach = 750;
}

InspectionRecordFancy::InspectionRecordFancy(QWidget *parent)
    : Fancy::FancyMainWindow(parent),
      m_stopAction(new QAction(QIcon(QStringLiteral(":/Pelmar/Images/Actions-media-record-icon.png")), tr("Стоп"), this)),
      m_scrollArea(new _PoligrammeRecordScrollArea(this)),
      m_window(new PoligrammeRecordWindow)
{
    setObjectName(QStringLiteral("InspectionRecordFancy"));
    // A main window is a top-level window by default; this one is always the
    // main window's central widget.
    setWindowFlags(Qt::Widget);
    QToolBar *tools = addToolBar(tr("Запись"));
    tools->addAction(m_stopAction);
    if (parent)
        connect(m_stopAction, SIGNAL(triggered()), parent, SLOT(onStopRecordingAction()));

    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scrollArea->window = m_window;
    m_scrollArea->setViewport(QWidget::createWindowContainer(m_window, m_scrollArea));
    QScrollBar *horizontal = m_scrollArea->horizontalScrollBar();
    QScrollBar *vertical = m_scrollArea->verticalScrollBar();
    connect(vertical, SIGNAL(sliderReleased()), m_scrollArea, SLOT(onReleaseVSlider()));
    connect(horizontal, SIGNAL(sliderReleased()), m_scrollArea, SLOT(onReleasedHSlider()));
    connect(horizontal, SIGNAL(sliderPressed()), m_scrollArea, SLOT(onPressedHSlider()));
    horizontal->setStyleSheet(QStringLiteral("QScrollBar{height: 20px;}"));
    vertical->setStyleSheet(QStringLiteral("QScrollBar{width: 20px;}"));
    setCentralWidget(m_scrollArea);
}

InspectionRecordFancy::~InspectionRecordFancy() = default;

bool InspectionRecordFancy::start(Inspection *inspection, InspectionTest *test, bool bNew, int iPos)
{
    if (!inspection || !test || (test->themis.isEmpty() && test->themisNULL.isEmpty()))
        return false;
    m_inspection = inspection;
    m_test = test;
    m_window->start(inspection, test, bNew, iPos);

    QScrollBar *horizontal = m_scrollArea->horizontalScrollBar();
    horizontal->setRange(0, bNew ? SensorReader::RecordCapacity : test->samples(ChannelCode::GSR)->size());
    horizontal->setValue(0);
    horizontal->setPageStep(m_scrollArea->width());
    QScrollBar *vertical = m_scrollArea->verticalScrollBar();
    vertical->setRange(-VerticalReach, VerticalReach);
    vertical->setValue(0);
    vertical->setPageStep(m_scrollArea->height());

    connect(m_window->renderer, SIGNAL(updateUI(int)), m_scrollArea, SLOT(onUpdateUI(int)));
    return true;
}

void InspectionRecordFancy::stop()
{
    leaveFullScreen();
    m_window->stop(false);
}

void InspectionRecordFancy::stopAndSave(bool save)
{
    leaveFullScreen();
    m_window->stop(save);
}

// Without spinning the event loop: a close request handled there would delete
// this screen inside its own call.
void InspectionRecordFancy::leaveFullScreen()
{
    QMainWindow *main = findMainWindow();
    if (main && main->isFullScreen())
        main->showNormal();
}
