#pragma once

#include "AlignmentSignal.h"
#include "data/Inspection.h"
#include "sensors/interface/SensorPlugin.h"

#include <QCoreApplication>
#include <QUuid>
#include <QVector>

#include <atomic>

// The channel alignment without its window: binds the plug-in, sets up a 16-bit
// unit from the calibration stored for it, reads frames into the signal
// arithmetic, sends edited gain and shift to the unit and stores them.
// The edited values are written by the dialog's thread and read by the worker's.
class AlignmentSession
{
    Q_DECLARE_TR_FUNCTIONS(_Renderer)
public:
    explicit AlignmentSession(int frameLimit);
    ~AlignmentSession();
    AlignmentSession(const AlignmentSession &) = delete;
    AlignmentSession &operator=(const AlignmentSession &) = delete;

    // Binds and opens the unit and sets up its channels; the error text when
    // that failed, with the unit closed and the plug-in released.
    QString start(const QString &pluginPath);
    // Closes the unit (when open) and releases the plug-in; harmless twice.
    void finish();

    QUuid unitType() const { return m_edited.idsensor; }
    int frameLimit() const { return m_signal.frameLimit(); }
    // The codes the channel list offers, in display order.
    QVector<int> listedCodes();
    // Reads frame n; false when the unit did not deliver it.
    bool readFrame(int n);
    // Sends the current channel's changed gain or shift to the unit.
    void sendChanges(int code);
    int currentChannel() const { return m_current; }

    // Called from the dialog's thread.
    void setCurrentChannel(int code, int *gain, int *shift, bool *inverse);
    void setGain(int value);
    void setShift(int value);
    void setInverse(bool inverse);
    // Stores gain and shift of every delivered channel under the unit's type.
    void saveChannels();
    // The defaults of the unit's family for a code: gain and stored shift.
    static void defaultsFor(const QUuid &unitType, int code, int *gain, int *shift);

    // The test the painter draws: the code's samples made the chosen buffer.
    Inspection::_Test &drawnTest() { return m_drawn; }
    void showBaseline(int code);
    void showDeviation(int code);
    const AlignmentSignal &signal() const { return m_signal; }

private:
    void setUpChannels();
    Inspection::_Channel *currentRecord();

    SensorPlugin m_plugin;
    bool m_open = false;
    Inspection::_Test m_edited;
    Inspection::_Test m_drawn;
    AlignmentSignal m_signal;
    std::atomic<int> m_current{-1};
};
