#include "AlignmentDlg.h"

#include "AlignmentPlot.h"
#include "AlignmentSession.h"
#include "data/SharedHelpers.h"
#include "data/WaitCursor.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QThread>
#include <QVBoxLayout>

AlignmentDlg::AlignmentDlg(QWidget *parent, int frameLimit, const QString &pluginFolder)
    : QDialog(parent)
    , m_frameLimit(frameLimit)
    , m_pluginFolder(pluginFolder)
{
    setWindowTitle(tr("Юстировка каналов"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setMinimumSize(1000, 600);

    auto *columns = new QHBoxLayout;
    columns->addWidget(buildLeftColumn());
    columns->addWidget(buildRightColumn(), 1);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &AlignmentDlg::onAccept);
    connect(buttons, &QDialogButtonBox::rejected, this, &AlignmentDlg::onReject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns, 4);
    layout->addSpacing(10);
    layout->addWidget(buttons);
    updateControls();
}

AlignmentDlg::~AlignmentDlg()
{
    onStop();
}

QWidget *AlignmentDlg::buildLeftColumn()
{
    auto *column = new QWidget;
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(tr("Список каналов:")));
    m_list = new QListView;
    m_list->setFixedWidth(150);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(m_list);
    m_start = new QPushButton(tr("Старт"));
    m_stop = new QPushButton(tr("Стоп"));
    m_invert = new QCheckBox(tr(" Инверсия сигнала"));
    m_loadDef = new QPushButton(tr("Загрузить деф."));
    layout->addWidget(m_start);
    layout->addWidget(m_stop);
    layout->addSpacing(10);
    layout->addWidget(m_invert);
    layout->addWidget(m_loadDef);
    connect(m_start, &QPushButton::clicked, this, &AlignmentDlg::onStart);
    connect(m_stop, &QPushButton::clicked, this, &AlignmentDlg::onStop);
    connect(m_invert, &QCheckBox::released, this, &AlignmentDlg::onInvert);
    connect(m_loadDef, &QPushButton::clicked, this, &AlignmentDlg::onLoadDef);
    return column;
}

QWidget *AlignmentDlg::buildRightColumn()
{
    auto *column = new QWidget;
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    m_plot = new AlignmentPlot;
    layout->addWidget(m_plot, 1);

    auto *row = new QHBoxLayout;
    auto label = [](const QString &text) {
        auto *widget = new QLabel(text);
        widget->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return widget;
    };
    m_shift = new QSpinBox;
    m_shift->setRange(-32765, 32765);
    m_shift->setFixedWidth(80);
    m_gain = new QSpinBox;
    m_gain->setRange(0, 25);
    m_gain->setFixedWidth(80);
    row->addWidget(label(tr("Смещение АЦП:")));
    row->addWidget(m_shift);
    row->addWidget(label(tr("Усиление АЦП:")));
    row->addWidget(m_gain);
    layout->addLayout(row);
    connect(m_gain, qOverload<int>(&QSpinBox::valueChanged), this, &AlignmentDlg::onAmp);
    connect(m_shift, qOverload<int>(&QSpinBox::valueChanged), this, &AlignmentDlg::onOffset);
    return column;
}

void AlignmentDlg::updateControls()
{
    const bool running = m_thread != nullptr;
    const bool channel = running && hasSelection();
    m_start->setEnabled(!running);
    m_stop->setEnabled(running);
    m_list->setEnabled(running);
    m_gain->setEnabled(channel);
    m_shift->setEnabled(channel);
    m_invert->setEnabled(channel);
    m_loadDef->setEnabled(channel);
}

void AlignmentDlg::restoreCursor()
{
    m_waitCursor.reset();
}

bool AlignmentDlg::hasSelection() const
{
    return m_list->selectionModel() && m_list->selectionModel()->currentIndex().isValid();
}

void AlignmentDlg::onAccept()
{
    if (QMessageBox::question(this, tr("Воркел"), tr("Вы действительно хотите завершить юстировку ?"),
                              QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    if (m_worker)
        m_worker->saveChannels();
    onStop();
    done(QDialog::Accepted);
}

void AlignmentDlg::onReject()
{
    onStop();
    done(QDialog::Rejected);
}

void AlignmentDlg::reject()
{
    onReject();
}

void AlignmentDlg::onStart()
{
    if (m_thread)
        return;
    m_waitCursor = std::make_unique<WaitCursor>();

    m_thread = new QThread;
    m_worker = new _Renderer(m_plot, m_frameLimit, m_pluginFolder);
    connect(m_thread, &QThread::started, m_worker, &_Renderer::thread_execute);
    connect(m_worker, &_Renderer::error, this, &AlignmentDlg::thread_showerror);
    connect(m_worker, &_Renderer::updatelist, this, &AlignmentDlg::showlistchannels);
    connect(m_worker, &_Renderer::frameDrawn, m_plot, &AlignmentPlot::showPicture);
    connect(m_worker, &_Renderer::finished, this, &AlignmentDlg::onWorkerFinished);
    m_worker->moveToThread(m_thread);
    m_thread->start(QThread::InheritPriority);
    updateControls();
}

void AlignmentDlg::onStop()
{
    if (m_thread) {
        m_worker->requestStop();
        m_thread->quit();
        m_thread->wait();
    }
    // The model belongs to the worker: drop it from the list before the worker goes.
    QItemSelectionModel *selection = m_list->selectionModel();
    m_list->setModel(nullptr);
    delete selection;
    delete m_worker;
    delete m_thread;
    m_worker = nullptr;
    m_thread = nullptr;
    restoreCursor();
    // Pictures the worker queued before it stopped show data that are gone.
    QCoreApplication::removePostedEvents(m_plot, QEvent::MetaCall);
    m_plot->clearPicture();
    updateControls();
}

void AlignmentDlg::onWorkerFinished()
{
    // Also reached by the end of a worker since stopped, or of a run that has
    // channels: that one stays, its picture as last drawn, until Stop.
    if (m_worker && m_worker->hasEnded() && !m_worker->channelModel())
        onStop();
}

void AlignmentDlg::thread_showerror(QString msg)
{
    restoreCursor();
    QMessageBox::critical(findMainWindow(), tr("Воркел"), msg, QMessageBox::Ok);
}

void AlignmentDlg::showlistchannels(QStandardItemModel *model)
{
    // A list announced by a worker that has since been stopped went with it.
    if (!m_worker || model != m_worker->channelModel())
        return;
    m_list->setModel(model);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, &AlignmentDlg::onSetCurrChannel);
    if (model->rowCount() > 0)
        m_list->selectionModel()->setCurrentIndex(model->index(0, 0),
                                                  QItemSelectionModel::Select | QItemSelectionModel::Current);
    restoreCursor();
    updateControls();
}

void AlignmentDlg::onSetCurrChannel(QModelIndex selectionNew, QModelIndex)
{
    if (!m_worker)
        return;
    int gain = 0, shift = 0;
    bool inverse = false;
    m_worker->setCurrentChannel(selectionNew.data(Qt::UserRole + 1).toInt(), &gain, &shift, &inverse);
    m_gain->setValue(gain);
    m_shift->setValue(shift);
    m_invert->setChecked(inverse);
}

void AlignmentDlg::onAmp(int iValue)
{
    if (m_worker)
        m_worker->setGain(iValue);
}

void AlignmentDlg::onOffset(int iValue)
{
    if (m_worker)
        m_worker->setShift(iValue);
}

// Inversion is a display flag only: the stored and the sent shift stay.
void AlignmentDlg::onInvert()
{
    if (m_worker && hasSelection())
        m_worker->setInverse(m_invert->isChecked());
}

void AlignmentDlg::onLoadDef()
{
    if (!m_worker || !hasSelection())
        return;
    const int code = m_list->selectionModel()->currentIndex().data(Qt::UserRole + 1).toInt();
    int gain = 0, shift = 0;
    AlignmentSession::defaultsFor(m_worker->unitType(), code, &gain, &shift);
    m_gain->setValue(gain);
    m_shift->setValue(shift);
}
