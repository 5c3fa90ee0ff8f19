#include "SubjectGrowth.h"

#include "data/SubjectBounds.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace SubjectGrowth {

bool allows(QWidget *parent, const Inspection &inspection, const Inspection::_Test &test, const QString &outcome)
{
    const SubjectBounds::Excess excess = SubjectBounds::excessOf(inspection.tests, {test});
    if (excess == SubjectBounds::Excess::None)
        return true;
    QMessageBox::warning(parent, QCoreApplication::translate("SubjectGrowth", "Воркел"),
                         SubjectBounds::refusal(excess, outcome));
    return false;
}

bool grow(QWidget *parent, const Inspection &inspection, Inspection::_Test &test,
          const std::function<void(Inspection::_Test &)> &change, const QString &outcome)
{
    Inspection::_Test changed = test;
    change(changed);
    if (!allows(parent, inspection, changed, outcome))
        return false;
    test = changed;
    return true;
}

}  // namespace SubjectGrowth
