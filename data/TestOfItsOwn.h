#pragma once

class Inspection;
struct InspectionTest;

// A recording that cannot go into the test it was made on (that test was
// recorded again, changed or removed, or holds another recording) goes in
// beside it as a test of its own: the same questions and samples under a new
// id, tied to no planned test, with its video renamed along.
namespace TestOfItsOwn {

// The test takes a new id; nothing else changes.
void takeNewId(InspectionTest &test);
// The same for a test of the subject in memory, whose video in the subject's
// companion folder follows the new id. False when the video could not follow:
// it stays under the old name.
bool separate(const Inspection &subject, InspectionTest &test);

}  // namespace TestOfItsOwn
