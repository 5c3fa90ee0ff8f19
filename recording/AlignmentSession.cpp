#include "AlignmentSession.h"

#include "data/ChannelBindings.h"
#include "data/DefChannel.h"
#include "sensors/interface/SensorFrame.h"

AlignmentSession::AlignmentSession(int frameLimit)
    : m_signal(frameLimit)
{
}

AlignmentSession::~AlignmentSession()
{
    finish();
}

QString AlignmentSession::start(const QString &pluginPath)
{
    if (!m_plugin.bind(pluginPath))
        return QStringLiteral("Error create device");
    ISensorBase *device = m_plugin.device();
    m_open = device->open(QString());
    if (!m_open) {
        finish();
        return QStringLiteral("Error open device");
    }
    const QUuid type = device->typeId();
    if (!isSixteenBitUnit(type)) {
        finish();
        return tr("Поддерживается только для приборов от 14 бит и выше");
    }
    m_edited.idsensor = type;
    m_drawn.idsensor = type;
    setUpChannels();
    return QString();
}

void AlignmentSession::setUpChannels()
{
    bindChannelSettings(m_drawn, true);
    bindChannelSettings(m_edited, true);
    ISensorBase *device = m_plugin.device();
    QVector<int> delivered;
    for (int code = 0; code < ChannelCode::Count; ++code) {
        Inspection::_Channel &drawn = m_drawn.channel(code);
        drawn.KodDrv = device->channelSupported(code);
        m_edited.channel(code).KodDrv = int(drawn.KodDrv);
        if (drawn.KodDrv < 0)
            continue;
        delivered << code;
        m_drawn.samples(code)->fill(0, m_signal.frameLimit());
        // A recording sends the stored shift as it stands; so does the alignment.
        device->setShift(code, drawn.ShiftADT);
        device->setGain(code, drawn.ADT);
    }
    m_signal.start(delivered);
}

void AlignmentSession::finish()
{
    if (m_open && m_plugin.device())
        m_plugin.device()->close();
    m_open = false;
    m_plugin.release();
}

QVector<int> AlignmentSession::listedCodes()
{
    static const QVector<int> shown = {0, 2, 3, 4, 7, 9};
    QVector<int> codes;
    for (int position = 0; position < ChannelCode::Count; ++position) {
        const Inspection::_Channel *record = m_edited.channelAtPosition(position);
        if (record && shown.contains(int(record->Kod)))
            codes << int(record->Kod);
    }
    return codes;
}

bool AlignmentSession::readFrame(int n)
{
    SensorFrame frame{};
    if (!m_open || !m_plugin.device()->readFrame(frame.data()))
        return false;
    for (int code = 0; code < ChannelCode::Count; ++code)
        m_signal.addValue(n, code, frame[size_t(code)]);
    return true;
}

void AlignmentSession::sendChanges(int code)
{
    if (!m_signal.delivers(code))
        return;
    Inspection::_Channel &drawn = m_drawn.channel(code);
    const Inspection::_Channel &edited = m_edited.channel(code);
    if (drawn.Amp2)
        *drawn.Amp2 = false;
    ISensorBase *device = m_plugin.device();
    if (edited.ADT != drawn.ADT) {
        drawn.ADT = int(edited.ADT);
        device->setGain(code, drawn.ADT);
    }
    if (edited.ShiftADT != drawn.ShiftADT) {
        drawn.ShiftADT = int(edited.ShiftADT);
        device->setShift(code, drawn.ShiftADT);
    }
}

void AlignmentSession::setCurrentChannel(int code, int *gain, int *shift, bool *inverse)
{
    m_current = code;
    const Inspection::_Channel *record = currentRecord();
    *gain = record ? int(record->ADT) : 0;
    *shift = record ? int(record->ShiftADT) : 0;
    *inverse = record && record->Inverse && *record->Inverse;
}

Inspection::_Channel *AlignmentSession::currentRecord()
{
    const int code = m_current;
    return ChannelCode::isValid(code) ? &m_edited.channel(code) : nullptr;
}

void AlignmentSession::setGain(int value)
{
    if (Inspection::_Channel *record = currentRecord())
        record->ADT = value;
}

void AlignmentSession::setShift(int value)
{
    if (Inspection::_Channel *record = currentRecord())
        record->ShiftADT = value;
}

// Only the display flag: the unit keeps receiving the stored shift.
void AlignmentSession::setInverse(bool inverse)
{
    Inspection::_Channel *record = currentRecord();
    if (record && record->Inverse)
        *record->Inverse = inverse;
}

void AlignmentSession::saveChannels()
{
    if (m_edited.idsensor.isNull())
        return;
    DefChannel definitions;
    definitions.loadCalibration(m_edited.idsensor);
    for (int code = 0; code < ChannelCode::Count; ++code) {
        const Inspection::_Channel &edited = m_edited.channel(code);
        Inspection::_Channel *definition = definitions.findByCode(code);
        if (edited.KodDrv <= 0 || !definition)
            continue;
        definition->ShiftADT = int(edited.ShiftADT);
        definition->ADT = int(edited.ADT);
    }
    definitions.saveCalibration(m_edited.idsensor);
}

void AlignmentSession::defaultsFor(const QUuid &unitType, int code, int *gain, int *shift)
{
    Inspection::_Channel record;
    record.Kod = code;
    applyChannelDefaults(unitType, &record);
    *gain = int(record.ADT);
    *shift = int(record.ShiftADT);
}

void AlignmentSession::showBaseline(int code)
{
    *m_drawn.samples(code) = m_signal.baseline(code);
}

void AlignmentSession::showDeviation(int code)
{
    *m_drawn.samples(code) = m_signal.deviation(code);
}
