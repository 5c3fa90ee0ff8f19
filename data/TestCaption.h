#pragma once

#include <QString>

class Inspection;

// The name a test is shown by outside the editor, where the examiner must tell
// same-named tests apart: a recorded test carries its recording time as the
// editor shows it; a caption still shared with another test of the
// examination gets the test's number in it, "Тест один (3)". Empty for an
// index outside the examination.
QString testCaption(const Inspection &examination, int index);
