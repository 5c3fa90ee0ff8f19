#pragma once

#include "_Renderer.h"

#include <QDialog>
#include <QModelIndex>

#include <memory>

class AlignmentPlot;
class QCheckBox;
class QListView;
class QPushButton;
class QSpinBox;
class QStandardItemModel;
class QThread;
class WaitCursor;

// The channel alignment dialog: the examiner sets each channel's hardware gain
// and shift of a 16-bit unit against its live signal and stores them as the
// unit's calibration.
class AlignmentDlg : public QDialog
{
    Q_OBJECT
public:
    // frameLimit and pluginFolder (empty: the program folder) are the worker's.
    explicit AlignmentDlg(QWidget *parent = nullptr, int frameLimit = _Renderer::FrameLimit, const QString &pluginFolder = QString());
    ~AlignmentDlg() override;

    // The worker of the current run; null while idle.
    _Renderer *worker() const { return m_worker; }

public slots:
    void onAccept();
    void onReject();
    void onStart();
    void onStop();
    void onInvert();
    void onLoadDef();
    void thread_showerror(QString msg);
    void showlistchannels(QStandardItemModel *model);
    void onSetCurrChannel(QModelIndex selectionNew, QModelIndex selectionOld);
    void onAmp(int iValue);
    void onOffset(int iValue);

    // Escape and the window's close button stop the worker like Cancel.
    void reject() override;

private slots:
    // A worker that could not set the unit up leaves nothing to stop.
    void onWorkerFinished();

private:
    QWidget *buildLeftColumn();
    QWidget *buildRightColumn();
    // Only what can act is enabled: a run for Stop and the list, a channel for its values.
    void updateControls();
    void restoreCursor();
    bool hasSelection() const;

    QSpinBox *m_gain = nullptr;
    QSpinBox *m_shift = nullptr;
    QListView *m_list = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_stop = nullptr;
    _Renderer *m_worker = nullptr;
    QThread *m_thread = nullptr;
    AlignmentPlot *m_plot = nullptr;
    std::unique_ptr<WaitCursor> m_waitCursor;
    QCheckBox *m_invert = nullptr;
    QPushButton *m_loadDef = nullptr;
    int m_frameLimit;
    QString m_pluginFolder;
};
