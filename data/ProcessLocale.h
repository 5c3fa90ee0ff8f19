#pragma once

#include <QString>

// The user's language ("ru" until start-up reads the stored setting).
extern QString sLocale;
