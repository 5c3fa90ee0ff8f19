#pragma once

#include <QLoggingCategory>

// The program's diagnostics by library. Debug lines are off unless enabled,
// for example QT_LOGGING_RULES="vug.*.debug=true".
Q_DECLARE_LOGGING_CATEGORY(vugApp)
Q_DECLARE_LOGGING_CATEGORY(vugEditor)
Q_DECLARE_LOGGING_CATEGORY(vugSubjects)
Q_DECLARE_LOGGING_CATEGORY(vugPolygram)
Q_DECLARE_LOGGING_CATEGORY(vugMedia)
