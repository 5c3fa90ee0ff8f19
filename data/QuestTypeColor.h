#pragma once

#include <QColor>

// The colour of a question kind in the question trees and fragment frames:
// green for neutral kinds, blue for control kinds, red for test kinds and
// grey for everything else (null questions, international "P", unknown).
QColor questTypeColor(int kind);
