#pragma once

#include <QString>

class Inspection;

// One line about the examination a work window shows: the subject and its tests.
QString examinationSummary(const Inspection *inspection);
