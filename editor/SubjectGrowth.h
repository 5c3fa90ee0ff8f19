#pragma once

#include "data/Inspection.h"

#include <functional>

class QString;
class QWidget;

// Edits that add tests, questions or presentations go only as far as a load
// of the subject file reads (SubjectBounds): one that would pass a bound is
// refused before anything is written, and the examiner told in a warning
// titled "Воркел" that ends with outcome ("тест не добавлен").
namespace SubjectGrowth {

// Whether the examination may take test, in place of its test of that
// identifier or added when it has none.
bool allows(QWidget *parent, const Inspection &inspection, const Inspection::_Test &test, const QString &outcome);
// Makes the change on a copy of the test and keeps it only when allowed; a
// refused change leaves the test as it was.
bool grow(QWidget *parent, const Inspection &inspection, Inspection::_Test &test,
          const std::function<void(Inspection::_Test &)> &change, const QString &outcome);

}  // namespace SubjectGrowth
