#pragma once

#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>

// Brings values read from one settings file within the ranges their settings
// pages allow: a file edited by hand or damaged can hold a zero-sized font or
// a pen a hundred pixels wide. The keys brought within are told in one line.
class SettingsRange
{
public:
    explicit SettingsRange(const QString &file)
        : m_file(file)
    {
    }

    // A value outside [low, high] goes to the nearer end; NaN and infinities
    // to the fallback.
    template <typename Number>
    void keep(const QString &key, Number &value, Number fallback, Number low, Number high)
    {
        const Number within = std::isfinite(double(value)) ? std::clamp(value, low, high) : fallback;
        // NaN never equals itself, so it is told as well.
        if (!(within == value))
            m_keys << key;
        value = within;
    }
    // One diagnostics line naming the keys brought within, when there were any.
    void report() const;

private:
    QString m_file;
    QStringList m_keys;
};
