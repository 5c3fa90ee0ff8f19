#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

// The cells of a workbook's first sheet as the reader script prints them
// (python3-openpyxl, so our writer is never checked by our own code); empty
// when the script fails.
inline QJsonObject workbookCells(const QString &python, const QString &reader, const QString &path)
{
    QProcess process;
    process.start(python, {reader, path});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QJsonDocument::fromJson(process.readAllStandardOutput()).object()["cells"].toObject();
}
