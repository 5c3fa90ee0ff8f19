#include "InspectionTest.h"

#include <algorithm>
#include <iterator>

namespace {

// Row keys that are no GUID in our own text form get a stable identity of
// their own, so each such test is still one test with its own undo history.
const QUuid kForeignIdNamespace(QStringLiteral("{6f1e3c2a-8b4d-4f7e-9a21-3c5d7e9b1f40}"));

using SampleMember = QVector<qint16> InspectionTest::*;
using ChannelMember = InspectionChannel InspectionTest::*;

// Members by channel code; the declared order of the record differs.
const SampleMember kSamples[ChannelCode::Count] = {
    &InspectionTest::dataGSR, &InspectionTest::dataGSR_C, &InspectionTest::dataRG_LO,
    &InspectionTest::dataRG_HI, &InspectionTest::dataPG, &InspectionTest::dataTRM,
    &InspectionTest::dataMIC, &InspectionTest::dataAD, &InspectionTest::dataTGM,
    &InspectionTest::dataADVANCED, &InspectionTest::dataMIC2, &InspectionTest::dataAD2,
    &InspectionTest::dataRG_DIFF,
};

const ChannelMember kChannels[ChannelCode::Count] = {
    &InspectionTest::channelGSR, &InspectionTest::channelGSR_C, &InspectionTest::channelRG_LO,
    &InspectionTest::channelRG_HI, &InspectionTest::channelPG, &InspectionTest::channelTRM,
    &InspectionTest::channelMIC, &InspectionTest::channelAD, &InspectionTest::channelTGM,
    &InspectionTest::channelADVANCED, &InspectionTest::channelMIC2, &InspectionTest::channelAD2,
    &InspectionTest::channelRG_DIFF,
};

// The record handed out for an unknown code. Its display settings are reset on
// every hand-out, so a caller that writes through them cannot change the next one.
InspectionChannel &fallbackChannel()
{
    static bool enable, amp2, filter, filter2, inverse;
    static qint32 penWidth, position;
    static QColor color, tubeColor;
    static InspectionChannel record;
    enable = amp2 = filter = filter2 = inverse = false;
    penWidth = 1;
    position = 0;
    color = QColor(Qt::black);
    tubeColor = QColor(Qt::white);
    record = InspectionChannel();
    record.KodDrv = -1;
    record.Enable = &enable;
    record.PenWidth = &penWidth;
    record.Color = &color;
    record.TubeColor = &tubeColor;
    record.Amp2 = &amp2;
    record.ChannelPos = &position;
    record.EnableFilter = &filter;
    record.EnableFilter2 = &filter2;
    record.Inverse = &inverse;
    return record;
}

}  // namespace

InspectionTest::InspectionTest()
    : id(QUuid::createUuid())
{
    initChannels();
}

InspectionTest::InspectionTest(const QString &testName)
    : id(QUuid::createUuid()), name(testName)
{
    initChannels();
}

InspectionTest InspectionTest::structureCopy() const
{
    InspectionTest copy;
    copy.id = id;
    copy.foreignId = foreignId;
    copy.recorded = recorded;
    copy.labelsModified = labelsModified;
    copy.ShowAllQuestSecondMonitor = ShowAllQuestSecondMonitor;
    copy.idsensor = idsensor;
    copy.name = name;
    copy.Comments = Comments;
    copy.DateTimeRecorded = DateTimeRecorded;
    copy.ia = ia;
    copy.themis = themis;
    copy.themisNULL = themisNULL;
    copy.orders = orders;
    copy.labels = labels;
    copy.labelsForRestore = labelsForRestore;
    copy.labelsNULL = labelsNULL;
    return copy;
}

void InspectionTest::setIdFromRow(const QString &rowId)
{
    const QUuid stored(rowId);
    if (stored.toString() == rowId) {
        id = stored;
        return;
    }
    id = QUuid::createUuidV5(kForeignIdNamespace, rowId);
    foreignId = rowId;
}

void InspectionTest::initChannels()
{
    for (int code = 0; code < ChannelCode::Count; ++code)
        (this->*kChannels[code]).Kod = code;
}

InspectionChannel &InspectionTest::channel(int code)
{
    return ChannelCode::isValid(code) ? this->*kChannels[code] : fallbackChannel();
}

const InspectionChannel &InspectionTest::channel(int code) const
{
    return ChannelCode::isValid(code) ? this->*kChannels[code] : fallbackChannel();
}

InspectionChannel *InspectionTest::findChannel(int code)
{
    for (ChannelMember member : kChannels) {
        if ((this->*member).Kod == code)
            return &(this->*member);
    }
    return nullptr;
}

InspectionChannel *InspectionTest::channelAtPosition(int pos)
{
    for (ChannelMember member : kChannels) {
        InspectionChannel &record = this->*member;
        if (record.ChannelPos && *record.ChannelPos == pos && record.KodDrv > 0)
            return &record;
    }
    return nullptr;
}

QVector<qint16> *InspectionTest::samples(int code)
{
    return ChannelCode::isValid(code) ? &(this->*kSamples[code]) : nullptr;
}

const QVector<qint16> *InspectionTest::samples(int code) const
{
    return ChannelCode::isValid(code) ? &(this->*kSamples[code]) : nullptr;
}

bool InspectionTest::samplesLoaded() const
{
    return std::any_of(std::begin(kSamples), std::end(kSamples),
                       [this](SampleMember member) { return !(this->*member).isEmpty(); });
}

int InspectionTest::presentationCount() const
{
    return themis.isEmpty() ? 0 : labels.size() / themis.size();
}

void InspectionTest::clearRecording()
{
    labels.clear();
    labelsForRestore.clear();
    labelsNULL.clear();
    for (SampleMember member : kSamples)
        (this->*member).clear();
    TimeMM.clear();
    missedFrames = 0;
    lineErrors = 0;
}
