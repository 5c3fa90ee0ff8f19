#pragma once

#include "Inspection.h"

#include <functional>

// Runs work on each recorded test of the examination, found again by its id
// before each run: a question box of an earlier run may have read the
// examination anew. Stops at the first run that returns false.
void forEachRecordedTest(Inspection &inspection, const std::function<bool(Inspection::_Test &)> &work);
