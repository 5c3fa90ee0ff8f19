#pragma once

#include "data/ChannelCode.h"

#include <QString>
#include <QStringList>
#include <QUuid>

// What a plug-in tells about its unit without talking to it.
struct SensorIdentity
{
    const char *russianName;
    const char *latinName;
    QUuid typeId;
    // bit n set: code n is supported
    quint32 codeMask;

    static bool isRussian(const QString &language) { return language == QLatin1String("ru"); }

    QString name(const QString &language) const
    {
        return QString::fromUtf8(isRussian(language) ? russianName : latinName);
    }

    int channelSupported(int code) const
    {
        return ChannelCode::isValid(code) && (codeMask >> code & 1u) ? 1 : -1;
    }

    // The two signals the additional input of the Mirel and Vorkel units can carry.
    static QStringList additionalInputNames(const QString &language)
    {
        if (isRussian(language))
            return {QStringLiteral("ПГ+"), QStringLiteral("КГР+")};
        return {QStringLiteral("PG+"), QStringLiteral("GSR+")};
    }
};
