#include "TestCaption.h"

#include "Inspection.h"

QString testCaption(const Inspection &examination, int index)
{
    if (index < 0 || index >= examination.tests.size())
        return QString();
    const InspectionTest &test = examination.tests.at(index);
    const QString caption = test.headerText();
    const bool dated = caption != test.name;
    for (int other = 0; other < examination.tests.size(); ++other) {
        const InspectionTest &twin = examination.tests.at(other);
        if (other == index || twin.name != test.name)
            continue;
        // An undated test shares its name with any namesake, a dated one only its time.
        if (!dated || twin.headerText() == caption)
            return caption + QStringLiteral(" (") + QString::number(index + 1) + QLatin1Char(')');
    }
    return caption;
}
