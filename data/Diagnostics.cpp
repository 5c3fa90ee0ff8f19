#include "Diagnostics.h"

// Info and above show by default; debug only when a rule enables it.
Q_LOGGING_CATEGORY(vugApp, "vug.app", QtInfoMsg)
Q_LOGGING_CATEGORY(vugEditor, "vug.editor", QtInfoMsg)
Q_LOGGING_CATEGORY(vugSubjects, "vug.subjects", QtInfoMsg)
Q_LOGGING_CATEGORY(vugPolygram, "vug.polygram", QtInfoMsg)
Q_LOGGING_CATEGORY(vugMedia, "vug.media", QtInfoMsg)
