#include "ProcessLocale.h"

QString sLocale = QStringLiteral("ru");
