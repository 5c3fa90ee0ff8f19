#include "ChannelBindings.h"

#include <algorithm>

void copyChannelRecord(const DefChannel &definitions, Inspection::_Channel &record, bool withCalibration)
{
    const Inspection::_Channel *definition = definitions.findByCode(record.Kod);
    if (!definition)
        return;
    record.Enable = definition->Enable;
    record.PenWidth = definition->PenWidth;
    record.Color = definition->Color;
    record.TubeColor = definition->TubeColor;
    record.Amp2 = definition->Amp2;
    record.ChannelPos = definition->ChannelPos;
    record.EnableFilter = definition->EnableFilter;
    record.EnableFilter2 = definition->EnableFilter2;
    record.Inverse = definition->Inverse;
    if (!withCalibration)
        return;
    record.ADT = definition->ADT;
    record.Offset = definition->Offset;
    record.Amplify = definition->Amplify;
    record.ShiftADT = definition->ShiftADT;
    record.Kod = definition->Kod;
    record.KodDrv = -1;
    record.ADTChanged = false;
    record.ShiftADTChanged = false;
}

void bindChannelSettings(Inspection::_Test &test, bool withCalibration)
{
    DefChannel definitions;
    if (withCalibration)
        definitions.loadCalibration(test.idsensor);
    for (int code = 0; code < ChannelCode::Count; ++code)
        copyChannelRecord(definitions, test.channel(code), withCalibration);
}

void storeChannelSettings(Inspection::_Test &test)
{
    DefChannel definitions;
    definitions.loadCalibration(test.idsensor);
    for (Inspection::_Channel &definition : definitions.channels()) {
        if (const Inspection::_Channel *record = test.findChannel(definition.Kod))
            definition = *record;
    }
    definitions.saveCalibration(test.idsensor);
}

int nextEnabledChannel(const Inspection::_Test &test, int code, int step)
{
    const DefChannel definitions;
    const DefChannel::Records &byPosition = definitions.channels();
    // Positions outside 0-12 (step 0, large steps, unknown codes) are never read.
    const auto qualifies = [&](qint64 position) {
        if (position < 0 || position >= ChannelCode::Count)
            return false;
        const Inspection::_Channel &record = test.channel(byPosition[position].Kod);
        return record.KodDrv >= 0 && record.Enable && *record.Enable;
    };
    const auto found = std::find_if(byPosition.begin(), byPosition.end(),
                                    [code](const Inspection::_Channel &definition) { return definition.Kod == code; });
    const qint64 start = found == byPosition.end() ? -1 : found - byPosition.begin();
    const auto search = [&](qint64 from) {
        if (step > 0) {
            for (qint64 position = from; position < ChannelCode::Count; ++position)
                if (qualifies(position))
                    return byPosition[position].Kod;
        } else {
            for (qint64 position = from; position >= 0; --position)
                if (qualifies(position))
                    return byPosition[position].Kod;
        }
        return -1;
    };
    const int first = search(start + step);
    if (first >= 0)
        return first;
    return search(step > 0 ? qint64(step) - 1 : qint64(step) + ChannelCode::Count);
}

void moveChannelOffset(Inspection::_Channel &record, double delta)
{
    record.Offset = std::clamp(record.Offset + delta, -3000.0, 3000.0);
}

void changeChannelAmplify(Inspection::_Channel &record, double delta)
{
    record.Amplify = std::clamp(record.Amplify + delta, 1.0, 4096.0);
}

void changeChannelGain(Inspection::_Channel &record, int delta)
{
    record.ADT = std::clamp(record.ADT + delta, 0, HardwareGainMost);
    record.ADTChanged = true;
}

void moveChannelShift(Inspection::_Channel &record, int delta)
{
    record.ShiftADT = std::clamp(record.ShiftADT + delta, -HardwareShiftLimit, HardwareShiftLimit);
    record.ShiftADTChanged = true;
}
