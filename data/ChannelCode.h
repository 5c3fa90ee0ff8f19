#pragma once

#include <QString>

#include <array>

// Integer 0-12 naming a channel; it indexes frames, sample arrays and channel records.
namespace ChannelCode {

enum : int {
    GSR = 0,       // КГР
    GSR_C = 1,     // ТС
    RG_LO = 2,     // НДХ
    RG_HI = 3,     // ВДХ
    PG = 4,        // ПГ
    TRM = 5,       // Тремор
    MIC = 6,       // Мкф-Сенсор
    AD = 7,        // АД
    TGM = 8,       // Тахограмма
    ADVANCED = 9,  // Доп. канал
    MIC2 = 10,     // Мкф-Компьютер
    AD2 = 11,      // Д. в манжете
    RG_DIFF = 12,  // ДифДХ
};

constexpr int Count = 13;

inline bool isValid(int code) { return code >= 0 && code < Count; }

// True when the display positions, one per code, hold each of 0-12 once.
bool isPermutation(const std::array<int, Count> &positions);

// Key suffix of a code ("GSR" ... "RG_DIFF"); empty for an unknown code.
QString suffix(int code);
// "channel" + suffix, the key of the channel in a test's channel list.
QString channelKey(int code);
// "data" + suffix, the key of the channel's samples in the recorded-data document.
QString dataKey(int code);

}  // namespace ChannelCode
