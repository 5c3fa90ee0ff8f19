#pragma once

#include <QString>

// The short letter of a question kind shown in captions, tables and pictures:
// "Н", "К", "П" (translated in context "Inspection"), the Latin abbreviations
// of the international kinds, "0" for null questions and "?" for anything else.
QString questionKindName(int kind);
