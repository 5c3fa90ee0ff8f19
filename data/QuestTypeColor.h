#pragma once

#include <QColor>

struct InspectionTest;

// The colour of a question kind in the question trees and fragment frames:
// green for neutral kinds, blue for control kinds, red for test kinds and
// grey for everything else (null questions, international "P", unknown).
QColor questTypeColor(int kind);

// The colour of a stored test in the methodics tree, by the Type of its regular
// questions: that of control when it has one, else that of test, else black.
QColor testColour(const InspectionTest &test);
